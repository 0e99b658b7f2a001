# Run by CPack in its staging folder before it makes the Debian package: Debian wants manual pages
# and the changelog compressed, with no file name or time stamp inside, so that the same build
# gives the same package.
file(GLOB_RECURSE documents "${CPACK_TEMPORARY_DIRECTORY}/usr/share/man/*.[1-9]"
                            "${CPACK_TEMPORARY_DIRECTORY}/usr/share/doc/*/changelog")
foreach(document IN LISTS documents)
    execute_process(COMMAND gzip -9nf "${document}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

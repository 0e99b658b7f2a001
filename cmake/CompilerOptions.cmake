# Warning and sanitizer flags shared by every target through the tavrik_options interface library.
add_library(tavrik_options INTERFACE)
target_compile_options(tavrik_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
if(TAVRIK_WERROR)
    target_compile_options(tavrik_options INTERFACE -Werror)
endif()
if(TAVRIK_SANITIZE)
    target_compile_options(tavrik_options INTERFACE -fsanitize=${TAVRIK_SANITIZE}
                                                    -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(tavrik_options INTERFACE -fsanitize=${TAVRIK_SANITIZE})
endif()
if(TAVRIK_FUZZ)
    # Coverage instrumentation for libFuzzer in every library the fuzz targets link.
    target_compile_options(tavrik_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

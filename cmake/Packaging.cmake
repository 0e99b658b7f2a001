# The Debian package, made by CPack from a normal build: `cpack -G DEB` in the build folder (or
# scripts/package_test.sh, which also installs, runs and removes it).
#
# The package installs under /usr whatever prefix the build was configured with, stripped, with
# the dependencies dpkg-shlibdeps finds in the programs. The autostart entry and the udev rule
# sit where the system reads them (resources/CMakeLists.txt); the maintainer scripts make udev
# apply the rule to a keyboard that is already plugged in.

set(TAVRIK_PACKAGE_FILES ${PROJECT_SOURCE_DIR}/resources/debian)

# What Debian wants in every package's documentation folder: the copyright file and the
# changelog (compressed, with the manual pages, by CompressPackageDocuments.cmake).
install(FILES ${TAVRIK_PACKAGE_FILES}/copyright ${TAVRIK_PACKAGE_FILES}/changelog
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/CompressPackageDocuments.cmake)

# Every file under /etc is the administrator's to change: dpkg keeps their changes on upgrades.
configure_file(${TAVRIK_PACKAGE_FILES}/conffiles.in ${CMAKE_CURRENT_BINARY_DIR}/package/conffiles
               @ONLY)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The same maintainer signs resources/debian/changelog.
set(CPACK_PACKAGE_CONTACT "VOLTRI VX60 Driver for Linux maintainers <tavrik@users.noreply.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration utility of the VOLTRI VX60 gaming keyboard")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Remaps keys, records and downloads macros, sets the lighting and switches\n"
       "the three hardware profiles of the VOLTRI VX60 RGB mechanical keyboard\n"
       "(USB 04b4:2009), and backs up or restores its whole configuration to .tvk\n"
       "files. The desktop program, tavrik, lives in the notification area while\n"
       "keyboards come and go; tavrikctl offers the same operations on the command\n"
       "line, and tavrik-emu emulates the keyboard.")
# Installed under DESTDIR, so that the files outside the prefix (the autostart entry, the udev
# rule) land in the package too.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found in the programs' libraries: Qt's platform plugins (the window needs one; Qt's
# Wayland platform lets it run as a native Wayland client), the CJK font of the window's texts,
# the on-screen keyboard the key assignment dialog starts, and udev.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, fonts-noto-cjk, udev")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "onboard")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${TAVRIK_PACKAGE_FILES}/postinst ${TAVRIK_PACKAGE_FILES}/postrm
    ${CMAKE_CURRENT_BINARY_DIR}/package/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

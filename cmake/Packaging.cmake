# Desktop integration (menu entry, icon, file types), the Debian documentation files and the
# Debian package that `make package` builds with CPack.
#
# Installed files belong to two components: "runtime" (programs, library, manual, desktop
# files) and "development" (headers, the library's link name, the CMake package). The package
# tarven holds the first, tarven-dev the second.

set(TARVEN_PACKAGE_MAINTAINER "Halvorn TARVEN maintainers <tarven@halvorn.example>"
    CACHE STRING "Maintainer field of the Debian packages")
set(TARVEN_DEB_RELEASE 1 CACHE STRING "Debian revision of the packages")
set(TARVEN_DEB_VERSION ${PROJECT_VERSION}-${TARVEN_DEB_RELEASE})
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

# Menu entry, MIME types and the icon in every hicolor size there is a rendering for.
install(FILES ${packaging_dir}/tarven.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT runtime)
install(FILES ${packaging_dir}/tarven-mime.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tarven.xml COMPONENT runtime)
file(GLOB icon_renderings ${packaging_dir}/icons/tarven-*.png)
foreach(rendering IN LISTS icon_renderings)
    string(REGEX MATCH "([0-9]+)\\.png$" matched ${rendering})
    set(size ${CMAKE_MATCH_1})
    install(FILES ${rendering}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME tarven.png COMPONENT runtime)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/app/shell/resources/tarven.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT runtime)

# The documentation folder: copyright, changelog, the manual and the examples. The manual's
# files stay where the help command looks for them (share/tarven/manual); the documentation
# folder links to them, as a system that leaves out share/doc must not lose F1.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tarven)
string(TIMESTAMP TARVEN_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${packaging_dir}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog.Debian
    @ONLY)
execute_process(COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/packaging/changelog.Debian
    COMMAND_ERROR_IS_FATAL ANY)
foreach(component IN ITEMS runtime development)
    set(package_doc_dir ${doc_dir})
    if(component STREQUAL development)
        set(package_doc_dir ${doc_dir}-dev)
    endif()
    install(FILES ${packaging_dir}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz
        DESTINATION ${package_doc_dir} COMPONENT ${component})
endforeach()
file(CREATE_LINK ../../tarven/manual ${PROJECT_BINARY_DIR}/packaging/manual SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/packaging/manual DESTINATION ${doc_dir} COMPONENT runtime)
# Scripts that run with `tslrun --echo`, and command files for the command list.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${doc_dir}/examples
    COMPONENT runtime)

# The Debian packages.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarven)
set(CPACK_PACKAGE_VENDOR Halvorn)
set(CPACK_PACKAGE_CONTACT ${TARVEN_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL runtime development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TARVEN_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from dpkg-shlibdeps; the library gets a shlibs file and the ldconfig
# trigger, as it sits in the standard library folder. (CPack adds an ldconfig call to postinst
# and postrm as well, which the trigger makes redundant but not wrong.)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME tarven)
# dpkg-shlibdeps finds the linked libraries (Qt, QScintilla), and with libqt6gui6 the X11
# platform plugin it ships. What it cannot see is loaded as a plugin: the SVG image and icon
# plugins that draw the program's pictures. Korean texts need a Hangul font, and Qt's own Korean
# texts (its standard buttons and dialogs) come with its translations. (xdg-utils is left
# out on purpose: on a system without a browser it takes the manual and shows nothing, where
# without it the program shows the manual in a window of its own.)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libqt6svg6 (>= 6.4)")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "fonts-nanum, qt6-translations-l10n, lrzsz")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${packaging_dir}/triggers)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME tarven-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "tarven (= ${TARVEN_DEB_VERSION}), qt6-base-dev (>= 6.4)")
# A description's first line is the package's synopsis, the rest its long description.
file(READ ${packaging_dir}/description.txt CPACK_DEBIAN_RUNTIME_DESCRIPTION)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
    "serial and TCP/IP link monitor - tslengine development files
This package holds the headers of the tslengine library and its CMake
package, so that a program of your own builds against the library with
find_package(tslengine).")
include(CPack)

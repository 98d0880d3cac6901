# Manual pages of the programs, made by help2man from the built programs' own --help and
# --version, so that a page cannot say what the program does not; packaging/man/*.h2m adds what
# --help has no room for (description, files, examples). Installed gzipped, as Debian wants.

option(TARVEN_MANUAL_PAGES "Make and install the manual pages (needs help2man)" ON)
if(NOT TARVEN_MANUAL_PAGES)
    return()
endif()
find_program(HELP2MAN help2man)
if(NOT HELP2MAN)
    message(FATAL_ERROR "help2man makes the manual pages: install it (tools/install-deps.sh) "
                        "or configure with -DTARVEN_MANUAL_PAGES=OFF")
endif()

set(man_build_dir ${PROJECT_BINARY_DIR}/man)
set(make_page ${PROJECT_SOURCE_DIR}/packaging/man/make-page.sh)
set(man_pages)
# tarven_manual_page(<program target> <one-line description>)
function(tarven_manual_page program description)
    set(include ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m)
    set(page ${man_build_dir}/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${man_build_dir}
        # The programs answer in English whatever the builder's locale; a sanitizer build's
        # leak report at exit would end up in the page.
        COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 LANGUAGE= ASAN_OPTIONS=detect_leaks=0
                HELP2MAN=${HELP2MAN} sh ${make_page} $<TARGET_FILE:${program}> ${description}
                ${include} ${page}
        DEPENDS ${program} ${include} ${make_page}
        COMMENT "Making the manual page of ${program}"
        VERBATIM)
    set(man_pages ${man_pages} ${page} PARENT_SCOPE)
endfunction()

tarven_manual_page(tarven "serial and TCP/IP link monitor with command list and TSL scripts")
tarven_manual_page(tslrun "verify and run TSL test scripts without a window")
tarven_manual_page(tsltable "create, list, read and write a shared tag table of TSL scripts")
tarven_manual_page(tslsim "a device that answers by reply rules, for trying scripts without hardware")
tarven_manual_page(tslbridge "join two serial or network links and forward, count, log and capture their traffic")

add_custom_target(tarven_manual_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)

# What `make install` and the Debian package carry beyond the targets' own install rules (the
# renderer's man page, the copyright file), and the package itself: `cpack -G DEB` in a Release
# build configured with CMAKE_INSTALL_PREFIX=/usr.

set(VELORINE_MAN_PAGE ${PROJECT_BINARY_DIR}/velorine-render.1.gz)
add_custom_command(OUTPUT ${VELORINE_MAN_PAGE}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/res/man/velorine-render.1 > ${VELORINE_MAN_PAGE}
    DEPENDS ${PROJECT_SOURCE_DIR}/res/man/velorine-render.1
    COMMENT "Compressing the velorine-render man page"
    VERBATIM)
add_custom_target(velorine-man ALL DEPENDS ${VELORINE_MAN_PAGE})
install(FILES ${VELORINE_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/res/desktop/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velorine)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velorine)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velorine developers")
set(CPACK_PACKAGE_CONTACT "Velorine developers <maintainers@velorine.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fractal pictures: draw, zoom and save them")
set(CPACK_PACKAGE_DESCRIPTION
    "Velorine draws Mandelbrot and Julia sets, Martin and Mira maps, wallpaper patterns,\n"
    "diffusion-limited aggregation and a leaf in a desktop window with a Chinese interface,\n"
    "zooms into them with the mouse and saves them as BMP files. The package also carries\n"
    "velorine-render, which draws the same pictures from a shell.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velorine.example.org/")
# Libraries from the binaries (libtail.so, the package's own, is found through their $ORIGIN
# run path); by name what nothing links: the platform plugins, the Chinese glyphs, Qt's own
# translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

if(VELORINE_BUILD_TESTS)
    find_program(VELORINE_DESKTOP_FILE_VALIDATE desktop-file-validate)
    if(NOT VELORINE_DESKTOP_FILE_VALIDATE)
        message(FATAL_ERROR "desktop-file-validate not found: install the Debian package "
                            "desktop-file-utils (scripts/install-deps.sh does)")
    endif()
    add_test(NAME Install.ToPrefixAndRunFromThere
             COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR}
                     -DPREFIX=${PROJECT_BINARY_DIR}/install-check -DLIBDIR=${CMAKE_INSTALL_LIBDIR}
                     -DVALIDATE=${VELORINE_DESKTOP_FILE_VALIDATE}
                     -P ${PROJECT_SOURCE_DIR}/cmake/InstallCheck.cmake)
    set_tests_properties(Install.ToPrefixAndRunFromThere PROPERTIES TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
endif()

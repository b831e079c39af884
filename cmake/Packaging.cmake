# What `make install` and the Debian package carry beyond the targets' own install rules (the
# man pages, the AppStream metadata, the copyright file and the changelog), and the package
# itself: `cpack -G DEB` in a Release build configured with CMAKE_INSTALL_PREFIX=/usr (the
# Makefile's package target, which also passes Debian's hardening flags).

# Compressed as Debian wants them: gzip -9, without a name or time stamp (reproducible).
function(velorine_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9 -n -c ${source} > ${output}
        DEPENDS ${source}
        COMMENT "Compressing ${source}"
        VERBATIM)
endfunction()

set(VELORINE_DOC_FILES)
foreach(program velorine velorine-launch velorine-render)
    set(page ${PROJECT_BINARY_DIR}/${program}.1.gz)
    velorine_gzip(${PROJECT_SOURCE_DIR}/res/man/${program}.1 ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    list(APPEND VELORINE_DOC_FILES ${page})
endforeach()

# The package's version is the project's with a Debian revision; the changelog's newest entry
# must name it, so a new version cannot be packaged without its entry.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(VELORINE_DEB_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(VELORINE_CHANGELOG ${PROJECT_SOURCE_DIR}/res/desktop/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VELORINE_CHANGELOG})
file(STRINGS ${VELORINE_CHANGELOG} newest LIMIT_COUNT 1)
string(REGEX MATCH "^velorine \\(([^)]*)\\)" matched "${newest}")
if(NOT CMAKE_MATCH_1 STREQUAL VELORINE_DEB_VERSION)
    message(FATAL_ERROR "res/desktop/changelog starts with \"${newest}\": add an entry for "
                        "velorine (${VELORINE_DEB_VERSION}) at its top")
endif()
velorine_gzip(${VELORINE_CHANGELOG} ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
list(APPEND VELORINE_DOC_FILES ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
add_custom_target(velorine-docs ALL DEPENDS ${VELORINE_DOC_FILES})

install(FILES ${PROJECT_SOURCE_DIR}/res/desktop/copyright ${PROJECT_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velorine)
set(VELORINE_METAINFO ${PROJECT_SOURCE_DIR}/res/desktop/org.example.velorine.metainfo.xml)
install(FILES ${VELORINE_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Lintian's remarks that do not apply to a package made outside Debian; only a system install
# (the package's) has a use for them.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    install(FILES ${PROJECT_SOURCE_DIR}/res/desktop/lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME velorine)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velorine)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velorine developers")
set(CPACK_PACKAGE_CONTACT "Velorine developers <maintainers@velorine.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fractal pictures: draw, zoom and save them")
# Lines of the extended description stay under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Velorine draws Mandelbrot and Julia sets, Martin and Mira maps,\n"
    "wallpaper patterns, diffusion-limited aggregation and a leaf in a\n"
    "desktop window with a Chinese interface, zooms into them with the\n"
    "mouse and saves them as BMP files. The package also carries\n"
    "velorine-render, which draws the same pictures from a shell.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped as dh_strip does it, the notes and compiler comments as well.
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebStrip.cmake)
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
# The renderer's zoom videos are encoded by ffmpeg, through a pipe.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

if(VELORINE_BUILD_TESTS)
    find_program(VELORINE_DESKTOP_FILE_VALIDATE desktop-file-validate)
    if(NOT VELORINE_DESKTOP_FILE_VALIDATE)
        message(FATAL_ERROR "desktop-file-validate not found: install the Debian package "
                            "desktop-file-utils (scripts/install-deps.sh does)")
    endif()
    find_program(VELORINE_APPSTREAMCLI appstreamcli)
    if(NOT VELORINE_APPSTREAMCLI)
        message(FATAL_ERROR "appstreamcli not found: install the Debian package appstream "
                            "(scripts/install-deps.sh does)")
    endif()
    add_test(NAME Install.ToPrefixAndRunFromThere
             COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR}
                     -DPREFIX=${PROJECT_BINARY_DIR}/install-check -DLIBDIR=${CMAKE_INSTALL_LIBDIR}
                     -DVALIDATE=${VELORINE_DESKTOP_FILE_VALIDATE}
                     -DAPPSTREAMCLI=${VELORINE_APPSTREAMCLI}
                     -P ${PROJECT_SOURCE_DIR}/cmake/InstallCheck.cmake)
    set_tests_properties(Install.ToPrefixAndRunFromThere PROPERTIES TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")

    # What software centres read: valid with no remark at all, pedantic ones included (a remark
    # alone leaves the exit status 0).
    add_test(NAME Install.AppStreamMetadataIsValid
             COMMAND ${VELORINE_APPSTREAMCLI} validate --no-net --pedantic --no-color
                     ${VELORINE_METAINFO})
    set_tests_properties(Install.AppStreamMetadataIsValid PROPERTIES TIMEOUT 60
        PASS_REGULAR_EXPRESSION "Validation was successful\\.")
endif()

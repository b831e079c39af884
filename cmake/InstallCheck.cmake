# Installs a build to a fresh prefix and checks that what lands there works from there:
# cmake -DBUILD_DIR=... -DPREFIX=... -DLIBDIR=... -DVALIDATE=... -DAPPSTREAMCLI=...
#       -P InstallCheck.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${rc}): build every target first")
endif()

foreach(f bin/velorine bin/velorine-render bin/velorine-launch ${LIBDIR}/velorine/libtail.so
          share/velorine/VELORINE.HLP share/applications/velorine.desktop
          share/man/man1/velorine.1.gz share/man/man1/velorine-launch.1.gz
          share/man/man1/velorine-render.1.gz share/doc/velorine/copyright
          share/doc/velorine/changelog.Debian.gz share/metainfo/org.example.velorine.metainfo.xml
          share/icons/hicolor/16x16/apps/velorine.png share/icons/hicolor/256x256/apps/velorine.png)
    if(NOT EXISTS ${PREFIX}/${f})
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()

# The installed programs find the library the prefix holds, not the one in the build tree.
foreach(program velorine velorine-render)
    execute_process(COMMAND ldd ${PREFIX}/bin/${program} OUTPUT_VARIABLE deps)
    if(deps MATCHES "libtail\\.so => (/[^ ]+)")
        file(REAL_PATH ${CMAKE_MATCH_1} found)
        if(NOT found STREQUAL "${PREFIX}/${LIBDIR}/velorine/libtail.so")
            message(FATAL_ERROR "${program} loads ${found}")
        endif()
    elseif(deps MATCHES "libtail" OR program STREQUAL velorine)
        message(FATAL_ERROR "${program} does not find libtail.so:\n${deps}")
    endif()
endforeach()

execute_process(COMMAND ${PREFIX}/bin/velorine-render mandelbrot -o ${PREFIX}/m.bmp
                RESULT_VARIABLE rc ERROR_VARIABLE err)
file(SIZE ${PREFIX}/m.bmp size)
if(NOT rc EQUAL 0 OR NOT size EQUAL 263222)
    message(FATAL_ERROR "installed velorine-render: exit ${rc}, ${size} bytes: ${err}")
endif()

execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/velorine.desktop
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "desktop entry: ${out}")
endif()

# The AppStream metadata as a software centre finds it: its launchable is the installed desktop
# entry. The tree is read as a system root, so the prefix is its usr.
file(REMOVE_RECURSE ${PREFIX}-root)
file(MAKE_DIRECTORY ${PREFIX}-root)
file(CREATE_LINK ${PREFIX} ${PREFIX}-root/usr SYMBOLIC)
execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net --pedantic --no-color
                        ${PREFIX}-root
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(REMOVE_RECURSE ${PREFIX}-root)
if(NOT rc EQUAL 0 OR NOT out MATCHES "Validation was successful\\.")
    message(FATAL_ERROR "AppStream metadata: ${out}")
endif()
file(REMOVE_RECURSE ${PREFIX})

# Run by CPack on the staged package (CPACK_PRE_BUILD_SCRIPTS), after its own strip: removes
# the sections Debian's dh_strip removes as well, the compiler's .comment and the .note, from
# every ELF file.
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(f IN LISTS files)
    if(IS_SYMLINK ${f})
        continue()
    endif()
    file(READ ${f} magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
        continue()
    endif()
    execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${f}
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "strip failed on ${f}")
    endif()
endforeach()

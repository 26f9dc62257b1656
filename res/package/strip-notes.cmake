# Run by CPack on its staging folder before the package is made: the programs lose the sections
# dh_strip would remove too.
find_program(_strip NAMES strip REQUIRED)
file(GLOB_RECURSE _programs "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*")
foreach(program ${_programs})
    execute_process(COMMAND ${_strip} --remove-section=.comment --remove-section=.note ${program}
                    RESULT_VARIABLE _result)
    if(NOT _result EQUAL 0)
        message(FATAL_ERROR "strip failed on ${program}")
    endif()
endforeach()

# Reads every manual page with man's warnings on: -DMAN= -DPAGES_DIR=
file(GLOB pages ${PAGES_DIR}/*.1)
foreach(page ${pages})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80
            ${MAN} --warnings -E UTF-8 -l ${page}
        RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE warnings)
    if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
        message(FATAL_ERROR "${page}: ${warnings}")
    endif()
endforeach()
list(LENGTH pages count)
message(STATUS "${count} manual pages read without a warning")

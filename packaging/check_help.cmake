# Every program answers --help (usage on standard output, exit 0) and
# --version ("NAME VERSION"), with no display needed:
#   -DBIN_DIR= -DPROGRAMS=a;b -DVERSION=
foreach(program ${PROGRAMS})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY
            ${BIN_DIR}/${program} --version
        RESULT_VARIABLE rc OUTPUT_VARIABLE version ERROR_VARIABLE errors)
    if(NOT rc EQUAL 0 OR NOT version STREQUAL "${program} ${VERSION}\n")
        message(FATAL_ERROR "${program} --version: exit ${rc}, '${version}' ${errors}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY
            ${BIN_DIR}/${program} --help
        RESULT_VARIABLE rc OUTPUT_VARIABLE usage ERROR_VARIABLE errors)
    if(NOT rc EQUAL 0 OR NOT usage MATCHES "^usage: ${program} ")
        message(FATAL_ERROR "${program} --help: exit ${rc}, '${usage}' ${errors}")
    endif()
endforeach()

toolkit_add_fuzzer(NAME fuzz_tdf SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_tdf.cpp LIBS unitcheck)
toolkit_add_fuzzer(NAME fuzz_cob_names SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_cob_names.cpp
    LIBS unitcheck)

toolkit_add_fuzzer(NAME fuzz_pcx SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_pcx.cpp LIBS crateward_pcx)

toolkit_add_fuzzer(NAME fuzz_3do SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_3do.cpp LIBS model_core)

toolkit_add_fuzzer(NAME fuzz_gaf SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_gaf.cpp LIBS sprite_core)

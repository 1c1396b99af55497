toolkit_add_fuzzer(NAME fuzz_gaf SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_gaf.cpp LIBS sprite_core)
toolkit_add_fuzzer(NAME fuzz_gaf_rows SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_gaf_rows.cpp
    LIBS sprite_core)
toolkit_add_fuzzer(NAME fuzz_gaf_roundtrip SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_gaf_roundtrip.cpp
    LIBS sprite_core)
toolkit_add_fuzzer(NAME fuzz_gaf_build SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_gaf_build.cpp
    LIBS sprite_core)
toolkit_add_fuzzer(NAME fuzz_gaf_encode SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_gaf_encode.cpp
    LIBS sprite_core)

toolkit_add_fuzzer(NAME fuzz_settings SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_settings.cpp
    LIBS common_settings)

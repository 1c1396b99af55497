toolkit_add_fuzzer(NAME fuzz_hpi_reader SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_hpi_reader.cpp
    LIBS hpiutil)

toolkit_add_fuzzer(NAME fuzz_hpi_reader SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_hpi_reader.cpp
    LIBS hpiutil)
toolkit_add_fuzzer(NAME fuzz_hpi_roundtrip SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_hpi_roundtrip.cpp
    LIBS hpiutil)
toolkit_add_fuzzer(NAME fuzz_hpi_c_contract
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_hpi_c_contract.cpp LIBS hpiutil)

toolkit_add_fuzzer(NAME fuzz_pcx SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_pcx.cpp LIBS crateward_pcx)

# The mimeapps.list merge of the file association (plain C++ files of the
# program, compiled in here as the fuzz build leaves the program out).
toolkit_add_fuzzer(NAME fuzz_mimeapps
    SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_mimeapps.cpp
            ${CMAKE_SOURCE_DIR}/crateward/tools/file_association.cpp
            ${CMAKE_SOURCE_DIR}/crateward/tools/user_files.cpp)
target_include_directories(fuzz_mimeapps PRIVATE ${CMAKE_SOURCE_DIR}/crateward/tools)

# The hex dump's line builder, with Qt Core for its strings when Qt is there.
find_package(Qt6 QUIET COMPONENTS Core)
if(Qt6Core_FOUND)
    toolkit_add_fuzzer(NAME fuzz_hex_dump
        SOURCES ${CMAKE_SOURCE_DIR}/fuzz/fuzz_hex_dump.cpp
                ${CMAKE_SOURCE_DIR}/crateward/preview/hex_dump_lines.cpp
        LIBS Qt6::Core common_text)
    target_include_directories(fuzz_hex_dump PRIVATE ${CMAKE_SOURCE_DIR}/crateward/preview)
endif()

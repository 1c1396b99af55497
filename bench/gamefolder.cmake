add_executable(bench_gamefolder ${CMAKE_CURRENT_LIST_DIR}/gamefolder_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hpi_bench_data.cpp)
target_link_libraries(bench_gamefolder PRIVATE gamefolder hpiutil benchmark::benchmark)

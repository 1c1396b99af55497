add_executable(bench_hpi ${CMAKE_CURRENT_LIST_DIR}/hpi_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/hpi_bench_data.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hpi_bench_floor.cpp)
target_link_libraries(bench_hpi PRIVATE hpiutil benchmark::benchmark ZLIB::ZLIB)

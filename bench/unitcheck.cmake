add_executable(bench_unitcheck ${CMAKE_CURRENT_LIST_DIR}/unitcheck_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hpi_bench_data.cpp)
target_link_libraries(bench_unitcheck PRIVATE unitcheck unitcheck_fixture gamefolder hpiutil
    benchmark::benchmark)

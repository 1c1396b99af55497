add_executable(bench_gaf ${CMAKE_CURRENT_LIST_DIR}/gaf_bench.cpp)
target_link_libraries(bench_gaf PRIVATE sprite_core testsupport benchmark::benchmark)

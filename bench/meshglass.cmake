# bench_model: reading a real model of about 800 polygons and turning it into
# renderer records, against reading its bytes.
add_executable(bench_model ${CMAKE_CURRENT_LIST_DIR}/model_bench.cpp)
target_link_libraries(bench_model PRIVATE model_core testsupport benchmark::benchmark)

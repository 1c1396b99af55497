# bench_model: reading a real model of about 800 polygons and turning it into
# renderer records, against reading its bytes.
add_executable(bench_model ${CMAKE_CURRENT_LIST_DIR}/model_bench.cpp)
target_link_libraries(bench_model PRIVATE model_core testsupport benchmark::benchmark)
# bench_model_picture: a 2,000-face textured model drawn offscreen and read
# back against one DrawView in a window (needs an X display), and the time
# of `3do render` from process start to the PNG written.
if(TARGET meshdraw)
    find_package(X11 REQUIRED)
    add_executable(bench_model_picture ${CMAKE_CURRENT_LIST_DIR}/model_picture_bench.cpp)
    target_link_libraries(bench_model_picture PRIVATE meshdraw testsupport X11::X11)
    add_dependencies(bench_model_picture 3do)
endif()

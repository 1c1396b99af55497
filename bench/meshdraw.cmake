# bench_meshdraw: one DrawView of 20,000 filled faces (needs an X display) and
# the cost of copying an object into the store against a plain memcpy.
find_package(X11 REQUIRED)
add_executable(bench_meshdraw ${CMAKE_CURRENT_LIST_DIR}/meshdraw_bench.cpp)
target_link_libraries(bench_meshdraw PRIVATE meshdraw benchmark::benchmark X11::X11)

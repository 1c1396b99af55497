# bench_crateward: the main window opening a 50,000-file archive and listing
# a directory of 5,000 files, against the archive library doing the same walks.
if(TARGET crateward_browser)
    find_package(Qt6 REQUIRED COMPONENTS Test)
    add_executable(bench_crateward ${CMAKE_CURRENT_LIST_DIR}/crateward_browse.cpp)
    target_link_libraries(bench_crateward PRIVATE crateward_browser hpiutil Qt6::Test
        benchmark::benchmark)
endif()

# bench_crateward: the main window opening a 50,000-file archive, listing
# a directory of 5,000 files and finding one letter across the archive,
# against the archive library doing the same walks.
if(TARGET crateward_browser)
    find_package(Qt6 REQUIRED COMPONENTS Test)
    add_executable(bench_crateward ${CMAKE_CURRENT_LIST_DIR}/crateward_browse.cpp)
    target_link_libraries(bench_crateward PRIVATE crateward_browser hpiutil Qt6::Test
        benchmark::benchmark)
endif()

# bench_crateward_packing: packing a 10,000-file tree through the pack dialog
# against `hpi pack` of the same tree.
if(TARGET crateward_browser)
    add_executable(bench_crateward_packing ${CMAKE_CURRENT_LIST_DIR}/crateward_packing.cpp)
    target_link_libraries(bench_crateward_packing PRIVATE crateward_browser Qt6::Test
        benchmark::benchmark)
    if(TARGET hpi)
        add_dependencies(bench_crateward_packing hpi)
    endif()
endif()

# bench_crateward_preview: decoding a 640 x 480 8-bit PCX against copying its
# pixels, and building and showing a full 30,000-byte hex dump offscreen.
if(TARGET crateward_browser)
    add_executable(bench_crateward_preview ${CMAKE_CURRENT_LIST_DIR}/crateward_preview.cpp)
    target_link_libraries(bench_crateward_preview PRIVATE crateward_browser testsupport
        benchmark::benchmark)
endif()

# bench_startup: the programs' start-up against a bare Qt window with a tree
# (bench_startup_bare), under an X server (xvfb-run).
if(TARGET crateward AND TARGET spriteglass)
    find_package(X11 REQUIRED)
    add_executable(bench_startup_bare ${CMAKE_CURRENT_LIST_DIR}/startup_bare.cpp)
    target_link_libraries(bench_startup_bare PRIVATE Qt6::Widgets)
    add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
    target_link_libraries(bench_startup PRIVATE hpiutil testsupport X11::X11 X11::Xdamage)
    add_dependencies(bench_startup bench_startup_bare crateward spriteglass)
endif()

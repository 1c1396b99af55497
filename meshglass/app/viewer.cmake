# The viewer's windows, in a library so the window tests drive them.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_library(meshglass_gui STATIC
    app/Frm3do.cpp app/Frm3do.hpp
    app/frmPres.cpp app/frmPres.hpp
    app/MeshdrawRenderer.cpp app/MeshdrawRenderer.hpp
    app/MeshglassProgram.cpp app/MeshglassProgram.hpp
    app/MeshglassSettings.cpp app/MeshglassSettings.hpp
    app/PicViewBox.cpp app/PicViewBox.hpp
    app/ViewRenderer.hpp)
target_include_directories(meshglass_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/app)
target_link_libraries(meshglass_gui PUBLIC model_core sprite_core common_paths common_dialogs
    common_settings meshdraw Qt6::Widgets)
toolkit_use_qt_pch(meshglass_gui)

add_executable(meshglass app/main.cpp)
target_link_libraries(meshglass PRIVATE meshglass_gui)
add_dependencies(meshglass spriteglass_palette)
install(TARGETS meshglass RUNTIME DESTINATION bin)

toolkit_add_test(NAME meshglass_window_tests
    SOURCES tests/RecordingRenderer.hpp tests/viewer_window_test.cpp
    LIBS meshglass_gui Qt6::Test testsupport_qt)
add_dependencies(meshglass_window_tests spriteglass_palette)

# Draws a real model on the X server (skips without DISPLAY).
toolkit_add_test(NAME meshglass_draw_tests SOURCES tests/viewer_draw_test.cpp
    LIBS meshglass_gui Qt6::Test X11)
add_dependencies(meshglass_draw_tests spriteglass_palette)

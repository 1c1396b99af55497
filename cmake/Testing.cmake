# toolkit_add_test(NAME name SOURCES ... LIBS ...)
# Builds one GoogleTest executable and registers its tests with CTest.
find_package(GTest)
include(GoogleTest)

# The Qt headers the window libraries and their tests nearly all include:
# what their shared precompiled headers hold.
set(TOOLKIT_QT_PCH_HEADERS
    <QAction> <QApplication> <QDir> <QFile> <QFileInfo> <QHeaderView> <QLabel> <QLineEdit>
    <QMenu> <QMenuBar> <QPainter> <QPushButton> <QToolBar> <QTreeView> <QTreeWidget>
    <QVBoxLayout> <filesystem> <string> <vector>)

# The test programs of windows share one precompiled header of the Qt
# Widgets and GoogleTest headers they include: their compile is mostly the
# parsing of those headers (about 13 of a file's 16 s). Qt Test's own header
# stays out of it, as its macros name each program's folder.
function(toolkit_qt_test_pch_owner)
    if(TARGET toolkit_qt_test_pch)
        return()
    endif()
    add_executable(toolkit_qt_test_pch ${PROJECT_SOURCE_DIR}/cmake/test_pch.cpp)
    target_link_libraries(toolkit_qt_test_pch PRIVATE Qt6::Widgets GTest::gtest
        GTest::gtest_main)
    target_compile_options(toolkit_qt_test_pch PRIVATE -O0)
    target_precompile_headers(toolkit_qt_test_pch PRIVATE
        <gtest/gtest.h> ${TOOLKIT_QT_PCH_HEADERS})
endfunction()

# The other test programs share one of the GoogleTest and standard headers
# (a quarter of their compile).
function(toolkit_test_pch_owner)
    if(TARGET toolkit_test_pch)
        return()
    endif()
    add_executable(toolkit_test_pch ${PROJECT_SOURCE_DIR}/cmake/test_pch.cpp)
    target_link_libraries(toolkit_test_pch PRIVATE GTest::gtest GTest::gtest_main)
    target_compile_options(toolkit_test_pch PRIVATE -O0)
    target_precompile_headers(toolkit_test_pch PRIVATE
        <gtest/gtest.h> <algorithm> <cstdint> <filesystem> <fstream> <map> <string> <vector>)
endfunction()

function(toolkit_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} testsupport GTest::gtest GTest::gtest_main)
    # Test code is compiled without optimisation: the code under test comes
    # optimised from its libraries, and the test bodies (GoogleTest and Qt
    # Test macros) compile about three times faster at -O0.
    target_compile_options(${T_NAME} PRIVATE -O0)
    if(T_LIBS MATCHES "_gui|Qt6::|common_dialogs|testsupport_qt")
        toolkit_qt_test_pch_owner()
        target_precompile_headers(${T_NAME} REUSE_FROM toolkit_qt_test_pch)
    else()
        toolkit_test_pch_owner()
        target_precompile_headers(${T_NAME} REUSE_FROM toolkit_test_pch)
    endif()
    gtest_discover_tests(${T_NAME}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "TOOLKIT_SHARED_DIR=${TOOLKIT_SHARED_DIR}")
endfunction()

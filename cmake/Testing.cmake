# toolkit_add_test(NAME name SOURCES ... LIBS ...)
# Builds one GoogleTest executable and registers its tests with CTest.
find_package(GTest)
include(GoogleTest)

function(toolkit_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} testsupport GTest::gtest GTest::gtest_main)
    # Test code is compiled without optimisation: the code under test comes
    # optimised from its libraries, and the test bodies (GoogleTest and Qt
    # Test macros) compile about three times faster at -O0.
    target_compile_options(${T_NAME} PRIVATE -O0)
    gtest_discover_tests(${T_NAME}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "TOOLKIT_SHARED_DIR=${TOOLKIT_SHARED_DIR}")
endfunction()

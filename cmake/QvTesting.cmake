# Tests: one GoogleTest executable per module, registered test by test with CTest.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

set(QV_TEST_OUTPUT_DIR ${CMAKE_BINARY_DIR}/tests)

# qv_add_test(<name> SOURCES <files...> LIBS <targets...>)
function(qv_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    QV_TESTDATA_DIR="${QV_TESTDATA_DIR}"
    QV_APP_DIR="${QV_APP_DIR}"
    QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    QV_TEST_ARTIFACT_DIR="${CMAKE_BINARY_DIR}/artifacts")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QV_TEST_OUTPUT_DIR})
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${QV_TEST_OUTPUT_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60)
endfunction()

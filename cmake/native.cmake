# Native Linux build: the core's unit tests over the test double, and the
# driver of the end-to-end tests that run the Windows program under Wine.
# The fuzz configuration builds the fuzz targets instead (cmake/fuzz.cmake).
if(TOLVA_FUZZ)
  include(${CMAKE_CURRENT_LIST_DIR}/fuzz.cmake)
  return()
endif()

include(CTest)
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/tests/support/*.cpp
  ${PROJECT_SOURCE_DIR}/tests/settings/*.cpp
  ${PROJECT_SOURCE_DIR}/tests/actions/*.cpp
  ${PROJECT_SOURCE_DIR}/tests/app/*.cpp
  ${PROJECT_SOURCE_DIR}/tests/platform/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES} ${PROJECT_SOURCE_DIR}/platform/profile_text.cpp)
target_link_libraries(unit_tests PRIVATE tolva_core GTest::gtest GTest::gtest_main)
target_include_directories(unit_tests PRIVATE ${PROJECT_SOURCE_DIR})
gtest_discover_tests(unit_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS unit)

if(EXISTS ${PROJECT_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/e2e ${CMAKE_BINARY_DIR}/e2e)
endif()

# The patch authoring kit's tests: its commands run in-process over the
# portable host platform (not the test double), on real temporary files.
if(TARGET tlvkit_commands)
  file(GLOB TOOL_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/tools/*.cpp)
  add_executable(tool_tests ${TOOL_TEST_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/cp932.cpp)
  target_link_libraries(tool_tests PRIVATE tlvkit_commands GTest::gtest GTest::gtest_main)
  gtest_discover_tests(tool_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS unit)
endif()

# The codec's benchmark, when Google Benchmark is installed (scripts/bench.sh runs it).
if(EXISTS ${PROJECT_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(${PROJECT_SOURCE_DIR}/bench ${CMAKE_BINARY_DIR}/bench-build)
endif()

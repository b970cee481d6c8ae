# libFuzzer targets (clang only), built instead of the unit tests when
# TOLVA_FUZZ is on (preset "fuzz"): each fuzz/<name>.cpp becomes the
# executable <name>, over a core instrumented for coverage and checked by
# AddressSanitizer and UndefinedBehaviorSanitizer. scripts/fuzz.sh runs them.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "libFuzzer needs clang: configure with the \"fuzz\" preset")
endif()
# The platform double reports misuse through GoogleTest.
find_package(GTest REQUIRED)

set(FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(tolva_core PRIVATE -fsanitize=fuzzer-no-link ${FUZZ_SANITIZERS})
# Whatever else links the instrumented core needs the sanitizer runtimes too.
target_link_options(tolva_core INTERFACE ${FUZZ_SANITIZERS})

add_library(fuzz_platform_double STATIC
  ${PROJECT_SOURCE_DIR}/tests/support/fake_platform.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/cp932.cpp
  ${PROJECT_SOURCE_DIR}/platform/profile_text.cpp)
target_compile_options(fuzz_platform_double PRIVATE -fsanitize=fuzzer-no-link ${FUZZ_SANITIZERS})
target_include_directories(fuzz_platform_double PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(fuzz_platform_double PUBLIC tolva_core GTest::gtest)

file(GLOB FUZZ_TARGET_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*.cpp)
foreach(source IN LISTS FUZZ_TARGET_SOURCES)
  get_filename_component(target ${source} NAME_WE)
  add_executable(${target} ${source})
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer ${FUZZ_SANITIZERS})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer ${FUZZ_SANITIZERS})
  target_link_libraries(${target} PRIVATE fuzz_platform_double)
  list(APPEND FUZZ_TARGETS ${target})
endforeach()
# What the "fuzz" build preset builds: the fuzz targets and nothing else.
add_custom_target(fuzz_targets DEPENDS ${FUZZ_TARGETS})

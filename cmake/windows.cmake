# The Windows program, built with MinGW-w64 (i686 ships, x86_64 runs under Wine) or MSVC.
enable_language(RC)

file(GLOB WIN32_PLATFORM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/win32/*.cpp)
add_executable(tlvpatch WIN32
  ${PROJECT_SOURCE_DIR}/app/win_main.cpp
  ${WIN32_PLATFORM_SOURCES}
  ${PROJECT_SOURCE_DIR}/resources/applier.rc)
target_link_libraries(tlvpatch PRIVATE tolva_core)
# The resource compiler reports no dependencies: name the files that
# applier.rc pulls in, so that a changed text or manifest is rebuilt.
set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/applier.rc PROPERTIES OBJECT_DEPENDS
  "${PROJECT_SOURCE_DIR}/resources/message_texts.h;${PROJECT_SOURCE_DIR}/resources/applier.manifest")

if(MINGW)
  # No runtime DLL beside the executable.
  target_link_options(tlvpatch PRIVATE -static -static-libgcc -static-libstdc++)
  # The manifest comes from our resource script, not from the toolchain.
  target_compile_definitions(tlvpatch PRIVATE _WIN32_WINNT=0x0601)
endif()
if(MSVC)
  target_link_options(tlvpatch PRIVATE /MANIFEST:NO)
  set_property(TARGET tlvpatch PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded")
endif()

# Programs that the end-to-end tests run beside the applier under Wine.
if(EXISTS ${PROJECT_SOURCE_DIR}/tests/e2e/tools/CMakeLists.txt)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/e2e/tools ${CMAKE_BINARY_DIR}/e2e-tools)
endif()

# Benchmarks of the copy and of whole runs (scripts/bench.sh runs them).
if(EXISTS ${PROJECT_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(${PROJECT_SOURCE_DIR}/bench ${CMAKE_BINARY_DIR}/bench-build)
endif()

# quillmark_add_gtest(NAME SOURCES... LIBS...): one GoogleTest executable,
# registered with CTest as one test per TEST(). Tests run from the build tree
# with QUILLMARK_SOURCE_DIR defined so they can find shipped fixtures.
function(quillmark_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    QUILLMARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUILLMARK_SHARED_DIR="${PROJECT_SOURCE_DIR}/../shared")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# quillmark_add_qtest(NAME SOURCES... LIBS...): one Qt Test executable, run offscreen.
function(quillmark_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets)
  target_compile_definitions(${name} PRIVATE
    QUILLMARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUILLMARK_SHARED_DIR="${PROJECT_SOURCE_DIR}/../shared")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# quillmark_add_bench(NAME SOURCES... LIBS...): one Google Benchmark program.
function(quillmark_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE
    QUILLMARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUILLMARK_SHARED_DIR="${PROJECT_SOURCE_DIR}/../shared")
endfunction()

# tunedeck_add_tree(dir): adds dir when it holds a CMakeLists.txt, otherwise walks its sub-folders.
function(tunedeck_add_tree dir)
  set(full ${CMAKE_CURRENT_SOURCE_DIR}/${dir})
  if(NOT IS_DIRECTORY ${full})
    return()
  endif()
  if(EXISTS ${full}/CMakeLists.txt)
    add_subdirectory(${full} ${CMAKE_CURRENT_BINARY_DIR}/${dir})
    return()
  endif()
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${full}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child})
      tunedeck_add_tree(${child})
    endif()
  endforeach()
endfunction()

# tunedeck_test(name SOURCES ... LIBS ... [LABELS ...])
# One GoogleTest program; every test in it becomes a CTest entry. Label "threads" marks tests that also run under
# ThreadSanitizer.
function(tunedeck_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 TEST_LIST ${name}_TESTS
                       PROPERTIES ENVIRONMENT "TUNEDECK_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp")
  # Labels are set after discovery: a list passed through the discovery step loses all but its first entry.
  if(T_LABELS)
    set(label_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
    file(WRITE ${label_script}
         "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${T_LABELS}\")\nendif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_script})
  endif()
endfunction()

# tunedeck_benchmark(name SOURCES ... LIBS ...): a Google Benchmark program, built only when the library is present.
function(tunedeck_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT benchmark_FOUND)
    return()
  endif()
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

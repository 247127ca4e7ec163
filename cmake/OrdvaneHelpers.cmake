# Shared build rules: warnings, tests, fuzzers, benchmarks.

# Every target of ours builds with warnings as errors.
# GCC 12 reports -Wrestrict for std::string assignments inlined at -O2 where no overlap can
# happen (a known false positive of that release), so that one warning stays off there.
# Clang also checks the lock annotations of platform/Mutex.h (-Wthread-safety): data marked
# as guarded by a mutex is touched only with it held, and functions that need it get it.
function(ordvane_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror
    $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>
    $<$<CXX_COMPILER_ID:Clang>:-Wthread-safety>)
endfunction()

# Adds every direct subfolder of FOLDER that has a CMakeLists.txt, so that a new test, bench
# or fuzz area is one new folder and no shared file changes.
function(ordvane_add_child_directories folder)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${PROJECT_SOURCE_DIR}/${folder}
       ${PROJECT_SOURCE_DIR}/${folder}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(EXISTS ${PROJECT_SOURCE_DIR}/${folder}/${child}/CMakeLists.txt)
      add_subdirectory(${PROJECT_SOURCE_DIR}/${folder}/${child}
                       ${PROJECT_BINARY_DIR}/${folder}/${child})
    endif()
  endforeach()
endfunction()

# Steps that need every target to exist already: each is a file cmake/finish/*.cmake.
macro(ordvane_include_finishing_steps)
  file(GLOB _ordvane_finish_steps ${PROJECT_SOURCE_DIR}/cmake/finish/*.cmake)
  list(SORT _ordvane_finish_steps)
  foreach(_step IN LISTS _ordvane_finish_steps)
    include(${_step})
  endforeach()
endmacro()

# ordvane_add_gtest(NAME SOURCES ... LIBS ... LABELS ... [ENVIRONMENT K=V ...] [NO_MAIN]
#                   [TIMEOUT seconds] [RUN_SERIAL])
# One test executable per area; every test case becomes a CTest test carrying the labels.
# A test that calls GTEST_SKIP is reported by CTest as skipped, never as passed.
function(ordvane_add_gtest name)
  cmake_parse_arguments(ARG "NO_MAIN;RUN_SERIAL" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  ordvane_set_warnings(${name})
  target_link_libraries(${name} PRIVATE GTest::gtest ${ARG_LIBS})
  if(NOT ARG_NO_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  set(properties LABELS "${ARG_LABELS}" TIMEOUT ${ARG_TIMEOUT}
      SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
  # Tests that configure or wink modules write the change journal: into the build tree, never
  # the journal of the user running them, and not to the system log.
  list(PREPEND ARG_ENVIRONMENT XDG_STATE_HOME=${PROJECT_BINARY_DIR}/test-state
       ORDVANE_JOURNAL_SYSLOG=0)
  if(ARG_ENVIRONMENT)
    # The environment goes in front of the test command rather than into a test property:
    # gtest_discover_tests would split a list of K=V entries into separate property words.
    set_target_properties(${name} PROPERTIES
      CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${ARG_ENVIRONMENT}")
  endif()
  if(ARG_RUN_SERIAL)
    list(APPEND properties RUN_SERIAL TRUE)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${name}."
                       PROPERTIES ${properties})
endfunction()

# ordvane_add_fuzzer(NAME SOURCES ... LIBS ...)
# A harness defines LLVMFuzzerTestOneInput. It always builds as NAME_replay, which CTest runs
# over the committed corpus in corpus/NAME beside the harness (label fuzz-replay); with
# ORDVANE_FUZZ (clang) it also builds as the libFuzzer binary NAME.
function(ordvane_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name}_replay ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  ordvane_set_warnings(${name}_replay)
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
  add_test(NAME ${name}.replay
           COMMAND ${name}_replay ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  set_tests_properties(${name}.replay PROPERTIES LABELS fuzz-replay TIMEOUT 300)
  if(ORDVANE_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    ordvane_set_warnings(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endif()
endfunction()

# ordvane_add_benchmark(NAME SOURCES ... LIBS ...): a Google Benchmark executable. Benchmarks
# print figures; they are never CTest tests.
function(ordvane_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  ordvane_set_warnings(${name})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
endfunction()

# The unit tests (one binary, beside the files they test) and the end-to-end tests, which run
# the built LogSift as a process on fixture logs.
include(GoogleTest)  # gtest_discover_tests; GoogleTest itself comes from cmake/gtest.cmake

add_executable(logsift_tests
  app/command_line_test.cc
  app/label_search_test.cc
  app/run_test.cc
  app/scan_test.cc
  log/error_condenser_test.cc
  log/line_reader_test.cc
  log/summary_counts_test.cc
  report/output_test.cc
  report/stamp_test.cc
  report/summary_line_test.cc
  text/text_test.cc
  tests/fake_platform.cc
  tests/text_forms.cc)
target_link_libraries(logsift_tests PRIVATE logsift_core GTest::gtest_main)
if(NOT CMAKE_CROSSCOMPILING)
  gtest_discover_tests(logsift_tests)
elseif(CMAKE_CROSSCOMPILING_EMULATOR)
  # Run through the emulator (Wine for the x86_64 Windows build) as one test.
  add_test(NAME unit_tests COMMAND logsift_tests)
endif()

# The end-to-end binaries start processes the POSIX way, so they are host programs only; the
# Windows build runs them from the host build against LogSift.exe (cmake/windows.cmake).
if(CMAKE_CROSSCOMPILING)
  return()
endif()

add_executable(logsift_e2e_tests tests/e2e_test.cc tests/e2e_faults_test.cc tests/e2e_hostile_test.cc
  tests/e2e_labels_test.cc tests/process.cc tests/text_forms.cc)
target_include_directories(logsift_e2e_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(logsift_e2e_tests PRIVATE GTest::gtest_main)
target_compile_definitions(logsift_e2e_tests PRIVATE
  LOGSIFT_EXE="$<TARGET_FILE:LogSift>"
  LOGSIFT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(logsift_e2e_tests LogSift)
gtest_discover_tests(logsift_e2e_tests)

# Windows-only cases, for LogSift.exe under Wine: built here, run by the win64 build.
add_executable(logsift_windows_tests tests/windows_test.cc tests/process.cc)
target_include_directories(logsift_windows_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(logsift_windows_tests PRIVATE GTest::gtest_main)
target_compile_definitions(logsift_windows_tests PRIVATE LOGSIFT_EXE="$<TARGET_FILE:LogSift>")

# libFuzzer targets, built when the compiler is clang: the core is compiled again with coverage
# and AddressSanitizer/UndefinedBehaviorSanitizer, and each target links it with the fuzzer.
set(LOGSIFT_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

get_target_property(LOGSIFT_CORE_SOURCES logsift_core SOURCES)
add_library(logsift_fuzz_core STATIC ${LOGSIFT_CORE_SOURCES} tests/fake_platform.cc)
target_include_directories(logsift_fuzz_core PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(logsift_fuzz_core PUBLIC ${LOGSIFT_FUZZ_SANITIZERS} -fsanitize=fuzzer-no-link)
target_link_options(logsift_fuzz_core PUBLIC ${LOGSIFT_FUZZ_SANITIZERS})

foreach(name scan numbers command_line)
  add_executable(fuzz_${name} fuzz/${name}_fuzzer.cc)
  target_link_libraries(fuzz_${name} PRIVATE logsift_fuzz_core)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
endforeach()

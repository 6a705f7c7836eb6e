// Test helper for Wine runs: starts a program with exactly the command line given, so tests can
// hand it quote pairs and unbalanced quotes that wine's own argument quoting would escape.
// Usage: run_raw "COMMAND LINE"; passes the standard handles through and returns the exit code.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: run_raw \"COMMAND LINE\"\n");
    return 2;
  }
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi = {};
  // CreateProcessA may write into the command line buffer; argv[1] is ours to lend.
  if (!CreateProcessA(nullptr, argv[1], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    std::fprintf(stderr, "run_raw: cannot start, error %lu\n", GetLastError());
    return 2;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 2;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

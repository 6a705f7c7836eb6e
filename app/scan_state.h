// The one record the scan keeps between lines, owned by the main routine for the whole run.
// Nothing in it is reset between copy runs of one log except InSummary.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct ScanState {
  std::string_view CurrentLine;  // the line under test, valid until the next line is read
  std::string DestLabel;         // server name or drive letter of the latest destination line
  std::string FileSelection;     // up to 40 characters after the latest header files label
  bool InSummary = false;        // between a table heading and its "Files :" row
  std::string LastErrorText;     // the last condensed error text, written or not
  std::string MessageText;       // the error text or summary line being composed
  int32_t Total = 0;
  int32_t Copied = 0;
  int32_t Skipped = 0;
  int32_t Mismatch = 0;
  int32_t Failed = 0;
  int32_t Extras = 0;
};

// Tests for what the scan tells the reader: a line it leaves out must be one that no label
// could be found in, so every label of every table holds one of the wanted bytes.
#include "app/scan.h"

#include <gtest/gtest.h>

#include <string>

#include "app/labels.h"

namespace {

TEST(ScanBytes, EveryLabelHoldsOne) {
  for (const LabelList* list : {&kDestLabels, &kFileLabels, &kSummaryHeadings, &kErrorWords}) {
    ASSERT_GT(list->count, 0u);
    for (size_t i = 0; i < list->count; ++i) {
      std::string_view label = list->labels[i];
      SCOPED_TRACE(std::string(label));
      bool holds = false;
      for (char c : label) {
        holds = holds || kScanBytes.bytes.find(c) != std::string_view::npos ||
                (kScanBytes.high && static_cast<unsigned char>(c) > 0x7F);
      }
      EXPECT_TRUE(holds);
    }
  }
}

}  // namespace

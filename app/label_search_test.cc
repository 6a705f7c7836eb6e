// Tests for the label tables and their search: the cheap look must never rule out a line that
// holds a label, and the search must give what a plain search per label in list order gives.
#include "app/label_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/labels.h"
#include "text/text.h"

namespace {

const LabelList* const kLists[] = {&kDestLabels, &kFileLabels, &kSummaryHeadings, &kErrorWords};

// The rule the search stands for: the first label in list order that the line holds.
LabelHit PlainSearch(const LabelList& list, std::string_view line) {
  for (size_t i = 0; i < list.count; ++i) {
    if (int64_t p = FindText(list.labels[i], line); p > 0) {
      return {static_cast<int>(i), p, static_cast<int64_t>(list.labels[i].size())};
    }
  }
  return {};
}

TEST(Labels, TablesKeepTheirRules) {
  EXPECT_EQ(kDestLabels.labels[0], "Dest :");
  EXPECT_EQ(kFileLabels.labels[0], "Files :");
  EXPECT_EQ(kSummaryHeadings.labels[0], "Total    Copied   Skipped  Mismatch    FAILED    Extras");
  EXPECT_EQ(kErrorWords.labels[0], "ERROR ");
  for (const LabelList* list : kLists) {
    for (size_t i = 0; i < list->count; ++i) {
      std::string_view label = list->labels[i];
      SCOPED_TRACE(std::string(label));
      EXPECT_FALSE(label.empty());
      // A repeat could never be the first hit.
      for (size_t j = 0; j < i; ++j) {
        EXPECT_NE(label, list->labels[j]);
      }
      // A label without an anchor byte is looked for only in lines with a byte above 0x7F.
      bool high = false;
      for (char c : label) high = high || static_cast<unsigned char>(c) > 0x7F;
      if (list->anchors[i].byte == 0) {
        EXPECT_TRUE(high);
      }
    }
  }
  // Every error word ends in its blank; the message starts right after it.
  for (size_t i = 0; i < kErrorWords.count; ++i) {
    EXPECT_EQ(kErrorWords.labels[i].back(), ' ');
  }
}

TEST(LookAtLine, SeesEveryAnchorAndHighByteAtEveryPlace) {
  // Each byte at each place of lines up to three blocks long; the near misses must stay unseen.
  const std::string bytes = std::string(kAnchorBytes) + "\x80\xff" + "9;<>DFe\x7f";
  for (size_t size = 1; size <= 40; ++size) {
    for (size_t at = 0; at < size; ++at) {
      for (char b : bytes) {
        std::string line(size, 'a');
        line[at] = b;
        LineLook look = LookAtLine(line);
        unsigned want = 0;
        for (size_t a = 0; a < kAnchorBytes.size(); ++a) {
          if (kAnchorBytes[a] == b) want |= 1u << a;
        }
        ASSERT_EQ(look.anchors, want) << "size " << size << " at " << at << " byte " << int(b);
        ASSERT_EQ(look.high, static_cast<unsigned char>(b) > 0x7F) << "size " << size << " at " << at;
      }
    }
  }
  EXPECT_EQ(LookAtLine("").anchors, 0u);
  EXPECT_FALSE(LookAtLine(std::string(3, '\0')).high);
}

TEST(FindFirstLabel, GivesWhatAPlainSearchGives) {
  // Every label of every list, alone, among text, twice, cut short, and beside a label that
  // comes earlier or later in its list.
  for (const LabelList* list : kLists) {
    for (size_t i = 0; i < list->count; ++i) {
      std::string label(list->labels[i]);
      std::string other(list->labels[(i + 1) % list->count]);
      std::string earlier(list->labels[0]);
      std::vector<std::string> lines = {
          label,
          "x" + label,
          label + "x",
          "  D:\\E=:" + label + " \\\\srv\\x\\",
          label + label,
          label.substr(0, label.size() - 1),
          label.substr(1),
          "\xe9" + label.substr(0, label.size() - 1),
          other + " " + label,
          label + " " + other,
          label + " " + earlier,
          std::string(30, ':') + label + std::string(30, 'E'),
          // Long lines are searched without a look.
          std::string(70000, ':') + other + label,
          std::string(70000, 'E') + label.substr(1),
      };
      for (const std::string& line : lines) {
        SCOPED_TRACE(testing::PrintToString(line.substr(0, 100)));
        LabelHit got = FindFirstLabel(LookAtLine(line), *list);
        LabelHit want = PlainSearch(*list, line);
        EXPECT_EQ(got.index, want.index);
        EXPECT_EQ(got.pos, want.pos);
        EXPECT_EQ(got.size, want.size);
      }
    }
  }
}

TEST(FindFirstLabelOutside, AnErrorWordInsideAHeadingIsATitle) {
  const std::string es = "Total   Copiado   OmitidoNo coincidencia     ERROR    Extras";
  const std::string de =
      "Insgesamt   Kopiert\x9a"
      "bersprungenKeine \x9a"
      "bereinstimmung    FEHLER    Extras";
  struct Row {
    const char* why;
    std::string line;
    int index;  // -1: no error word counts
    int64_t pos;
  } rows[] = {
      {"Spanish heading alone", "      " + es, -1, 0},
      {"German heading alone", "   " + de, -1, 0},
      {"a real error after the heading", es + " ERROR 5 x", 0, static_cast<int64_t>(es.size()) + 2},
      {"a real error before the heading", "ERROR 5 " + es, 0, 1},
      // The English word inside the heading does not count, so the German one after it does.
      {"German word after the Spanish heading", es + " FEHLER 2", 7, static_cast<int64_t>(es.size()) + 2},
      {"both headings, a real error behind", de + es + "ERROR x", 0,
       static_cast<int64_t>(de.size() + es.size()) + 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    LabelHit hit = FindFirstLabelOutside(LookAtLine(r.line), kErrorWords, kSummaryHeadings);
    EXPECT_EQ(hit.index, r.index);
    EXPECT_EQ(hit.pos, r.pos);
  }
  // A place ending where the cover ends lies inside it; one running past it does not.
  static constexpr std::string_view kCover[] = {"Total ERR"};
  static constexpr std::string_view kWords[] = {"ERR", "ERR "};
  constexpr LabelList covers = MakeLabelList(kCover);
  constexpr LabelList words = MakeLabelList(kWords);
  EXPECT_EQ(FindFirstLabelOutside(LookAtLine("Total ERR"), words, covers).index, -1);
  EXPECT_EQ(FindFirstLabelOutside(LookAtLine("Total ERR 5"), words, covers).index, 1);
}

}  // namespace

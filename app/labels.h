// Robocopy's own labels per language, as data for the four line tests of the scan: English
// first in every list, then the other languages; the first label in list order that a line holds wins.
#pragma once

#include "app/label_search.h"

extern const LabelList kDestLabels;       // destination header; the value starts one byte after it
extern const LabelList kFileLabels;       // header file selection and the summary row of counts
extern const LabelList kSummaryHeadings;  // summary table headings, from the first title to the last
extern const LabelList kErrorWords;       // error words, each with its blank; the message follows

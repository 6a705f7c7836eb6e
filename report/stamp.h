// The "dd/mm/yy hh:nn " prefix of every verdict line, with the user's own separators.
// Pure: the time and the separators come in as arguments.
#pragma once

#include <string>

#include "platform/platform.h"

struct Separators {
  char date = '/';
  char time = ':';
};

// The separators from the user's locale settings: a setting is used when it is exactly one
// character, otherwise "/" and ":" stand in (an empty or unreadable setting included).
Separators LoadSeparators(const Platform& platform);

// Day, month, two-digit year, 24-hour time to the minute, then one blank: 15 characters.
std::string FormatStamp(const LocalTime& time, Separators separators);

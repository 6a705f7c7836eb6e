// The "dd/mm/yy hh:nn " prefix of every verdict line, with the user's own separators.
// Only the separators are the locale's: field order and widths are fixed.
#include "report/stamp.h"

namespace {

char PickSeparator(const std::string& setting, char fallback) {
  // An empty setting would otherwise put a NUL into the stamp.
  return setting.size() == 1 && setting[0] != '\0' ? setting[0] : fallback;
}

void AppendTwoDigits(std::string* out, int value) {
  value %= 100;
  if (value < 0) value += 100;
  out->push_back(static_cast<char>('0' + value / 10));
  out->push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

Separators LoadSeparators(const Platform& platform) {
  Separators separators;
  std::string date;
  std::string time;
  if (platform.LocaleSeparators && platform.LocaleSeparators(platform.ctx, &date, &time)) {
    separators.date = PickSeparator(date, separators.date);
    separators.time = PickSeparator(time, separators.time);
  }
  return separators;
}

std::string FormatStamp(const LocalTime& time, Separators separators) {
  std::string stamp;
  stamp.reserve(15);
  AppendTwoDigits(&stamp, time.day);
  stamp.push_back(separators.date);
  AppendTwoDigits(&stamp, time.month);
  stamp.push_back(separators.date);
  AppendTwoDigits(&stamp, time.year);
  stamp.push_back(' ');
  AppendTwoDigits(&stamp, time.hour);
  stamp.push_back(separators.time);
  AppendTwoDigits(&stamp, time.minute);
  stamp.push_back(' ');
  return stamp;
}

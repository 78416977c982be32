#include "timer/timetext.h"

#include <cstring>

namespace {

// Appends src to the text; the callers never come near the buffer's end.
void Append(ShortText& t, const char* src) {
  size_t used = std::strlen(t.Chars);
  size_t room = sizeof t.Chars - 1 - used;
  size_t n = std::strlen(src);
  if (n > room) n = room;
  std::memcpy(t.Chars + used, src, n);
  t.Chars[used + n] = '\0';
}

struct TimeParts {
  int32_t Hours, Minutes, Seconds;
};

TimeParts Split(int32_t s) {
  TimeParts p;
  p.Hours = s / 3600;
  p.Minutes = (s - p.Hours * 3600) / 60;
  p.Seconds = s - p.Minutes * 60 - p.Hours * 3600;
  return p;
}

// Below 10 gets a leading "0"; a negative part keeps its sign after it.
void AppendTwoDigits(ShortText& t, int32_t part) {
  if (part < 10) Append(t, "0");
  Append(t, IntToText(part).c_str());
}

// Negative counts only ever show for the last moment of a countdown started
// at zero or below; "-" and the time of the absolute value reads as meant.
uint32_t Magnitude(int32_t s) { return s < 0 ? 0u - static_cast<uint32_t>(s) : static_cast<uint32_t>(s); }

void AppendUnsignedTwoDigits(ShortText& t, uint32_t part) {
  char digits[12];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + part % 10);
    part /= 10;
  } while (part != 0);
  if (n < 2) Append(t, "0");
  char out[12];
  for (int i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
  out[n] = '\0';
  Append(t, out);
}

}  // namespace

ShortText IntToText(int32_t value) {
  char digits[12];
  int n = 0;
  uint32_t magnitude = Magnitude(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  ShortText t;
  int k = 0;
  if (value < 0) t.Chars[k++] = '-';
  while (n > 0) t.Chars[k++] = digits[--n];
  t.Chars[k] = '\0';
  return t;
}

int32_t TextToInt(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  while (*p == ' ') ++p;
  bool negative = false;
  bool sign = false;
  if (*p == '-' || *p == '+') {
    negative = *p == '-';
    sign = true;
    ++p;
  }
  uint32_t value = 0;
  bool hex = false;
  if (!sign) {
    if (*p == '$' || *p == 'x' || *p == 'X') {
      hex = true;
      ++p;
    } else if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
      hex = true;
      p += 2;
    }
  }
  if (*p == '\0') return 0;  // nothing after the prefix or sign
  for (; *p != '\0'; ++p) {
    uint32_t digit;
    char c = *p;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else {
      return static_cast<int32_t>(value);
    }
    if (hex) {
      if (value > 0x0FFFFFFFu) return static_cast<int32_t>(value);
      value = value * 16 + digit;
    } else {
      if (value > 214748364u) return static_cast<int32_t>(value);
      value = value * 10 + digit;
    }
  }
  // A result of the wrong sign is invalid, but the value reached is returned
  // all the same: 2147483648 gives -2147483648, -2147483649 gives 2147483647.
  return static_cast<int32_t>(negative ? 0u - value : value);
}

ShortText SecondsToText(int32_t seconds) {
  ShortText t;
  t.Chars[0] = '\0';
  if (seconds < 0) {
    uint32_t m = Magnitude(seconds);
    Append(t, "-");
    AppendUnsignedTwoDigits(t, m / 3600);
    Append(t, ":");
    AppendUnsignedTwoDigits(t, m / 60 % 60);
    Append(t, ":");
    AppendUnsignedTwoDigits(t, m % 60);
    return t;
  }
  TimeParts p = Split(seconds);
  AppendTwoDigits(t, p.Hours);
  Append(t, ":");
  AppendTwoDigits(t, p.Minutes);
  Append(t, ":");
  AppendTwoDigits(t, p.Seconds);
  return t;
}

ShortText TimePartText(int32_t seconds, int part) {
  ShortText t;
  t.Chars[0] = '\0';
  if (seconds < 0) {
    uint32_t m = Magnitude(seconds);
    uint32_t value = part == 1 ? m / 3600 : part == 2 ? m / 60 % 60 : m % 60;
    Append(t, "-");
    AppendUnsignedTwoDigits(t, value);
    return t;
  }
  TimeParts p = Split(seconds);
  AppendTwoDigits(t, part == 1 ? p.Hours : part == 2 ? p.Minutes : p.Seconds);
  return t;
}

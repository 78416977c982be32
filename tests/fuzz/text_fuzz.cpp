// Fuzz target for the time and number text and the command line: no crash,
// no overflow, and the texts read back as the numbers they were made from.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/cmdline.h"
#include "timer/timetext.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "broken: %s\n", what);
    abort();
  }
}

// "[-]H:MM:SS" back to seconds, using TextToInt on each part.
int64_t ReadClock(const std::string& text) {
  bool negative = !text.empty() && text[0] == '-';
  std::string rest = negative ? text.substr(1) : text;
  size_t a = rest.find(':'), b = rest.rfind(':');
  Check(a != std::string::npos && b != a, "two colons");
  int64_t h = TextToInt(rest.substr(0, a).c_str());
  int64_t m = TextToInt(rest.substr(a + 1, b - a - 1).c_str());
  int64_t s = TextToInt(rest.substr(b + 1).c_str());
  Check(m >= 0 && m < 60 && s >= 0 && s < 60, "minutes and seconds in range");
  int64_t total = h * 3600 + m * 60 + s;
  return negative ? -total : total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  const char* z = text.c_str();  // cut at the first zero, as a C string would be

  int32_t parsed = TextToInt(z);
  Check(TextToInt(IntToText(parsed).c_str()) == parsed, "IntToText round trip");

  char argument[16];
  size_t room = size > 0 ? data[0] % sizeof argument : 0;
  FirstArgument(z, argument, room);
  if (room > 0) Check(std::strlen(argument) < room, "argument fits its buffer");

  int32_t seconds = 0;
  if (size >= 4) std::memcpy(&seconds, data, 4);
  for (int32_t v : {parsed, seconds}) {
    std::string clock = SecondsToText(v).c_str();
    Check(ReadClock(clock) == v, "SecondsToText reads back");
    Check(clock.size() + 10 <= 64, "tooltip fits");
    if (v >= 0) {
      int64_t h = TextToInt(TimePartText(v, 1).c_str());
      int64_t m = TextToInt(TimePartText(v, 2).c_str());
      int64_t s = TextToInt(TimePartText(v, 3).c_str());
      Check(h * 3600 + m * 60 + s == v, "TimePartText parts add up");
    }
  }
  return 0;
}

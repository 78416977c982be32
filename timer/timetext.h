// Conversions between seconds, numbers and text. No Windows headers here, so
// the host build tests them with the sanitizers.
#pragma once
#include <cstdint>

// A short 8-bit text returned by value: every text these functions make fits,
// so callers own it without any allocation.
struct ShortText {
  char Chars[32];
  const char* c_str() const { return Chars; }
};

ShortText IntToText(int32_t value);
int32_t TextToInt(const char* text);
ShortText SecondsToText(int32_t seconds);
ShortText TimePartText(int32_t seconds, int part);

#include "app/cmdline.h"

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Reads one argument starting at p into out (if given); returns where it ended.
const char* ReadArgument(const char* p, char* out, size_t outSize) {
  size_t n = 0;
  bool quoted = false;
  for (; *p != '\0' && (quoted || !IsSeparator(*p)); ++p) {
    if (*p == '"') {
      quoted = !quoted;
    } else if (out != nullptr && n + 1 < outSize) {
      out[n++] = *p;
    }
  }
  if (out != nullptr && outSize > 0) out[n] = '\0';
  return p;
}

const char* SkipSeparators(const char* p) {
  while (*p != '\0' && IsSeparator(*p)) ++p;
  return p;
}

}  // namespace

bool FirstArgument(const char* commandLine, char* out, size_t outSize) {
  if (outSize > 0) out[0] = '\0';
  if (commandLine == nullptr) return false;
  const char* p = ReadArgument(SkipSeparators(commandLine), nullptr, 0);  // the program itself
  p = SkipSeparators(p);
  if (*p == '\0') return false;
  ReadArgument(p, out, outSize);
  return true;
}

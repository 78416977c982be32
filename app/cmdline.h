// The first argument of a command line. No Windows headers: tested on the host.
#pragma once
#include <cstddef>

// Copies the first argument after the program name into `out` (cut to fit,
// always zero-terminated). Arguments are split at blanks and control
// characters; double quotes group characters and are removed. Returns false
// when there is no argument.
bool FirstArgument(const char* commandLine, char* out, size_t outSize);

#include "base/tray.h"

#include <cstddef>

NOTIFYICONDATAA TrayIconData;

// The version-1 record ends with a tip of 64 characters (the full record's
// holds 128); its size differs by architecture, as the handles before it do.
static_assert(NOTIFYICONDATAA_V1_SIZE == offsetof(NOTIFYICONDATAA, szTip) + 64,
              "the version-1 tray record ends after a 64-character tip");
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 4 ? 88 : 104), "88 bytes on x86, 104 on x64");

// Every resource the program loads by name or id is there, in the form it
// is loaded in.
#include <windows.h>

#include <string>

#include "res/resource.h"
#include "rig.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

const WORD POLISH = MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT);

// The header of a bitmap resource as it is stored.
const BITMAPINFOHEADER* StoredBitmap(const char* name) {
  HRSRC res = FindResourceExA(Module(), reinterpret_cast<LPCSTR>(RT_BITMAP), name, POLISH);
  if (res == nullptr) return nullptr;
  return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), res)));
}

struct Picture {
  const char* Name;
  LONG Width, Height;
  WORD Bits;
};

TEST(Resources, EveryBitmapLoadsWithItsSizeAndDepth) {
  const Picture pictures[] = {
      {RES_CLOCK_0, 12, 12, 4},      {RES_CLOCK_1, 12, 12, 4},        {RES_CLOCK_2, 12, 12, 4},
      {RES_CLOCK_3, 12, 12, 4},      {RES_MAIN_BACK, 75, 20, 4},      {RES_MENU_CAPTION, 57, 16, 4},
      {RES_MENU_CHECKED, 13, 13, 1}, {RES_MENU_UNCHECKED, 13, 13, 1}, {RES_MENU_CLOCK, 13, 13, 4},
      {RES_MENU_RESTART, 13, 13, 4}, {RES_MENU_INFO, 13, 13, 4},      {RES_MENU_EXIT, 13, 13, 4},
      {RES_HEADER, 39, 36, 24},
  };
  for (const Picture& p : pictures) {
    const BITMAPINFOHEADER* stored = StoredBitmap(p.Name);
    ASSERT_NE(stored, nullptr) << p.Name;
    EXPECT_EQ(stored->biWidth, p.Width) << p.Name;
    EXPECT_EQ(stored->biHeight, p.Height) << p.Name;
    EXPECT_EQ(stored->biBitCount, p.Bits) << p.Name;
    EXPECT_EQ(stored->biCompression, static_cast<DWORD>(BI_RGB)) << p.Name;
    HBITMAP loaded = LoadBitmapA(Module(), p.Name);
    ASSERT_NE(loaded, nullptr) << p.Name;
    BITMAP bm = {};
    GetObjectA(loaded, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, p.Width) << p.Name;
    EXPECT_EQ(bm.bmHeight, p.Height) << p.Name;
    DeleteObject(loaded);
  }
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE Width, Height, ColorCount, Reserved;
  WORD Planes, BitCount;
  DWORD BytesInRes;
  WORD Id;
};
struct GroupIcon {
  WORD Reserved, Type, Count;
  GroupIconEntry Entries[1];
};
#pragma pack(pop)

// "32x4" for a 32 x 32 image of 4 bits, in the order stored.
std::string IconImages(const char* name) {
  HRSRC res = FindResourceExA(Module(), reinterpret_cast<LPCSTR>(RT_GROUP_ICON), name, POLISH);
  if (res == nullptr) return "missing";
  auto* group = static_cast<const GroupIcon*>(LockResource(LoadResource(Module(), res)));
  std::string images;
  for (WORD i = 0; i < group->Count; ++i) {
    const GroupIconEntry& e = group->Entries[i];
    images += (images.empty() ? "" : " ") + std::to_string(e.Width) + "x" + std::to_string(e.BitCount);
  }
  return images;
}

TEST(Resources, IconsHaveTheirImages) {
  EXPECT_EQ(IconImages(RES_MAINICON), "32x8 32x4 16x8 16x4");
  EXPECT_EQ(IconImages(RES_WARNINGICON), "32x4");
  EXPECT_NE(LoadIconA(Module(), RES_MAINICON), nullptr);
  EXPECT_NE(LoadIconA(Module(), RES_WARNINGICON), nullptr);
}

INT_PTR CALLBACK QuietDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(Resources, DialogTemplatesAreClassicPolishAndCreate) {
  for (int id : {IDD_ABOUT, IDD_SETTIME, IDD_DISPLAY, IDD_WARNING}) {
    HRSRC res = FindResourceExA(Module(), reinterpret_cast<LPCSTR>(RT_DIALOG), MAKEINTRESOURCEA(id), POLISH);
    ASSERT_NE(res, nullptr) << id;
    auto* words = static_cast<const WORD*>(LockResource(LoadResource(Module(), res)));
    EXPECT_FALSE(words[0] == 1 && words[1] == 0xFFFF) << id << " is an extended template";
    HWND dlg = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, QuietDlgProc, 0);
    ASSERT_NE(dlg, nullptr) << id;
    DestroyWindow(dlg);
  }
}

TEST(Resources, StringTableHoldsTheTenTextsLanguageNeutral) {
  const wchar_t* const texts[] = {
      L"Zamykanie systemu",
      L"Określ, kiedy chcesz zamknąć system",
      L"Pauza",
      L"Restart",
      L"Wymuszone zamykanie",
      L"Dźwięk ostrzeżenia",
      L"Ustaw czas...",
      L"Pokaż czas",
      L"O programie",
      L"Zakończ",
  };
  for (UINT i = 0; i < 10; ++i) {
    wchar_t text[128] = {};
    ASSERT_GT(LoadStringW(Module(), IDS_HEADER_TITLE + i, text, 128), 0) << IDS_HEADER_TITLE + i;
    EXPECT_STREQ(text, texts[i]);
  }
  EXPECT_NE(FindResourceExA(Module(), reinterpret_cast<LPCSTR>(RT_STRING), MAKEINTRESOURCEA(IDS_HEADER_TITLE / 16 + 1),
                            MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)),
            nullptr);
}

// The raw bytes of a resource as a string, for searching.
std::string ResourceBytes(LPCSTR type, LPCSTR name) {
  HRSRC res = FindResourceA(Module(), name, type);
  if (res == nullptr) return "";
  auto* data = static_cast<const char*>(LockResource(LoadResource(Module(), res)));
  return std::string(data, SizeofResource(Module(), res));
}

std::string Utf16(const char* ascii) {
  std::string s;
  for (; *ascii; ++ascii) s += std::string(1, *ascii) + std::string(1, '\0');
  return s;
}

TEST(Resources, VersionBlockAndManifest) {
  std::string version = ResourceBytes(reinterpret_cast<LPCSTR>(RT_VERSION), MAKEINTRESOURCEA(1));
  for (const char* text : {"2.1.0.49", "Orlo Software", "Kwiet! 2", "kwiet.exe", "040904E4"}) {
    EXPECT_NE(version.find(Utf16(text)), std::string::npos) << text;
  }
  auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(version.data() + version.find("\xBD\x04\xEF\xFE"));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00020001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 49u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  std::string manifest = ResourceBytes(reinterpret_cast<LPCSTR>(RT_MANIFEST), MAKEINTRESOURCEA(1));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
#ifdef _WIN64
  EXPECT_NE(manifest.find("processorArchitecture=\"amd64\""), std::string::npos);
#else
  EXPECT_NE(manifest.find("processorArchitecture=\"X86\""), std::string::npos);
#endif
}

}  // namespace

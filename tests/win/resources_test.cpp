// Every resource the program loads by name or id is there, in the form it
// is loaded in.
#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "res/version.h"
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

// A value of the version block's one string table, read the way Explorer's
// properties page reads it.
std::wstring VersionString(const std::vector<char>& block, const wchar_t* name) {
  std::wstring path = std::wstring(L"\\StringFileInfo\\040904E4\\") + name;
  void* value = nullptr;
  UINT chars = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &chars)) return L"<missing>";
  return static_cast<const wchar_t*>(value);
}

TEST(Resources, VersionBlockAndManifest) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::vector<char> block(GetFileVersionInfoSizeW(exe, nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(exe, 0, static_cast<DWORD>(block.size()), block.data()));
  EXPECT_EQ(VersionString(block, L"CompanyName"), L"Orlo Software");
  EXPECT_EQ(VersionString(block, L"FileDescription"), L"" KWIET_PRODUCT_NAME);
  EXPECT_EQ(VersionString(block, L"FileVersion"), L"" KWIET_VERSION_TEXT);
  EXPECT_EQ(VersionString(block, L"InternalName"), L"Kwiet!");
  EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"kwiet.exe");
  EXPECT_EQ(VersionString(block, L"ProductName"), L"" KWIET_PRODUCT_NAME);
  EXPECT_EQ(VersionString(block, L"ProductVersion"), L"" KWIET_VERSION_SHORT);

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(KWIET_VERSION_MINOR, KWIET_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(KWIET_VERSION_BUILD, KWIET_VERSION_PATCH)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  WORD* translation = nullptr;
  ASSERT_TRUE(
      VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size));
  ASSERT_EQ(size, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04E4);

  std::string manifest = ResourceBytes(reinterpret_cast<LPCSTR>(RT_MANIFEST), MAKEINTRESOURCEA(1));
  EXPECT_NE(manifest.find("assemblyIdentity version=\"" KWIET_VERSION_TEXT "\""), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
#ifdef _WIN64
  EXPECT_NE(manifest.find("processorArchitecture=\"amd64\""), std::string::npos);
#else
  EXPECT_NE(manifest.find("processorArchitecture=\"X86\""), std::string::npos);
#endif
}

}  // namespace

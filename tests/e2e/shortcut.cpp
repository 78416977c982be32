// Reads what an installer left for the user, the way the shell reads it.
// One command per call; prints its answer on stdout (UTF-8).
//   shortcut.exe folders    "programs=<Start-menu programs folder>" and "localappdata=<folder>"
//   shortcut.exe read LNK   the shortcut's target, arguments, working folder,
//                           icon, icon index and description, one "name=value" a line
// Exit code 1: the shortcut cannot be loaded.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  char out[2048];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return n > 0 ? std::string(out) : std::string();
}

std::wstring Wide(const char* text) {
  wchar_t out[MAX_PATH];
  int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, out, MAX_PATH);
  return n > 0 ? std::wstring(out) : std::wstring();
}

void Print(const char* name, const wchar_t* value) { std::printf("%s=%s\n", name, Utf8(value).c_str()); }

void PrintFolder(const char* name, int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  Print(name, path);
}

int Read(const wchar_t* lnk) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return 1;
  }
  IPersistFile* file = nullptr;
  int result = 1;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(lnk, STGM_READ))) {
      wchar_t text[MAX_PATH] = {};
      int index = 0;
      link->GetPath(text, MAX_PATH, nullptr, 0);
      Print("target", text);
      text[0] = 0;
      link->GetArguments(text, MAX_PATH);
      Print("arguments", text);
      text[0] = 0;
      link->GetWorkingDirectory(text, MAX_PATH);
      Print("workdir", text);
      text[0] = 0;
      link->GetIconLocation(text, MAX_PATH, &index);
      Print("icon", text);
      std::printf("iconindex=%d\n", index);
      text[0] = 0;
      link->GetDescription(text, MAX_PATH);
      Print("description", text);
      result = 0;
    }
    file->Release();
  }
  link->Release();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  int result = 2;
  if (argc == 2 && std::strcmp(argv[1], "folders") == 0) {
    PrintFolder("programs", CSIDL_PROGRAMS);
    PrintFolder("localappdata", CSIDL_LOCAL_APPDATA);
    result = 0;
  } else if (argc == 3 && std::strcmp(argv[1], "read") == 0) {
    result = Read(Wide(argv[2]).c_str());
  } else {
    std::fprintf(stderr, "usage: shortcut.exe folders | read LNK\n");
  }
  std::fflush(stdout);
  CoUninitialize();
  return result;
}

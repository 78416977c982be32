// The tray menu, read while it is open, and the commands it sends.
#include "traymenu/traymenu.h"

#include "app/mainwnd.h"
#include "app/startup.h"
#include "res/resource.h"
#include "rig.h"
#include "timer/timer.h"
#include "traymenu_inside.h"

namespace {

using TrayMenuTest = ProgramTest;

void RightClickTrayIcon() { SendMessageA(MainWnd, WM_TRAYICON, TRAY_ICON_ID, WM_RBUTTONDOWN); }

// Opens the menu with a right click and runs `inside` while it is open.
void WithOpenMenu(const std::function<void(HWND, HMENU)>& inside) {
  bool opened = false;
  InsideScript script({[&] {
                        HWND wnd = OpenMenuWnd();
                        opened = wnd != nullptr;
                        if (opened) {
                          UpdateWindow(wnd);
                          inside(wnd, OpenMenu());
                        }
                        EndMenu();
                      }},
                      10, [] { return OpenMenuWnd() != nullptr; });
  RightClickTrayIcon();
  EXPECT_TRUE(opened) << "no menu opened";
}

std::vector<MenuItemView> MenuAsShown() {
  std::vector<MenuItemView> items;
  WithOpenMenu([&](HWND, HMENU menu) { items = ReadMenu(menu); });
  return items;
}

UINT StateOf(UINT id) {
  for (const MenuItemView& item : MenuAsShown()) {
    if (item.Id == id) return item.State;
  }
  ADD_FAILURE() << "no item " << id;
  return ~0u;
}

// Chooses an item with the keyboard as a user would: Up from no selection
// goes to the last item and skips separators; Enter sends the command.
// False once the program's loop has ended.
bool Choose(UINT id) {
  std::vector<MenuItemView> items = MenuAsShown();
  int ups = 0;
  for (size_t i = items.size(); i-- > 0;) {
    if (items[i].State & MF_SEPARATOR) continue;
    ++ups;
    if (items[i].Id == id) break;
  }
  InsideScript script({[&] {
                         HWND wnd = OpenMenuWnd();
                         for (int i = 0; i < ups; ++i) PostMessageA(wnd, WM_KEYDOWN, VK_UP, 1);
                         PostMessageA(wnd, WM_KEYDOWN, VK_RETURN, 1);
                       },
                       [] {}},
                      20, [] { return OpenMenuWnd() != nullptr; });
  RightClickTrayIcon();
  EXPECT_FALSE(script.ClosedLeftovers()) << "the menu did not close on Enter";
  return Pump();
}

TEST_F(TrayMenuTest, MenuIsBuiltFromTheLiveStateInItsOrder) {
  Start("90");
  Timer->ForceShutdown = true;
  Timer->WarningSound = false;
  Timer->ShowDisplay(true);
  std::vector<MenuItemView> items = MenuAsShown();
  const std::vector<MenuItemView> expected = {
      {IDM_CAPTION, MF_OWNERDRAW | MF_DISABLED, L""},
      {IDM_PAUSE, MF_UNCHECKED, L" Pauza"},
      {IDM_RESTART, MF_UNCHECKED, L" Restart"},
      {IDM_FORCE, MF_CHECKED, L" Wymuszone zamykanie"},
      {IDM_WARNING_SOUND, MF_UNCHECKED, L" Dźwięk ostrzeżenia"},
      {0, MF_SEPARATOR, L""},
      {IDM_SET_TIME, MF_UNCHECKED, L" Ustaw czas..."},
      {IDM_SHOW_TIME, MF_CHECKED, L" Pokaż czas"},
      {0, MF_SEPARATOR, L""},
      {IDM_ABOUT, MF_UNCHECKED, L" O programie..."},
      {0, MF_SEPARATOR, L""},
      {IDM_EXIT, MF_UNCHECKED, L" Zakończ"},
  };
  ASSERT_EQ(items.size(), expected.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].Id, expected[i].Id) << "position " << i;
    // Wine 8 reads a separator back with its grey bits set as well (0x802 or
    // 0x803): only the separator flag is the program's own.
    UINT state = expected[i].State == MF_SEPARATOR ? items[i].State & ~MFS_GRAYED : items[i].State;
    EXPECT_EQ(state, expected[i].State) << "position " << i;
    EXPECT_TRUE(items[i].Text == expected[i].Text) << "position " << i;
  }
  // The next opening shows the state of that moment.
  Timer->ForceShutdown = false;
  Timer->WarningSound = true;
  Timer->ShowDisplay(false);
  EXPECT_EQ(StateOf(IDM_FORCE), static_cast<UINT>(MF_UNCHECKED));
  EXPECT_EQ(StateOf(IDM_WARNING_SOUND), static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(StateOf(IDM_SHOW_TIME), static_cast<UINT>(MF_UNCHECKED));
}

TEST_F(TrayMenuTest, ItemsCarryTheirPicturesOnlyWhileTheMenuIsOpen) {
  Start("90");
  HMENU shown = nullptr;
  std::vector<HBITMAP> pictures;
  bool ok = true;
  WithOpenMenu([&](HWND, HMENU menu) {
    shown = menu;
    for (UINT id :
         {IDM_PAUSE, IDM_SHOW_TIME, IDM_FORCE, IDM_WARNING_SOUND, IDM_SET_TIME, IDM_RESTART, IDM_EXIT, IDM_ABOUT}) {
      MENUITEMINFOA info = {};
      info.cbSize = sizeof info;
      info.fMask = MIIM_CHECKMARKS;
      GetMenuItemInfoA(menu, id, FALSE, &info);
      bool isSwitch = id == IDM_PAUSE || id == IDM_SHOW_TIME || id == IDM_FORCE || id == IDM_WARNING_SOUND;
      ok = ok && info.hbmpUnchecked != nullptr && (info.hbmpChecked != nullptr) == isSwitch;
      pictures.push_back(info.hbmpUnchecked);
      if (info.hbmpChecked != nullptr) pictures.push_back(info.hbmpChecked);
    }
  });
  EXPECT_TRUE(ok) << "a switch lacks its pair of ticks, or an action its one picture";
  EXPECT_FALSE(IsMenu(shown));
  ASSERT_EQ(pictures.size(), 12u);
  for (HBITMAP picture : pictures) EXPECT_EQ(GetObjectType(picture), 0u) << "picture left behind";
}

TEST_F(TrayMenuTest, CaptionLineIsACaptionBandWithTheProgramPicture) {
  Start("90");
  RECT item = {};
  COLORREF band = 0;
  std::vector<std::pair<COLORREF, COLORREF>> picturePixels;  // shown, expected
  WithOpenMenu([&](HWND wnd, HMENU menu) {
    GetMenuItemRect(wnd, menu, 0, &item);
    POINT origin = {item.left, item.top};
    ScreenToClient(wnd, &origin);
    HDC dc = GetDC(wnd);
    band = GetPixel(dc, origin.x + (item.right - item.left) - 3, origin.y + 13);
    HBITMAP picture = LoadBitmapA(HInstance, RES_MENU_CAPTION);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture);
    for (POINT p : {POINT{0, 0}, POINT{10, 8}, POINT{30, 5}, POINT{56, 15}}) {
      picturePixels.push_back({GetPixel(dc, origin.x + 3 + p.x, origin.y + 4 + p.y), GetPixel(memory, p.x, p.y)});
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(picture);
    ReleaseDC(wnd, dc);
  });
  EXPECT_EQ(item.bottom - item.top, 26);
  EXPECT_GE(item.right - item.left, 120);
  EXPECT_EQ(band, GetSysColor(COLOR_ACTIVECAPTION));
  for (const auto& pixel : picturePixels) EXPECT_EQ(pixel.first, pixel.second);
}

TEST_F(TrayMenuTest, PauseAndResumeFromTheMenu) {
  Start("90");
  Tick();
  Choose(IDM_PAUSE);
  EXPECT_FALSE(Timer->Running);
  EXPECT_EQ(StateOf(IDM_PAUSE), static_cast<UINT>(MF_CHECKED));
  Tick(5000);
  EXPECT_EQ(Timer->Remaining, 89);
  Choose(IDM_PAUSE);
  EXPECT_TRUE(Timer->Running);
  Tick();
  EXPECT_EQ(Timer->Remaining, 88);  // on from the seconds left, not from the period
  EXPECT_EQ(StateOf(IDM_PAUSE), static_cast<UINT>(MF_UNCHECKED));
}

TEST_F(TrayMenuTest, RestartWhilePausedRunsAgainFromThePeriod) {
  Start("90");
  Tick(10000);
  SendMessageA(MainWnd, WM_COMMAND, IDM_PAUSE, 0);
  Choose(IDM_RESTART);
  EXPECT_TRUE(Timer->Running);
  EXPECT_EQ(Timer->Remaining, 90);
  Tick();
  EXPECT_EQ(Timer->Remaining, 89);
}

TEST_F(TrayMenuTest, SwitchesFlipTheirSettingAndItsTick) {
  Start("90");
  Timer->ForceShutdown = false;
  Timer->WarningSound = true;
  Timer->ShowDisplay(true);
  Choose(IDM_FORCE);
  Choose(IDM_WARNING_SOUND);
  Choose(IDM_SHOW_TIME);
  EXPECT_TRUE(Timer->ForceShutdown);
  EXPECT_FALSE(Timer->WarningSound);
  EXPECT_FALSE(Timer->DisplayVisible);
  EXPECT_EQ(StateOf(IDM_FORCE), static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(StateOf(IDM_WARNING_SOUND), static_cast<UINT>(MF_UNCHECKED));
  EXPECT_EQ(StateOf(IDM_SHOW_TIME), static_cast<UINT>(MF_UNCHECKED));
  Choose(IDM_SHOW_TIME);
  EXPECT_TRUE(Timer->DisplayVisible);
  EXPECT_TRUE(Timer->Running);
  EXPECT_EQ(Timer->Remaining, 90);
}

// With the corner window shown, as after every start with the defaults.
TEST_F(TrayMenuTest, ExitEndsTheLoopWithoutPoweringOffOrRepaintingOtherWindows) {
  Start("90");
  ASSERT_NE(Timer->DisplayWnd, nullptr);
  HWND other = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 300, 200,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_FALSE(Choose(IDM_EXIT));
  EXPECT_FALSE(IsWindow(MainWnd));
  EXPECT_EQ(Timer->DisplayWnd, nullptr) << "the corner window went with the main window";
  UpdateWindow(other);
  RunExitSequence();  // as the program runs it once its loop has ended
  EXPECT_FALSE(GetUpdateRect(other, nullptr, FALSE)) << "the exit repainted another program's window";
  EXPECT_TRUE(Fake.PowerOffs.empty());
  DestroyWindow(other);
}

TEST_F(TrayMenuTest, CaptionAndUnknownIdsChangeNothing) {
  Start("90");
  Tick();
  for (WPARAM id :
       {WPARAM{IDM_CAPTION}, WPARAM{IDM_EXIT + 1}, WPARAM{0xFF}, WPARAM{0x4242}, MAKEWPARAM(0x4242, IDM_PAUSE)}) {
    SendMessageA(MainWnd, WM_COMMAND, id, 0);
    EXPECT_FALSE(MenuBusy);
  }
  EXPECT_TRUE(Pump());
  EXPECT_TRUE(Timer->Running);
  EXPECT_EQ(Timer->Remaining, 89);
  EXPECT_FALSE(Timer->ForceShutdown);
  EXPECT_TRUE(Timer->WarningSound);
  EXPECT_TRUE(Timer->DisplayVisible);
}

// While a dialog opened from the menu is up, a right click opens nothing.
void ExpectNoMenuWhileDialogIsOpen(UINT command, HWND (*dialog)()) {
  bool dialogSeen = false, busyInside = false, menuOpened = false;
  InsideScript script({[&] {
                         dialogSeen = dialog() != nullptr;
                         busyInside = MenuBusy;
                         RightClickTrayIcon();  // a menu that opens anyway is closed by the next step
                       },
                       [&] {
                         menuOpened = OpenMenuWnd() != nullptr;
                         EndMenu();
                         if (HWND dlg = dialog()) EndDialog(dlg, 0);
                       }},
                      30, [dialog] { return dialog() != nullptr; });
  SendMessageA(MainWnd, WM_COMMAND, command, 0);
  EXPECT_TRUE(dialogSeen);
  EXPECT_TRUE(busyInside);
  EXPECT_FALSE(menuOpened);
  EXPECT_FALSE(MenuBusy);
}

TEST_F(TrayMenuTest, NoSecondMenuWhileTheSetTimeOrAboutDialogIsUp) {
  Start("90");
  ExpectNoMenuWhileDialogIsOpen(IDM_SET_TIME, SetTimeWnd);
  ExpectNoMenuWhileDialogIsOpen(IDM_ABOUT, AboutWnd);
  // Afterwards the menu opens again.
  EXPECT_FALSE(MenuAsShown().empty());
}

TEST_F(TrayMenuTest, ManyOpeningsLeaveNoDrawingObjectBehind) {
  Start("90");
  MenuAsShown();  // the first opening may fill the system's caches
  int before = CountGdiObjects();
  ASSERT_GE(before, 0);
  for (int i = 0; i < 50; ++i) MenuAsShown();
  EXPECT_EQ(CountGdiObjects(), before);
}

}  // namespace

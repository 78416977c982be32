#include "traymenu/traymenu.h"

bool MenuBusy = false;

// Stand-ins until the menu is built.
void ShowTrayMenu(HWND) {}
void HandleMenuCommand(HWND, WPARAM) {}

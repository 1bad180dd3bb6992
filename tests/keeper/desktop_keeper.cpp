// Wine closes a desktop a moment after its last user process has gone. The window tests run one after another, and
// one that starts in that moment is handed a desktop on its way out: its first window cannot be created. The test
// run keeps this process alive from start to end so the desktop always has a user.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  GetDesktopWindow();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

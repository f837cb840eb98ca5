/* The control of the DLL-planting test: a program that imports version.dll statically, the way the
 * installer once did. Started beside a planted version.dll with Windows' search order emulated, the
 * planted DLL must run in it; otherwise the test's emulation would prove nothing. The import is
 * only referenced, never called: the planted DLL's exports are stubs. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR command_line, int show) {
  (void)instance;
  (void)previous;
  (void)command_line;
  (void)show;
  void* volatile imported = (void*)&GetFileVersionInfoSizeW;
  return imported != NULL ? 0 : 1;
}

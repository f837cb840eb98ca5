// Holds a named kernel object that is not a mutex, so that the installer's CreateMutexW on the
// same name fails outright (ERROR_INVALID_HANDLE) instead of finding an existing mutex.
// Usage: name_squatter.exe <name> <seconds>
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, argv[1]);
  if (!event) return 3;
  printf("holding\n");
  fflush(stdout);
  Sleep(static_cast<DWORD>(_wtoi(argv[2])) * 1000);
  CloseHandle(event);
  return 0;
}

/* Loads a library the way a host loads an effect and keeps it loaded, so
 * that a test can see what an installer does while a host is running:
 *   hold_library.exe PATH SECONDS
 * Prints "loaded" once the library is in. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: hold_library.exe PATH SECONDS\n");
    return 2;
  }
  HMODULE library = LoadLibraryW(argv[1]);
  if (!library) {
    fprintf(stderr, "cannot load the library (error %lu)\n", GetLastError());
    return 1;
  }
  printf("loaded\n");
  fflush(stdout);
  Sleep((DWORD)wcstoul(argv[2], NULL, 10) * 1000);
  FreeLibrary(library);
  return 0;
}

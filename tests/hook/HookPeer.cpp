// A second process for the shared-record tests: "set N V" stores code V in slot N of the
// shared table; "get N" answers the code in slot N as its exit code; "ids" prints the two
// message ids as this process sees them.
#include "QuorvaHook.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  WORD table[kHookHotkeySlots];
  TSY_GetCaptureHotKey(table);
  if (argc == 4 && std::strcmp(argv[1], "set") == 0) {
    table[std::atoi(argv[2]) % kHookHotkeySlots] = static_cast<WORD>(std::atoi(argv[3]));
    TSY_SetCaptureHotKey(table);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "get") == 0) {
    return table[std::atoi(argv[2]) % kHookHotkeySlots];
  }
  if (argc == 2 && std::strcmp(argv[1], "ids") == 0) {
    std::printf("%u %u\n", TSYM_ForwardKeyboardMessage, TSYM_ForwardMouseMessage);
    return 0;
  }
  return 2;
}

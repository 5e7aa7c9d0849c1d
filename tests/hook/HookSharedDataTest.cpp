// The hook library's shared record: message ids, the shared section, and the hotkey table as
// seen from a second process.
#include "HookSharedData.h"
#include "PeerProcess.h"

#include <gtest/gtest.h>

namespace {

const IMAGE_SECTION_HEADER* SectionOf(const void* address) {
  HMODULE module = GetModuleHandleA("QuorvaHook.dll");
  auto base = reinterpret_cast<const BYTE*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  DWORD rva = static_cast<DWORD>(static_cast<const BYTE*>(address) - base);
  for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->Misc.VirtualSize)
      return section;
  }
  return nullptr;
}

TEST(HookSharedData, MessageIdsAreTheRegisteredNames) {
  EXPECT_NE(TSYM_ForwardMouseMessage, 0u);
  EXPECT_NE(TSYM_ForwardKeyboardMessage, 0u);
  EXPECT_EQ(TSYM_ForwardMouseMessage, RegisterWindowMessageA("TYM_FORWARD_MOUSEMESSAGE"));
  EXPECT_EQ(TSYM_ForwardKeyboardMessage, RegisterWindowMessageA("TYM_FORWARD_KEYBOARDMESSAGE"));
}

TEST(HookSharedData, IdsAreTheFirstTwoWordsOfOneSharedSection) {
  HMODULE module = GetModuleHandleA("QuorvaHook.dll");
  ASSERT_NE(module, nullptr);
  auto keyboard = reinterpret_cast<const BYTE*>(GetProcAddress(module, "TSYM_ForwardKeyboardMessage"));
  auto mouse = reinterpret_cast<const BYTE*>(GetProcAddress(module, "TSYM_ForwardMouseMessage"));
  ASSERT_NE(keyboard, nullptr);
  ASSERT_EQ(mouse, keyboard + 4);
  EXPECT_EQ(*reinterpret_cast<const UINT*>(keyboard), TSYM_ForwardKeyboardMessage);
  const IMAGE_SECTION_HEADER* section = SectionOf(keyboard);
  ASSERT_NE(section, nullptr);
  DWORD wanted = IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE | IMAGE_SCN_MEM_SHARED;
  EXPECT_EQ(section->Characteristics & wanted, wanted);
  // The message names follow the table and the mouse record, zero-terminated (at 124 and 152
  // in the 32-bit library).
  const size_t names = offsetof(HookSharedData, mouseMessageName);
  if (sizeof(void*) == 4) EXPECT_EQ(names, 124u);
  EXPECT_STREQ(reinterpret_cast<const char*>(keyboard + names), "TYM_FORWARD_MOUSEMESSAGE");
  EXPECT_STREQ(reinterpret_cast<const char*>(keyboard + names + 28), "TYM_FORWARD_KEYBOARDMESSAGE");
}

TEST(HookSharedData, TableRoundTripsWholeAndExactly) {
  WORD saved[kHookHotkeySlots];
  ASSERT_EQ(TSY_GetCaptureHotKey(saved), 1);
  WORD table[kHookHotkeySlots + 1];
  for (int i = 0; i < kHookHotkeySlots; ++i) table[i] = static_cast<WORD>(0x8000 + i * 3);
  table[kHookHotkeySlots] = 0xBEEF;  // one word past the table: never read
  ASSERT_EQ(TSY_SetCaptureHotKey(table), 1);
  WORD out[kHookHotkeySlots + 1];
  out[kHookHotkeySlots] = 0x5A5A;  // one word past the table: never written
  ASSERT_EQ(TSY_GetCaptureHotKey(out), 1);
  for (int i = 0; i < kHookHotkeySlots; ++i) EXPECT_EQ(out[i], table[i]) << "slot " << i;
  EXPECT_EQ(out[kHookHotkeySlots], 0x5A5A);
  TSY_SetCaptureHotKey(saved);
}

TEST(HookSharedData, TableIsSharedWithOtherProcesses) {
  WORD saved[kHookHotkeySlots];
  TSY_GetCaptureHotKey(saved);
  WORD table[kHookHotkeySlots] = {};
  table[5] = 0xA053;
  TSY_SetCaptureHotKey(table);
  EXPECT_EQ(RunPeer("get 5"), 0xA053u);
  EXPECT_EQ(RunPeer("set 35 8236"), 0u);
  WORD out[kHookHotkeySlots];
  TSY_GetCaptureHotKey(out);
  EXPECT_EQ(out[35], 8236);
  EXPECT_EQ(out[5], 0xA053);
  TSY_SetCaptureHotKey(saved);
}

}  // namespace

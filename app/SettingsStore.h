// Loading and saving Lumatre's settings records in the registry.
//
// Layout: <userHive>\software\<registryKey>\<profileName>\<section>, sections "PrintLayout",
// "Hotkey" and "CaptureOptions"; read-only "InstallPath" under
// <machineHive>\software\<registryKey>\<profileName>.
#pragma once

#include "common/Settings.h"

#include <windows.h>

struct SettingsLocation {
  HKEY userHive = HKEY_CURRENT_USER;
  HKEY machineHive = HKEY_LOCAL_MACHINE;
  const char* registryKey = "Lumatre";
  const char* profileName = "Lumatre";
};

extern const char kSectionPrintLayout[];     // "PrintLayout"
extern const char kSectionHotkey[];          // "Hotkey"
extern const char kSectionCaptureOptions[];  // "CaptureOptions"

// Reads every value of the three sections and "InstallPath" into the records; creates the key
// path and the sections when they are missing. Values that are missing or of the wrong type
// leave their fields alone (the margins start at 120 each). Always succeeds.
void LoadSettings(AppSettings& settings, const SettingsLocation& location = {});

// Writes every value of the three sections. The caller brings `m_hotkeys` up to date first.
void SaveSettings(AppSettings& settings, const SettingsLocation& location = {});

// Start-up: with "AutoSaveOptions" 0x2 the automatic file numbering begins at 1 again.
void ApplyStartupAutoSaveReset(AutoSaveSettings& autoSave);

// Slot of the hotkey table that a stored mode number selects: the number modulo 36, never
// negative.
int HotkeySlotOf(LONG storedMode);

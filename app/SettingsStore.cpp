#include "SettingsStore.h"

#include "RegistryExchange.h"

#include <string>

const char kSectionPrintLayout[] = "PrintLayout";
const char kSectionHotkey[] = "Hotkey";
const char kSectionCaptureOptions[] = "CaptureOptions";

namespace {

// The order in which the hotkeys are read. A stored value may name another mode's slot, so the
// order decides which of two values naming the same slot wins.
constexpr int kHotkeyLoadOrder[kCaptureModeCount] = {
    kModeActiveWindow, kModeActiveWindowClient, kModeDesktop,      kModePopupMenu,
    kModeControl,      kModeSingleWindow,       kModeRectangle,    kModeSquare,
    kModeCircle,       kModeEllipse,            kModePolygon,      kModeRepeatLast,
    kModeDefault,      kModeColorPicker,
};

void ExchangeSize(CRegistryExchange& exchange, const char* name, SIZE& size) {
  exchange.ExchangePair(name, size.cx, size.cy);
}

void ExchangePrintLayout(CRegistryExchange& exchange, PrintLayoutSettings& layout) {
  exchange.SelectSection(kSectionPrintLayout);
  ExchangeSize(exchange, "SizePage", layout.pageSize);
  ExchangeSize(exchange, "SizePrint", layout.printSize);
  exchange.Exchange16("ImageCenterFlag", layout.imageCenterFlags);
  exchange.ExchangeText("Title", layout.title);
  exchange.Exchange32("PrintMode", layout.printMode);
  exchange.Exchange16("TitleAlign", layout.titleAlign);
  // Saving writes the layout's margins; on loading, every margin that the stored value does
  // not give is 120 (12 mm).
  const RECT& m = layout.margins;
  LONG margins[4] = {m.left, m.top, m.right, m.bottom};
  if (exchange.IsLoading()) margins[0] = margins[1] = margins[2] = margins[3] = 120;
  exchange.ExchangeQuad("Margins", margins);
  layout.margins = RECT{margins[0], margins[1], margins[2], margins[3]};
}

void LoadHotkeys(CRegistryExchange& exchange, HotkeyTable& table) {
  exchange.SelectSection(kSectionHotkey);
  for (int mode : kHotkeyLoadOrder) {
    LONG slot = mode;
    LONG code = table.hotkey[mode];
    exchange.ExchangePair(CaptureModeName(mode), slot, code);
    table.hotkey[HotkeySlotOf(slot)] = static_cast<WORD>(code);
  }
}

void LoadTextIfNotEmpty(CRegistryExchange& exchange, const char* name, char* buffer,
                        size_t size) {
  std::string text;
  if (exchange.ReadText(name, text) && !text.empty()) CopyText(buffer, size, text.c_str());
}

// The first values of the capture options, the same both ways: option bits, colours, the
// default action and the delay.
void ExchangeCaptureBasics(CRegistryExchange& exchange, CaptureSettings& capture) {
  exchange.SelectSection(kSectionCaptureOptions);
  exchange.Exchange32("OptionsA", capture.optionsA);
  exchange.Exchange32("ColorViewBackground", capture.colorViewBackground);
  exchange.Exchange32("ColorImageBackground", capture.colorImageBackground);
  exchange.Exchange32("ColorTransparency", capture.colorTransparency);
  exchange.Exchange32("DefaultCaptureAction", capture.defaultCaptureAction);
  exchange.Exchange16("CaptureDelayTime", capture.captureDelayTime);
}

void LoadCaptureOptions(CRegistryExchange& exchange, CaptureSettings& capture) {
  ExchangeCaptureBasics(exchange, capture);
  exchange.Exchange32("ColorPickerOutputFormat", capture.colorPickerOutputFormat);
  exchange.Exchange32("SendMailImageType", capture.sendMailImageType);
  exchange.Exchange32("RepeatLastMode", capture.repeatLastMode);

  AutoSaveSettings& autoSave = capture.autoSave;
  LoadTextIfNotEmpty(exchange, "AutoSavePath", autoSave.directory, sizeof autoSave.directory);
  LoadTextIfNotEmpty(exchange, "AutoSaveLeadFileName", autoSave.leadFileName,
                     sizeof autoSave.leadFileName);
  exchange.Exchange32("AutoSaveOptions", autoSave.options);
  exchange.Exchange16("AutoSaveDigitCount", autoSave.digitCount);
  exchange.Exchange32("AutoSaveStartNO", autoSave.nextNumber);
  exchange.Exchange32("AutoSaveImageType", autoSave.imageType);

  JpegSaveSettings& jpeg = capture.jpeg;
  exchange.Exchange16("JPEGOptimizeCoding", jpeg.optimizeCoding);
  exchange.Exchange16("JPEGQuality", jpeg.quality);
  exchange.Exchange16("JPEGSmootingFactor", jpeg.smoothingFactor);
  // A missing or unreadable "JPEGDIP" keeps the resolutions as they are (720 by default); a
  // negative number is ignored.
  LONG dpiX = -1;
  LONG dpiY = -1;
  exchange.ExchangePair("JPEGDIP", dpiX, dpiY);
  if (dpiX >= 0) jpeg.dpiX = static_cast<WORD>(dpiX);
  if (dpiY >= 0) jpeg.dpiY = static_cast<WORD>(dpiY);
}

void LoadInstallPath(const SettingsLocation& location, char (&programPath)[kPathChars]) {
  CRegistryExchange exchange(CRegistryExchange::kLoad);
  if (!exchange.OpenRootReadOnly(location.machineHive, location.registryKey,
                                 location.profileName))
    return;
  exchange.SelectSection("");
  LoadTextIfNotEmpty(exchange, "InstallPath", programPath, sizeof programPath);
}

void SaveHotkeys(CRegistryExchange& exchange, HotkeyTable& table) {
  exchange.SelectSection(kSectionHotkey);
  for (int mode = 0; mode < kCaptureModeCount; ++mode) {
    LONG slot = mode;
    LONG code = table.hotkey[mode];
    exchange.ExchangePair(CaptureModeName(mode), slot, code);
  }
}

void SaveCaptureOptions(CRegistryExchange& exchange, CaptureSettings& capture) {
  ExchangeCaptureBasics(exchange, capture);
  JpegSaveSettings& jpeg = capture.jpeg;
  exchange.Exchange16("JPEGOptimizeCoding", jpeg.optimizeCoding);
  exchange.Exchange16("JPEGQuality", jpeg.quality);
  exchange.Exchange16("JPEGSmootingFactor", jpeg.smoothingFactor);
  LONG dpiX = jpeg.dpiX;
  LONG dpiY = jpeg.dpiY;
  exchange.ExchangePair("JPEGDIP", dpiX, dpiY);
  exchange.Exchange32("ColorPickerOutputFormat", capture.colorPickerOutputFormat);
  exchange.Exchange32("SendMailImageType", capture.sendMailImageType);
  exchange.Exchange32("RepeatLastMode", capture.repeatLastMode);
  AutoSaveSettings& autoSave = capture.autoSave;
  exchange.ExchangeText("AutoSavePath", autoSave.directory);
  exchange.ExchangeText("AutoSaveLeadFileName", autoSave.leadFileName);
  exchange.Exchange32("AutoSaveOptions", autoSave.options);
  exchange.Exchange16("AutoSaveDigitCount", autoSave.digitCount);
  exchange.Exchange32("AutoSaveStartNO", autoSave.nextNumber);
  exchange.Exchange32("AutoSaveImageType", autoSave.imageType);
}

}  // namespace

int HotkeySlotOf(LONG storedMode) {
  LONG slot = storedMode % kHotkeySlotCount;
  return static_cast<int>(slot < 0 ? slot + kHotkeySlotCount : slot);
}

void ApplyStartupAutoSaveReset(AutoSaveSettings& autoSave) {
  if (autoSave.options & kAutoSaveResetAtStart) autoSave.nextNumber = 1;
}

void LoadSettings(AppSettings& settings, const SettingsLocation& location) {
  {
    CRegistryExchange exchange(CRegistryExchange::kLoad);
    exchange.OpenRoot(location.userHive, location.registryKey, location.profileName);
    ExchangePrintLayout(exchange, settings.m_printLayout);
    LoadHotkeys(exchange, settings.m_hotkeys);
    LoadCaptureOptions(exchange, settings.m_capture);
  }
  settings.m_currentJpeg = settings.m_capture.jpeg;
  LoadInstallPath(location, settings.m_programPath);
}

void SaveSettings(AppSettings& settings, const SettingsLocation& location) {
  CRegistryExchange exchange(CRegistryExchange::kSave);
  if (!exchange.OpenRoot(location.userHive, location.registryKey, location.profileName)) return;
  ExchangePrintLayout(exchange, settings.m_printLayout);
  SaveHotkeys(exchange, settings.m_hotkeys);
  SaveCaptureOptions(exchange, settings.m_capture);
}

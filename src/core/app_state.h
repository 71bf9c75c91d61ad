#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/frequency.h"
#include "core/memory_image.h"

namespace orvex {

// One bit per editing window in the open-window set; the bit order is also
// the order in which windows are refreshed and stored.
enum WindowBit : std::uint8_t {
  kWinChannel = 0x01,
  kWinKey = 0x02,
  kWinSetting = 0x04,
  kWinReserved = 0x08,
  kWinMsk = 0x10,
  kWinScrambler = 0x20,
  kWin2Tone = 0x40,
  kWin5Tone = 0x80,
};

// View flags: which parts of the main window are shown.
enum ViewBit : std::uint8_t {
  kViewTree = 0x01,
  kViewToolBar = 0x02,
  kViewStatusBar = 0x04,
};

enum class CloneDirection : std::uint8_t { Read = 0, Write = 1 };

inline constexpr std::string_view kDefaultFileName = "Untitled.tw";

// The program-wide values, created once at start-up.
struct AppState {
  int language = 0;  // 0 English, 1 Chinese
  std::string fileName{kDefaultFileName};
  std::string appDirectory;  // always ends with one separator
  std::uint8_t openWindows = kWinChannel;
  std::uint8_t viewFlags = kViewTree | kViewToolBar | kViewStatusBar;
  CloneDirection cloneDirection = CloneDirection::Read;
  int portNumber = 1;      // slot 1..10
  std::string portDevice;  // a device path typed by the user; overrides the slot when set
  int channelGridRows = 129;
  int channelGridColumns = 15;
  FreqLimits limits;
  char decimalSeparator = '.';  // the user's, from the system locale
  std::vector<std::string> toneList;  // "None" stays in the start-up language
};

// The stored "Language" text as a language index: "1" is Chinese, anything
// else (missing, empty, garbage) English.
int LanguageFromStored(std::string_view stored);

// The program's directory with exactly one trailing separator.
std::string WithTrailingSeparator(std::string_view directory);

// The non-window steps of start-up, in the program's order: language, port,
// open-window set and view flags, tone list, grid size and file name,
// application directory, frequency limits, then the blank image and its
// snapshot.
void StartUp(AppState& state, RadioMemory& memory, std::string_view storedLanguage, std::string_view programDirectory,
             char decimalSeparator);

}  // namespace orvex

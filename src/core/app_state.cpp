#include "core/app_state.h"

#include "core/strings.h"
#include "core/tone.h"

namespace orvex {

int LanguageFromStored(std::string_view stored) { return stored == "1" ? kChinese : kEnglish; }

std::string WithTrailingSeparator(std::string_view directory) {
  std::string dir(directory);
  if (dir.empty() || (dir.back() != '/' && dir.back() != '\\')) dir += '/';
  return dir;
}

void StartUp(AppState& state, RadioMemory& memory, std::string_view storedLanguage, std::string_view programDirectory,
             char decimalSeparator) {
  state = AppState{};
  state.decimalSeparator = decimalSeparator;
  state.language = LanguageFromStored(storedLanguage);
  state.portNumber = 1;
  state.openWindows = kWinChannel;
  state.viewFlags = kViewTree | kViewToolBar | kViewStatusBar;
  state.toneList = BuildToneList(Text(1137, state.language), decimalSeparator);
  state.channelGridRows = 129;
  state.channelGridColumns = 15;
  state.fileName = std::string(kDefaultFileName);
  state.appDirectory = WithTrailingSeparator(programDirectory);
  state.limits = FreqLimits{};
  InitMemory(memory);
}

}  // namespace orvex

#pragma once

// Every editing window of the program, for tests that drive the main window
// as a user does.  Naming each class here also links its library's
// registration into the test.

#include <memory>

#include "ui/channel/frm_channel.h"
#include "ui/key/frm_key.h"
#include "ui/main/mdi_form1.h"
#include "ui/scrambler/frm_scr.h"
#include "ui/settings/frm_setting.h"
#include "ui/signalling/frm_2tone.h"
#include "ui/signalling/frm_5tone.h"
#include "ui/signalling/frm_msk.h"
#include "ui_test_support.h"

namespace orvex::test {

inline EditingWindowFactories ProgramWindows() {
  return {{kWinChannel, Factory<FrmChannel>()}, {kWinKey, Factory<FrmKey>()},
          {kWinSetting, Factory<FrmSetting>()}, {kWinMsk, Factory<FrmMsk>()},
          {kWinScrambler, Factory<FrmScr>()},   {kWin2Tone, Factory<Frm2Tone>()},
          {kWin5Tone, Factory<Frm5Tone>()}};
}

// The main window with every editing window, shown active at `size`.
inline std::unique_ptr<MDIForm1> StartProgram(Prompter& prompter, QSize size = QSize(1200, 800)) {
  return StartMainWindow(prompter, {.windows = ProgramWindows(), .size = size});
}

}  // namespace orvex::test

#pragma once

// The function of the programmable side key "PF1": one list byte in the
// settings block, decoded and stored like every other list setting.

#include <string>

#include "core/edit_history.h"
#include "core/memory_image.h"
#include "core/result.h"
#include "model/settings/option_settings.h"

namespace orvex {

struct SideKeyOffset {
  static constexpr std::size_t kFunction = 0x0E3B;
  static constexpr std::size_t kItemCount = 6;  // a byte of 6..255 shows "UNDEF"
};

// The side key as a list setting (key "side_key"): use DecodeSetting,
// EncodeSetting, RefreshSetting, ItemTexts, SettingText and SetSettingText
// of option_settings.h with it.
const SettingSpec& SideKeySetting();

// The key window's values as it shows them.
struct SideKeyTexts {
  std::string function;
};

SideKeyTexts ReadSideKey(const Image& image, int language);

// The key window's captions in a language.  The PTT and monitor keys have
// fixed functions the window only names.
struct KeyCaptions {
  std::string window;             // "Key Assignment"
  std::string pttGroup;           // "PTT"
  std::string pttKey;             // "PTT Key"
  std::string pttFunction;        // "SendKey"
  std::string sideKeyGroup;       // "PF1(Side Key )"
  std::string moniGroup;          // "MONI"
  std::string longPress;          // "Long press"
  std::string longPressAction;    // "MONI"
  std::string slightPress;        // "Slight press"
  std::string slightPressAction;  // "FlashLight"
};
KeyCaptions KeyCaptionTexts(int language);

// A choice in the side key's list is one undo step named by its label;
// choosing again folds into that step.
StepName SideKeyStep();
inline constexpr int kSideKeyMerge = 300;

// The key window's picture, resources/ui/key/radio.svg, is 200 x 400 units;
// its keys' outer edges in those units, top to bottom: PTT, PF1, MONI.
// Each face points a key's group at its mark.
struct PicturePoint {
  int x = 0;
  int y = 0;
};
inline constexpr PicturePoint kRadioPictureSize{200, 400};
inline constexpr PicturePoint kKeyPicturePoints[] = {{16, 180}, {18, 237}, {18, 275}};

// Stores the texts that differ from what the image shows; a text that is no
// item of the list is refused and nothing is stored.
Status StoreSideKey(Image& image, const SideKeyTexts& texts, int language);

}  // namespace orvex

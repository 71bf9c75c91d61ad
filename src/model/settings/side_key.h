#pragma once

// The function of the programmable side key "PF1": one list byte in the
// settings block, decoded and stored like every other list setting.

#include <string>

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

// Stores the texts that differ from what the image shows; a text that is no
// item of the list is refused and nothing is stored.
Status StoreSideKey(Image& image, const SideKeyTexts& texts, int language);

}  // namespace orvex

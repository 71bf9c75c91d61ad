#include "model/settings/option_settings.h"

#include <algorithm>
#include <cmath>

#include "core/frequency.h"
#include "core/strings.h"
#include "model/byte_fields.h"

namespace orvex {

namespace {

template <std::size_t N>
constexpr TextPieces P(const TextPiece (&pieces)[N]) {
  return TextPieces(pieces, N);
}

// String-table numbers of the texts shared by several settings.
constexpr int kOnText = 1149;
constexpr int kOffText = 1150;

constexpr TextPiece kOff[] = {{kOffText}};
constexpr TextPiece kOn[] = {{kOnText}};
constexpr TextPieces kOffItem[] = {P(kOff)};
constexpr TextPieces kOffOnItems[] = {P(kOff), P(kOn)};

// "Off" and then the numbers 1..count.
constexpr ItemList OffThenNumbers(int count) { return ItemList{kOffItem, 1, 1, count}; }

constexpr TextPiece kPonLabel[] = {{1457}};
constexpr TextPiece kPonFull[] = {{1478}}, kPonWelcome[] = {{1479}}, kPonBattery[] = {{1480}};
constexpr TextPieces kPonItems[] = {P(kPonFull), P(kPonWelcome), P(kPonBattery)};

constexpr TextPiece kVoiceLabel[] = {{1163}};
constexpr TextPiece kVoiceChinese[] = {{1182}}, kVoiceEnglish[] = {{1181}};
constexpr TextPieces kVoiceItems[] = {P(kOff), P(kVoiceChinese), P(kVoiceEnglish)};

constexpr TextPiece kTotLabel[] = {{1458}};
constexpr TextPiece kTotAlertLabel[] = {{1459}};

// Backlight colours are held by the program, not the string table.
constexpr TextPiece kRed[] = {{0, "RED", "红色"}}, kGreen[] = {{0, "GREEN", "绿色"}},
                    kYellow[] = {{0, "YELLOW", "黄色"}}, kBlue[] = {{0, "BLUE", "蓝色"}},
                    kPurple[] = {{0, "PURPLE", "紫色"}}, kCyan[] = {{0, "CYAN", "青色"}},
                    kPink[] = {{0, "PINK", "粉色"}};
constexpr TextPieces kColourItems[] = {P(kRed), P(kGreen), P(kYellow), P(kBlue), P(kPurple), P(kCyan), P(kPink)};
constexpr TextPiece kColourLabel[] = {{1530}};

constexpr TextPiece kMenuLabel[] = {{1491}};
constexpr TextPiece kBatteryLabel[] = {{1461}};
constexpr TextPiece kAutoLockLabel[] = {{1462}};
constexpr TextPiece kKeyLockLabel[] = {{1191}};
constexpr TextPiece kBeepLabel[] = {{1165}};
constexpr TextPiece kSecondLabel[] = {{1463}};
constexpr TextPiece kCancelSquelchLabel[] = {{1532}};
constexpr TextPiece kVoxLabel[] = {{1171}};

constexpr TextPiece kScanLabel[] = {{1419}};
constexpr TextPiece kScanTime[] = {{1492}}, kScanCarrier[] = {{1493}}, kScanSearch[] = {{1494}};
constexpr TextPieces kScanItems[] = {P(kScanTime), P(kScanCarrier), P(kScanSearch)};

constexpr TextPiece kBacklightDelayLabel[] = {{1464}};
constexpr TextPiece kRxBacklightLabel[] = {{1541}};
constexpr TextPiece kTxBacklightLabel[] = {{1542}};

constexpr TextPiece kRogerLabel[] = {{1389}};
constexpr TextPiece kRogerBegin[] = {{1482}}, kRogerEnd[] = {{1483}}, kRogerBoth[] = {{1484}};
constexpr TextPieces kRogerItems[] = {P(kOff), P(kRogerBegin), P(kRogerEnd), P(kRogerBoth)};

constexpr TextPiece kModePasswordLabel[] = {{1465}};
constexpr TextPiece kResetPasswordLabel[] = {{1466}};
constexpr TextPiece kPriorityLabel[] = {{1204}};

// "ANI-ID" 1472, "Transmit" 1473, "Switch" 1474, "Delay" 1475, "Edit" 1476.
constexpr TextPiece kAniSwitchLabel[] = {{1472}, {1473}, {1474}};
constexpr TextPiece kAniCodeLabel[] = {{1472}, {1476}};

// "Key" 1489, "SideTone" 1490.
constexpr TextPiece kSideToneLabel[] = {{1477}};
constexpr TextPiece kKeySideTone[] = {{1489}, {0, " "}, {1490}};
constexpr TextPiece kAniSideTone[] = {{1472}, {0, " "}, {1490}};
constexpr TextPiece kBothSideTone[] = {{1489}, {0, " "}, {1490}, {0, "+"}, {1472}, {0, " "}, {1490}};
constexpr TextPieces kSideToneItems[] = {P(kOff), P(kKeySideTone), P(kAniSideTone), P(kBothSideTone)};

constexpr TextPiece kTxDelayLabel[] = {{1473}, {1475}};
constexpr TextPiece kAutoResetLabel[] = {{1226}};

constexpr SettingSpec List(std::string_view key, TextPieces label, std::size_t address, ItemList items) {
  return SettingSpec{.key = key, .label = label, .encoding = Encoding::ListIndex, .address = address, .items = items};
}
constexpr SettingSpec Flag(std::string_view key, TextPieces label, std::size_t address) {
  return SettingSpec{.key = key, .label = label, .encoding = Encoding::FlagByte, .address = address};
}
constexpr SettingSpec Bit(std::string_view key, TextPieces label, std::size_t address, unsigned bit,
                          ItemList items = {}) {
  return SettingSpec{
      .key = key, .label = label, .encoding = Encoding::BitFlag, .address = address, .bit = bit, .items = items};
}
constexpr SettingSpec Chars(std::string_view key, TextPieces label, Encoding encoding, std::size_t address) {
  return SettingSpec{.key = key, .label = label, .encoding = encoding, .address = address, .length = 6};
}

constexpr ItemList kOffOn{kOffOnItems};

const SettingSpec kOptionSettings[] = {
    List("power_on_message", P(kPonLabel), 0x0E3A, ItemList{kPonItems}),
    List("voice_announce", P(kVoiceLabel), 0x0E2C, ItemList{kVoiceItems}),
    List("time_out_timer", P(kTotLabel), 0x0E26, ItemList{{}, 15, 15, 40}),
    List("tot_pre_alert", P(kTotAlertLabel), 0x0E36, OffThenNumbers(10)),
    List("backlight_color", P(kColourLabel), 0x0E28, ItemList{kColourItems}),
    Bit("menu_available", P(kMenuLabel), 0x0E5C, 0),
    Flag("battery_save", P(kBatteryLabel), 0x0E23),
    Flag("auto_lock", P(kAutoLockLabel), 0x0E41),
    Flag("key_lock", P(kKeyLockLabel), 0x0E39),
    Flag("beep", P(kBeepLabel), 0x0E2D),
    Flag("second", P(kSecondLabel), 0x0E44),
    Bit("cancel_squelch_on_ptt", P(kCancelSquelchLabel), 0x0E2B, 1),
    List("vox_level", P(kVoxLabel), 0x0E27, OffThenNumbers(10)),
    List("scan_mode", P(kScanLabel), 0x0E38, ItemList{kScanItems}),
    Bit("backlight_delay", P(kBacklightDelayLabel), 0x0E3D, 0, kOffOn),
    Bit("rx_backlight", P(kRxBacklightLabel), 0x0E3D, 1, kOffOn),
    Bit("tx_backlight", P(kTxBacklightLabel), 0x0E3D, 2, kOffOn),
    List("roger_tone", P(kRogerLabel), 0x0E25, ItemList{kRogerItems}),
    Chars("mode_change_password", P(kModePasswordLabel), Encoding::DigitString, 0x0E4A),
    Chars("reset_password", P(kResetPasswordLabel), Encoding::DigitString, 0x0E50),
    List("priority_channel", P(kPriorityLabel), 0x0E5E, OffThenNumbers(128)),
    Flag("ani_transmit", P(kAniSwitchLabel), 0x0E2E),
    Chars("ani_code", P(kAniCodeLabel), Encoding::DtmfString, 0x0E56),
    List("side_tone", P(kSideToneLabel), 0x0E35, ItemList{kSideToneItems}),
    List("transmit_delay", P(kTxDelayLabel), 0x0E33, OffThenNumbers(30)),
    SettingSpec{.key = "auto_reset_timer",
                .label = P(kAutoResetLabel),
                .encoding = Encoding::ClampedNumber,
                .address = 0x1D90,
                .maximum = 15,
                .fallback = 10},
};

// DTMF symbols by stored value; value 10 has no symbol.
constexpr std::string_view kDtmfSymbols = "0123456789?*#ABCD";
constexpr std::uint8_t kNoDtmf = 10;

std::optional<std::uint8_t> DtmfValue(char c) {
  if (c >= 'a' && c <= 'd') c = static_cast<char>(c - 'a' + 'A');
  const auto pos = kDtmfSymbols.find(c);
  if (pos == std::string_view::npos || pos == kNoDtmf) return std::nullopt;
  return static_cast<std::uint8_t>(pos);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsOffText(std::string_view text) {
  return text == Text(kOffText, kEnglish) || text == Text(kOffText, kChinese) || text == "Off";
}

// The item whose text in `language` (or failing that, the other language) is
// `text`.
std::optional<std::size_t> FindItem(const SettingSpec& setting, std::string_view text, int language) {
  for (int lang : {language, 1 - language}) {
    for (std::size_t i = 0; i < setting.items.size(); ++i)
      if (ItemText(setting, i, lang) == text) return i;
  }
  return std::nullopt;
}

std::optional<bool> CheckFromText(std::string_view text) {
  if (text == "1" || text == "true" || text == Text(kOnText, kEnglish) || text == Text(kOnText, kChinese) ||
      text == "On")
    return true;
  if (text == "0" || text == "false" || IsOffText(text)) return false;
  return std::nullopt;
}

// Refusals of a setting's text: "vox_level: "X" is not a number".
constexpr int kMsgNoItem = 10407, kMsgNotOnOff = 10409, kMsgNotNumber = 10410, kMsgTooLong = 10411,
              kMsgDigitsOnly = 10412, kMsgSymbolsOnly = 10413;

Error Refused(const SettingSpec& setting, std::string_view text, int why, int language) {
  return Fail(TextOf(why, language, {std::string(setting.key), std::string(text)}));
}

}  // namespace

std::string JoinPieces(TextPieces pieces, int language) {
  std::string text;
  for (const auto& piece : pieces) {
    if (piece.number != 0)
      text += Text(piece.number, language);
    else
      text += language == kChinese && !piece.chinese.empty() ? piece.chinese : piece.english;
  }
  return text;
}

SettingControl ControlOf(const SettingSpec& setting) {
  switch (setting.encoding) {
    case Encoding::ListIndex:
      return SettingControl::List;
    case Encoding::FlagByte:
      return SettingControl::Check;
    case Encoding::BitFlag:
      return setting.items.size() == 0 ? SettingControl::Check : SettingControl::List;
    case Encoding::DigitString:
    case Encoding::DtmfString:
      return SettingControl::Text;
    case Encoding::ClampedNumber:
      return SettingControl::UpDown;
  }
  return SettingControl::Text;
}

std::span<const SettingSpec> OptionSettings() { return kOptionSettings; }

const SettingSpec* FindOptionSetting(std::string_view key) {
  for (const auto& setting : kOptionSettings)
    if (setting.key == key) return &setting;
  return nullptr;
}

std::string SettingLabel(const SettingSpec& setting, int language) { return JoinPieces(setting.label, language); }

std::string ItemText(const SettingSpec& setting, std::size_t position, int language) {
  if (position < setting.items.texts.size()) return JoinPieces(setting.items.texts[position], language);
  const auto n = static_cast<int>(position - setting.items.texts.size());
  if (n >= setting.items.count) return {};
  return std::to_string(setting.items.first + setting.items.step * n);
}

std::vector<std::string> ItemTexts(const SettingSpec& setting, int language) {
  std::vector<std::string> texts;
  texts.reserve(setting.items.size());
  for (std::size_t i = 0; i < setting.items.size(); ++i) texts.push_back(ItemText(setting, i, language));
  return texts;
}

int DecodeSetting(const Image& image, const SettingSpec& setting) {
  const std::uint8_t stored = image[setting.address];
  switch (setting.encoding) {
    case Encoding::ListIndex:
      return static_cast<int>(ListIndex(stored, setting.items.size()));
    case Encoding::FlagByte:
      return CheckValue(stored) ? 1 : 0;
    case Encoding::BitFlag:
      return GetBit(stored, setting.bit) ? 1 : 0;
    case Encoding::ClampedNumber:
      return stored > setting.maximum ? setting.fallback : stored;
    case Encoding::DigitString:
    case Encoding::DtmfString:
      break;
  }
  return 0;
}

void EncodeSetting(Image& image, const SettingSpec& setting, int shown) {
  std::uint8_t& stored = image[setting.address];
  switch (setting.encoding) {
    case Encoding::ListIndex:
      // Only positions of the list can be chosen.
      if (shown >= 0 && static_cast<std::size_t>(shown) < setting.items.size())
        stored = static_cast<std::uint8_t>(shown);
      break;
    case Encoding::FlagByte:
      stored = CheckByte(shown != 0);
      break;
    case Encoding::BitFlag:
      stored = WithBit(stored, setting.bit, shown != 0);
      break;
    case Encoding::ClampedNumber:
      stored = static_cast<std::uint8_t>(std::clamp(shown, 0, setting.maximum));
      break;
    case Encoding::DigitString:
    case Encoding::DtmfString:
      break;
  }
}

std::optional<int> InitialShown(const SettingSpec& setting) {
  switch (ControlOf(setting)) {
    case SettingControl::List:
    case SettingControl::Text:
      return std::nullopt;
    case SettingControl::Check:
    case SettingControl::UpDown:
      return 0;
  }
  return std::nullopt;
}

std::optional<int> RefreshSetting(Image& image, const SettingSpec& setting, std::optional<int> shown) {
  if (ControlOf(setting) == SettingControl::Text) return shown;
  const int decoded = DecodeSetting(image, setting);
  if (shown != decoded) EncodeSetting(image, setting, decoded);
  return decoded;
}

std::string ReadPassword(const Image& image, const SettingSpec& setting) {
  std::string text;
  for (std::size_t i = 0; i < setting.length; ++i) {
    const std::uint8_t b = image[setting.address + i];
    if (b <= 9) text += static_cast<char>('0' + b);
  }
  return text;
}

PasswordCommit StorePassword(Image& image, const SettingSpec& setting, std::string_view typed) {
  std::string digits;
  for (char c : typed)
    if (IsDigit(c) && digits.size() < setting.length) digits += c;
  const bool padded = digits.size() < setting.length;
  digits.resize(setting.length, '0');
  for (std::size_t i = 0; i < setting.length; ++i)
    image[setting.address + i] = static_cast<std::uint8_t>(digits[i] - '0');
  return {digits, padded};
}

std::string ReadAniCode(const Image& image, const SettingSpec& setting) {
  std::string text;
  for (std::size_t i = 0; i < setting.length; ++i) {
    const std::uint8_t b = image[setting.address + i];
    if (b < kDtmfSymbols.size() && b != kNoDtmf) text += kDtmfSymbols[b];
  }
  return text;
}

void StoreAniCode(Image& image, const SettingSpec& setting, std::string_view typed) {
  std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(setting.address), setting.length, kEmpty);
  for (std::size_t i = 0; i < typed.size() && i < setting.length; ++i)
    image[setting.address + i] = DtmfValue(typed[i]).value_or(kEmpty);
}

bool AcceptsChar(const SettingSpec& setting, char c) {
  switch (setting.encoding) {
    case Encoding::DigitString:
    case Encoding::ClampedNumber:
      return IsDigit(c);
    case Encoding::DtmfString:
      return DtmfValue(c).has_value();
    default:
      return false;
  }
}

int TypedNumber(const SettingSpec& setting, std::string_view typed) {
  if (IsOffText(typed)) return 0;
  const double number = ParseTypedNumber(typed, '.').value_or(0.0);
  if (!std::isfinite(number)) return number > 0 ? setting.maximum : 0;
  return static_cast<int>(std::clamp(std::nearbyint(number), 0.0, static_cast<double>(setting.maximum)));
}

std::string NumberText(const SettingSpec&, int value, int language) {
  return value == 0 ? std::string(Text(kOffText, language)) : std::to_string(value);
}

std::string SettingText(const Image& image, const SettingSpec& setting, int language) {
  switch (ControlOf(setting)) {
    case SettingControl::List:
      return ItemText(setting, static_cast<std::size_t>(DecodeSetting(image, setting)), language);
    case SettingControl::Check:
      return std::string(Text(DecodeSetting(image, setting) ? kOnText : kOffText, language));
    case SettingControl::UpDown:
      return NumberText(setting, DecodeSetting(image, setting), language);
    case SettingControl::Text:
      return setting.encoding == Encoding::DigitString ? ReadPassword(image, setting) : ReadAniCode(image, setting);
  }
  return {};
}

Status SetSettingText(Image& image, const SettingSpec& setting, std::string_view text, int language,
                      int messageLanguage) {
  if (text == SettingText(image, setting, language)) return Ok{};
  const int says = messageLanguage < 0 ? language : messageLanguage;
  switch (ControlOf(setting)) {
    case SettingControl::List: {
      const auto position = FindItem(setting, text, language);
      if (!position) return Refused(setting, text, kMsgNoItem, says);
      EncodeSetting(image, setting, static_cast<int>(*position));
      return Ok{};
    }
    case SettingControl::Check: {
      const auto on = CheckFromText(text);
      if (!on) return Refused(setting, text, kMsgNotOnOff, says);
      EncodeSetting(image, setting, *on ? 1 : 0);
      return Ok{};
    }
    case SettingControl::UpDown:
      if (!IsOffText(text) && std::none_of(text.begin(), text.end(), IsDigit))
        return Refused(setting, text, kMsgNotNumber, says);
      EncodeSetting(image, setting, TypedNumber(setting, text));
      return Ok{};
    case SettingControl::Text:
      if (text.size() > setting.length) return Refused(setting, text, kMsgTooLong, says);
      if (!std::all_of(text.begin(), text.end(), [&](char c) { return AcceptsChar(setting, c); }))
        return Refused(setting, text, setting.encoding == Encoding::DigitString ? kMsgDigitsOnly : kMsgSymbolsOnly,
                       says);
      if (setting.encoding == Encoding::DigitString)
        (void)StorePassword(image, setting, text);
      else
        StoreAniCode(image, setting, text);
      return Ok{};
  }
  return Ok{};
}

OptionsShown NewOptionsShown() {
  OptionsShown shown;
  for (const auto& setting : kOptionSettings) shown.values.push_back(InitialShown(setting));
  return shown;
}

void RefreshOptions(Image& image, OptionsShown& shown) {
  const auto settings = OptionSettings();
  shown.values.resize(settings.size());
  for (std::size_t i = 0; i < settings.size(); ++i)
    shown.values[i] = RefreshSetting(image, settings[i], shown.values[i]);
}

}  // namespace orvex

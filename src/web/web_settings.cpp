// The Optional Features window in the page: its groups and controls in the
// desktop window's Tab order, what each control shows, and each change
// stored as one undo step named as the desktop window names it.

#include <emscripten/bind.h>

#include <array>
#include <vector>

#include "model/settings/frequency_mode.h"
#include "model/settings/option_settings.h"
#include "model/settings/settings_window.h"
#include "web/web_session.h"

namespace orvex {
namespace {

using emscripten::val;
using F = FreqModeField;

// One control of the window: an option setting (`option` its index in
// OptionSettings()) or a field of a frequency-mode group.
struct Control {
  int frame = 0;
  std::string name;  // the desktop's control name, "CboSet1_0"
  int option = -1;
  int group = -1;
  F field = F::Current;
};

bool IsList(F field) { return field != F::Current && field != F::TxFrequency; }

std::string ControlKind(SettingControl control) {
  switch (control) {
    case SettingControl::List:
      return "list";
    case SettingControl::Check:
      return "check";
    case SettingControl::Text:
      return "text";
    case SettingControl::UpDown:
      return "updown";
  }
  return "list";
}

val Strings(const std::vector<std::string>& texts) {
  val out = val::array();
  for (const std::string& text : texts) out.call<void>("push", text);
  return out;
}

class WebSettings {
 public:
  explicit WebSettings(WebSession& web) : m_web(web), m_shown(NewOptionsShown()) {
    const auto settings = OptionSettings();
    auto addOptions = [&](int first, int last) {
      for (const OptionPlace& place : OptionPlaces()) {
        if (place.frame < first || place.frame > last || place.key == kHiddenOptionKey) continue;
        const SettingSpec* setting = FindOptionSetting(place.key);
        if (setting == nullptr) continue;
        m_controls.push_back({.frame = place.frame,
                              .name = std::string(place.control),
                              .option = static_cast<int>(setting - settings.data())});
      }
    };
    // Group by group, as the desktop creates them, so Tab goes down each
    // column in turn.
    addOptions(1, 5);
    for (int group = 0; group < kFrequencyModeGroups; ++group) {
      const int frame = kFrequencyModeFrame[group];
      for (const FreqModeFieldInfo& info : FrequencyModeFields()) {
        const auto slot = static_cast<int>(info.field);
        const std::string number = std::to_string(frame);
        const std::string name = info.field == F::Current       ? "TxtSet" + number
                                 : info.field == F::TxFrequency ? "TxtTxSet" + number
                                                                : "CboSet" + number + "_" + std::to_string(slot);
        m_controls.push_back({.frame = frame, .name = name, .group = group, .field = info.field});
      }
    }
    addOptions(8, 9);
  }

  std::string Title() const { return std::string(Text(kSettingsWindowText, m_web.Language())); }
  std::string FrameTitle(int frame) const { return SettingsFrameTitle(frame, m_web.Language()); }

  // Every control in Tab order: its group, name, kind ("list", "check",
  // "text", "updown", "readonly"), label, list items, longest text, the
  // up-down's maximum and a unit shown after the control.
  val Controls() const {
    const int language = m_web.Language();
    const FreqModeContext context = Context();
    val out = val::array();
    for (const Control& control : m_controls) {
      val one = val::object();
      one.set("frame", control.frame);
      one.set("name", control.name);
      if (control.option >= 0) {
        const SettingSpec& setting = Setting(control);
        const SettingControl kind = ControlOf(setting);
        one.set("kind", ControlKind(kind));
        one.set("label", SettingLabel(setting, language));
        one.set("items",
                Strings(kind == SettingControl::List ? ItemTexts(setting, language) : std::vector<std::string>()));
        one.set("maxLength", static_cast<int>(kind == SettingControl::UpDown ? kUpDownFieldLength : setting.length));
        one.set("maximum", setting.maximum);
      } else {
        const bool tx = control.field == F::TxFrequency;
        one.set("kind", std::string(tx ? "readonly" : IsList(control.field) ? "list" : "text"));
        one.set("label", tx ? std::string(Text(kTxFrequencyText, language))
                            : FrequencyModeLabel(control.group, control.field, language));
        one.set("items", Strings(IsList(control.field) ? FrequencyModeItems(control.field, context)
                                                       : std::vector<std::string>()));
        one.set("maxLength", kCurrentFieldLength);
        one.set("maximum", 0);
        // The offset is in MHz, as the text after its list says.
        if (control.field == F::Offset) one.set("unit", std::string("MHz"));
      }
      out.call<void>("push", one);
    }
    return out;
  }

  // Shows the image again.  A refresh that changes what a control shows
  // stores it, as the desktop window's refresh does.
  void Reload() {
    Image& image = m_web.session().memory().image();
    RefreshOptions(image, m_shown);
    for (int group = 0; group < kFrequencyModeGroups; ++group)
      RefreshFrequencyMode(image, group, Group(group), Context());
  }

  // What control `c` shows: a list's position (-1: none), 0/1 for a check
  // box, the up-down's number, or a text field's text.
  val Shown(int c) const {
    const Control& control = m_controls.at(static_cast<std::size_t>(c));
    const Image& image = m_web.session().memory().image();
    if (control.option >= 0) {
      const SettingSpec& setting = Setting(control);
      if (ControlOf(setting) != SettingControl::Text)
        return val(m_shown.values[static_cast<std::size_t>(control.option)].value_or(
            ControlOf(setting) == SettingControl::List ? -1 : 0));
      return val(setting.encoding == Encoding::DtmfString ? ReadAniCode(image, setting) : ReadPassword(image, setting));
    }
    const FrequencyModeShown& shown = m_groups[static_cast<std::size_t>(control.group)];
    if (control.field == F::Current) return val(shown.current);
    if (control.field == F::TxFrequency) return val(FrequencyModeText(image, control.group, F::TxFrequency, Context()));
    return val(shown[control.field].value_or(-1));
  }

  // The up-down's text for a value: "Off" for 0.
  std::string NumberText(int c, int value) const {
    return ::orvex::NumberText(Setting(m_controls.at(static_cast<std::size_t>(c))), value, m_web.Language());
  }
  // The up-down's value for a typed text.
  int TypedNumber(int c, const std::string& typed) const {
    return ::orvex::TypedNumber(Setting(m_controls.at(static_cast<std::size_t>(c))), typed);
  }

  // A typed character as text field `c` keeps it (ANI letters as
  // capitals), or "" when dropped.
  std::string Accept(int c, const std::string& typed) const {
    if (typed.size() != 1) return {};
    const Control& control = m_controls.at(static_cast<std::size_t>(c));
    const char ch = typed[0];
    if (control.option < 0) return control.field == F::Current && CurrentAcceptsChar(ch) ? typed : std::string();
    const std::optional<char> kept = KeptChar(Setting(control), ch);
    return kept ? std::string(1, *kept) : std::string();
  }

  // A list position, check box state or up-down value chosen in control
  // `c`: stored at once as one step; repeated changes of one list fold.
  void Choose(int c, int value) {
    const Control& control = m_controls.at(static_cast<std::size_t>(c));
    if (control.option >= 0) {
      const auto index = static_cast<std::size_t>(control.option);
      m_shown.values[index] = value;
      const SettingSpec* setting = &Setting(control);
      m_web.session().Edit(
          OptionStep(setting), [setting, value](Image& image) { EncodeSetting(image, *setting, value); },
          OptionMergeKey(index));
      return;
    }
    if (value < 0) return;
    const FreqModeContext context = Context();
    m_web.session().Edit(
        FrequencyModeStep(control.group, control.field),
        [&](Image& image) { ChooseItem(image, control.group, Group(control.group), control.field, value, context); },
        FrequencyModeMergeKey(control.group, control.field));
  }

  // Leaving text field `c` with `typed`: stored as one step.  The answer
  // says what the field shows now, a warning to show first (a password
  // padded with zeros) and a note for the status bar (a frequency brought
  // into the bands).
  val Commit(int c, const std::string& typed) {
    const Control& control = m_controls.at(static_cast<std::size_t>(c));
    std::string warning;
    std::string note;
    if (control.option >= 0) {
      const SettingSpec& setting = Setting(control);
      const StepName step = OptionStep(&setting);
      if (setting.encoding == Encoding::DtmfString) {
        m_web.session().Edit(step, [&](Image& image) { StoreAniCode(image, setting, typed); });
      } else {
        PasswordCommit commit{};
        m_web.session().Edit(step, [&](Image& image) { commit = StorePassword(image, setting, typed); });
        if (commit.padded) warning = Text(kPasswordPaddedMessage, m_web.Language());
      }
    } else {
      const FreqModeContext context = Context();
      m_web.session().Edit(FrequencyModeStep(control.group, F::Current), [&](Image& image) {
        note = CommitCurrent(image, control.group, Group(control.group), typed, context);
      });
    }
    val out = val::object();
    out.set("text", Shown(c));
    out.set("warning", warning);
    out.set("note", note);
    return out;
  }

 private:
  [[nodiscard]] static const SettingSpec& Setting(const Control& control) {
    return OptionSettings()[static_cast<std::size_t>(control.option)];
  }
  FrequencyModeShown& Group(int group) { return m_groups[static_cast<std::size_t>(group)]; }
  [[nodiscard]] FreqModeContext Context() const { return FreqModeContext{.language = m_web.Language()}; }

  WebSession& m_web;
  std::vector<Control> m_controls;
  OptionsShown m_shown;
  std::array<FrequencyModeShown, kFrequencyModeGroups> m_groups;
};

}  // namespace
}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web_settings) {
  using orvex::WebSettings;
  emscripten::class_<WebSettings>("Settings")
      .constructor<orvex::WebSession&>()
      .function("title", &WebSettings::Title)
      .function("frameTitle", &WebSettings::FrameTitle)
      .function("controls", &WebSettings::Controls)
      .function("reload", &WebSettings::Reload)
      .function("shown", &WebSettings::Shown)
      .function("numberText", &WebSettings::NumberText)
      .function("typedNumber", &WebSettings::TypedNumber)
      .function("accept", &WebSettings::Accept)
      .function("choose", &WebSettings::Choose)
      .function("commit", &WebSettings::Commit);
}

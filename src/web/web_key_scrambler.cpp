// The Key Assignment and Scrambler Frequency windows in the page: captions
// and values in the session's language, the side key's list and the field
// of scrambler group 8, each change stored as one undo step named as the
// desktop window names it.

#include <emscripten/bind.h>

#include <optional>
#include <string>

#include "core/spoken_text.h"
#include "model/settings/scrambler.h"
#include "model/settings/side_key.h"
#include "web/web_session.h"

namespace orvex {
namespace {

using emscripten::val;

constexpr int kRadioPictureText = 1560;

// `frmKey`: the fixed keys' captions, the radio's picture with a mark per
// key, and the side key's list, which stores each choice at once.
class WebKeyAssignment {
 public:
  explicit WebKeyAssignment(WebSession& web) : m_web(web) {}

  // The window opens afresh: the list shows nothing until the image is read.
  void Open() {
    m_shown.reset();
    Reload();
  }
  // The side key from the image.  A refresh that changes what the list
  // showed writes it back, as the desktop window does (a byte of 6..255
  // becomes 0).
  void Reload() { m_shown = RefreshSetting(m_web.session().memory().image(), SideKeySetting(), m_shown); }

  val Captions() const {
    const int language = m_web.Language();
    const KeyCaptions captions = KeyCaptionTexts(language);
    val out = val::object();
    out.set("window", captions.window);
    out.set("pttGroup", captions.pttGroup);
    out.set("pttKey", captions.pttKey);
    out.set("pttFunction", captions.pttFunction);
    out.set("sideKeyGroup", captions.sideKeyGroup);
    out.set("moniGroup", captions.moniGroup);
    out.set("longPress", captions.longPress);
    out.set("longPressAction", captions.longPressAction);
    out.set("slightPress", captions.slightPress);
    out.set("slightPressAction", captions.slightPressAction);
    out.set("picture", std::string(Text(kRadioPictureText, language)));
    out.set("items", StringArray(ItemTexts(SideKeySetting(), language)));
    return out;
  }

  // The keys' marks on the picture, as shares of its width and height.
  static val Marks() {
    val out = val::array();
    for (const PicturePoint point : kKeyPicturePoints) {
      val mark = val::object();
      mark.set("x", static_cast<double>(point.x) / kRadioPictureSize.x);
      mark.set("y", static_cast<double>(point.y) / kRadioPictureSize.y);
      out.call<void>("push", mark);
    }
    return out;
  }

  // The list's position, -1 for none.
  int Chosen() const { return m_shown.value_or(-1); }

  // A choice in the list, stored at once; choosing again folds into the
  // same step.
  void Choose(int position) {
    if (position < 0) return;
    const auto store = [position](Image& image) { EncodeSetting(image, SideKeySetting(), position); };
    m_web.session().Edit(SideKeyStep(), store, kSideKeyMerge);
    m_shown = position;
  }

 private:
  WebSession& m_web;
  std::optional<int> m_shown;
};

// `frmScr`: the eight groups, of which only group 8's frequency is edited;
// it is clamped and stored when the field is left or entered.
class WebScrambler {
 public:
  explicit WebScrambler(WebSession& web) : m_web(web) {}

  // The groups' frequencies; an unprogrammed group 8 shows 3700 and is
  // stored at once, as the desktop window does.
  val Frequencies() {
    Image& image = m_web.session().memory().image();
    std::vector<std::string> texts;
    for (int group = 0; group + 1 < kScramblerGroups; ++group) texts.push_back(ScramblerGroupText(image, group));
    texts.push_back(LoadScrambler(image));
    return StringArray(texts);
  }

  // Window title (also the frame's), the column headings, and each field's
  // spoken name ("Group 8, Frequency").
  val Captions() const {
    const ScramblerCaptions captions = ScramblerCaptionTexts(m_web.Language());
    const std::string group(captions.group);
    const std::string frequency(captions.frequency);
    val out = val::object();
    out.set("window", std::string(captions.window));
    out.set("group", group);
    out.set("frequency", frequency);
    std::vector<std::string> names;
    for (int g = 1; g <= kScramblerGroups; ++g)
      names.push_back(JoinSpoken({group + " " + std::to_string(g), frequency}));
    out.set("names", StringArray(names));
    out.set("typedLength", static_cast<int>(ScramblerFieldEditor().maxLength));
    return out;
  }

  // A typed or pasted character as the field takes it, "" when dropped.
  static std::string Accept(const std::string& key) { return AcceptedKey(ScramblerFieldEditor(), key); }

  // Leaving the field: the text it shows then, and what the status bar says
  // about the clamp ("" when the value stays).
  val Clamp(const std::string& typed) const {
    val out = val::object();
    out.set("text", ClampScramblerText(typed));
    out.set("note", ScramblerClampNote(typed, m_web.Language()));
    return out;
  }

  // The field's text into the image as one step; a text equal to what the
  // image shows stores nothing.
  void Store(const std::string& text) {
    m_web.session().Edit(ScramblerStep(), [&text](Image& image) { SaveScramblerChange(image, text); });
  }

 private:
  WebSession& m_web;
};

}  // namespace
}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web_key_scrambler) {
  using orvex::WebKeyAssignment;
  using orvex::WebScrambler;
  emscripten::class_<WebKeyAssignment>("KeyAssignment")
      .constructor<orvex::WebSession&>()
      .function("open", &WebKeyAssignment::Open)
      .function("reload", &WebKeyAssignment::Reload)
      .function("captions", &WebKeyAssignment::Captions)
      .class_function("marks", &WebKeyAssignment::Marks)
      .function("chosen", &WebKeyAssignment::Chosen)
      .function("choose", &WebKeyAssignment::Choose);
  emscripten::class_<WebScrambler>("Scrambler")
      .constructor<orvex::WebSession&>()
      .function("frequencies", &WebScrambler::Frequencies)
      .function("captions", &WebScrambler::Captions)
      .class_function("accept", &WebScrambler::Accept)
      .function("clamp", &WebScrambler::Clamp)
      .function("store", &WebScrambler::Store);
}

#include "ui/settings/frm_setting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "core/strings.h"
#include "model/settings/settings_window.h"
#include "ui/main/twips.h"
#include "ui/main/ui_text.h"
#include "ui/settings/entry_fields.h"

namespace orvex {

namespace {

using F = FreqModeField;

// Window size in twips (1/1440 inch).
constexpr int kWidthTwips = 13500;
constexpr int kHeightTwips = 8800;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Fills a new list, or replaces the texts of a filled one (which keeps its
// selection).
void SetItems(QComboBox* list, const std::vector<std::string>& items) {
  if (list->count() == 0) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) texts << Q(item);
    list->addItems(texts);
    return;
  }
  for (int i = 0; i < list->count() && i < static_cast<int>(items.size()); ++i) {
    const QString text = Q(items[static_cast<std::size_t>(i)]);
    if (list->itemText(i) != text) list->setItemText(i, text);
  }
}

void Select(QComboBox* list, std::optional<int> position) {
  const QSignalBlocker quiet(list);
  list->setCurrentIndex(position.value_or(-1));
}

// A field filter keeping what `accepts` allows.
CellTextValidator::Filter Keeping(std::function<bool(char)> accepts) {
  return [accepts = std::move(accepts)](char c) -> std::optional<char> {
    if (!accepts(c)) return std::nullopt;
    return c;
  };
}

// Whether a list field's items are names rather than numbers or codes.
bool HasTextItems(F field) { return field != F::TxTone && field != F::RxTone && field != F::Offset; }

}  // namespace

// A field loses the focus while the window is torn down; that must not reach
// a half-destroyed window.
FrmSetting::~FrmSetting() {
  const auto fields = findChildren<EntryField*>();
  for (EntryField* field : fields) field->disconnect(this);
}

FrmSetting::FrmSetting(const EditingContext& context, QWidget* parent)
    : EditingWindow(kWinSetting, context, parent), m_shown(NewOptionsShown()) {
  setObjectName("frmSetting");
  setWindowIcon(QIcon(QStringLiteral(":/ui/orvex.png")));

  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  for (int n = 1; n <= 9; ++n) {
    m_frames[n] = new QGroupBox(page);
    m_frames[n]->setObjectName(QStringLiteral("FraSet%1").arg(n));
  }
  // Left column: FraSet1..3; then FraSet4 over FraSet5, the two frequency
  // modes, and FraSet8 and FraSet9 along the bottom.
  auto* left = new QVBoxLayout;
  for (int n = 1; n <= 3; ++n) left->addWidget(m_frames[n]);
  left->addStretch();
  grid->addLayout(left, 0, 0, 3, 1);
  grid->addWidget(m_frames[4], 0, 1);
  grid->addWidget(m_frames[5], 1, 1);
  grid->addWidget(m_frames[6], 0, 2, 2, 1);
  grid->addWidget(m_frames[7], 0, 3, 2, 1);
  grid->addWidget(m_frames[8], 2, 1, 1, 2);
  grid->addWidget(m_frames[9], 2, 3);
  grid->setRowStretch(1, 1);

  // Created group by group, so Tab and Enter go down each column in turn.
  BuildOptions(1, 5);
  for (int g = 0; g < kFrequencyModeGroups; ++g) BuildFrequencyGroup(g, m_frames[kFrequencyModeFrame[g]]);
  BuildOptions(8, 9);

  setWidget(page);
  ApplyCaptions();
  const QSize wanted = TwipsToPixels(*this, kWidthTwips, kHeightTwips);
  resize(wanted.expandedTo(sizeHint()));
}

void FrmSetting::BuildOptions(int firstFrame, int lastFrame) {
  std::array<QFormLayout*, 10> forms{};
  for (int n = firstFrame; n <= lastFrame; ++n) {
    forms[n] = new QFormLayout(m_frames[n]);
    forms[n]->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    // The narrow groups of the left half put each label above its control.
    if (n == 1 || n == 4 || n == 5) forms[n]->setRowWrapPolicy(QFormLayout::WrapAllRows);
  }
  const auto settings = OptionSettings();
  m_options.resize(settings.size());
  for (const OptionPlace& place : OptionPlaces()) {
    if (place.frame < firstFrame || place.frame > lastFrame) continue;
    const auto it = std::find_if(settings.begin(), settings.end(), [&](const auto& s) { return s.key == place.key; });
    if (it == settings.end()) continue;
    const std::size_t index = static_cast<std::size_t>(it - settings.begin());
    OptionControl& option = m_options[index];
    option.setting = &*it;
    QWidget* control = nullptr;
    switch (ControlOf(*it)) {
      case SettingControl::List: {
        option.list = new QComboBox;
        SetItems(option.list, ItemTexts(*it, language()));
        option.list->setCurrentIndex(-1);  // a new list has no selection
        connect(option.list, &QComboBox::currentIndexChanged, this, [this, index](int position) {
          if (position >= 0) ChangeOption(index, position);
        });
        control = option.list;
        break;
      }
      case SettingControl::Check:
        option.check = new QCheckBox;
        connect(option.check, &QCheckBox::toggled, this, [this, index](bool on) { ChangeOption(index, on ? 1 : 0); });
        control = option.check;
        break;
      case SettingControl::Text: {
        const SettingSpec* setting = option.setting;
        const bool ani = setting->encoding == Encoding::DtmfString;
        option.text =
            new EntryField([setting](char c) { return KeptChar(*setting, c); }, static_cast<int>(setting->length));
        const auto password = std::find(std::begin(kPasswordKeys), std::end(kPasswordKeys), place.key);
        if (ani) {
          connect(option.text, &EntryField::left, this, &FrmSetting::CommitAniCode);
        } else {
          const int which = static_cast<int>(password - std::begin(kPasswordKeys));
          connect(option.text, &EntryField::left, this, [this, which] { TxtSet5_LostFocus(which); });
        }
        control = option.text;
        break;
      }
      case SettingControl::UpDown: {
        const SettingSpec* setting = option.setting;
        option.upDown = new UpDownBox(
            // Reads the program's state, not the window: the box may still be
            // asked for a text as it loses the focus while the window goes.
            [&state = state(), setting](int value) { return Q(NumberText(*setting, value, state.language)); },
            [setting](const QString& typed) { return TypedNumber(*setting, typed.toStdString()); }, setting->maximum);
        option.upDown->textField()->setObjectName("TxtOPSet_1");
        connect(option.upDown, &QSpinBox::valueChanged, this, [this, index](int value) { ChangeOption(index, value); });
        control = option.upDown;
        break;
      }
    }
    control->setObjectName(QString::fromLatin1(place.control));
    WatchKeys(control);
    QFormLayout* form = forms[place.frame];
    if (!place.label.empty()) {
      option.label = new QLabel;
      option.label->setObjectName(QString::fromLatin1(place.label));
      option.label->setBuddy(control);
      form->addRow(option.label, control);
    } else {
      form->addRow(control);
    }
    if (place.key == kHiddenOptionKey) form->setRowVisible(control, false);
  }
}

void FrmSetting::BuildFrequencyGroup(int group, QGroupBox* frame) {
  FreqGroup& g = m_groups[static_cast<std::size_t>(group)];
  g.frame = frame;
  const QString number = QString::number(kFrequencyModeFrame[group]);
  auto* form = new QFormLayout(frame);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  const FreqModeContext context = Context();
  for (const FreqModeFieldInfo& info : FrequencyModeFields()) {
    if (info.field == F::TxFrequency) continue;
    const auto slot = static_cast<std::size_t>(info.field);
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("LblSet%1_%2").arg(number).arg(slot));
    g.labels[slot] = label;
    QWidget* control = nullptr;
    if (info.field == F::Current) {
      g.current = new EntryField(Keeping(CurrentAcceptsChar), kCurrentFieldLength);
      g.current->setObjectName("TxtSet" + number);
      connect(g.current, &EntryField::left, this, [this, group] { CommitCurrent(group); });
      control = g.current;
    } else {
      auto* list = new QComboBox;
      list->setObjectName(QStringLiteral("CboSet%1_%2").arg(number).arg(slot));
      SetItems(list, FrequencyModeItems(info.field, context));
      list->setCurrentIndex(-1);
      const F field = info.field;
      connect(list, &QComboBox::currentIndexChanged, this, [this, group, field](int position) {
        if (position >= 0) ChooseGroupItem(group, field, position);
      });
      g.lists[slot] = list;
      control = list;
    }
    WatchKeys(control);
    label->setBuddy(control);
    if (info.field == F::Offset) {
      auto* row = new QHBoxLayout;
      row->addWidget(control, 1);
      row->addWidget(new QLabel(QStringLiteral("MHz")));
      form->addRow(label, row);
    } else {
      form->addRow(label, control);
    }
  }
  // The transmit frequency the radio will use, derived from "Current", the
  // shift and the offset.
  g.txLabel = new QLabel;
  g.txLabel->setObjectName("LblTxSet" + number);
  g.txFrequency = new QLineEdit;
  g.txFrequency->setObjectName("TxtTxSet" + number);
  g.txFrequency->setReadOnly(true);
  g.txFrequency->setFocusPolicy(Qt::NoFocus);
  form->addRow(g.txLabel, g.txFrequency);
}

void FrmSetting::WatchKeys(QWidget* control) { control->installEventFilter(this); }

// --- refresh -----------------------------------------------------------------

void FrmSetting::RefreshAll() {
  ApplyCaptions();
  LoadControls();
}

void FrmSetting::ApplyCaptions() {
  const int lang = language();
  setWindowTitle(UiText(kSettingsWindowText, lang));
  m_frames[2]->setTitle(Q(SettingsFrameTitle(2, lang)));
  for (OptionControl& option : m_options) {
    if (option.setting == nullptr) continue;
    const QString label = Q(SettingLabel(*option.setting, lang));
    if (option.label != nullptr) option.label->setText(label);
    if (option.check != nullptr) option.check->setText(label);
    if (option.list != nullptr) SetItems(option.list, ItemTexts(*option.setting, lang));
    if (option.upDown != nullptr) option.upDown->RefreshText();
  }
  const FreqModeContext context = Context();
  for (int group = 0; group < kFrequencyModeGroups; ++group) {
    FreqGroup& g = m_groups[static_cast<std::size_t>(group)];
    g.frame->setTitle(Q(SettingsFrameTitle(kFrequencyModeFrame[group], lang)));
    for (const FreqModeFieldInfo& info : FrequencyModeFields()) {
      const auto slot = static_cast<std::size_t>(info.field);
      if (g.labels[slot] == nullptr) continue;
      g.labels[slot]->setText(Q(FrequencyModeLabel(group, info.field, lang)));
      if (g.lists[slot] != nullptr && HasTextItems(info.field))
        SetItems(g.lists[slot], FrequencyModeItems(info.field, context));
    }
    g.txLabel->setText(UiText(kTxFrequencyText, lang));
  }
}

void FrmSetting::LoadControls() {
  Image& image = memory().image();
  // A refresh that changes what a control shows stores it, as a change by
  // the user would.
  RefreshOptions(image, m_shown);
  for (std::size_t i = 0; i < m_options.size(); ++i) ShowOption(i);
  const FreqModeContext context = Context();
  for (int group = 0; group < kFrequencyModeGroups; ++group) {
    RefreshFrequencyMode(image, group, m_groups[static_cast<std::size_t>(group)].shown, context);
    ShowGroup(group);
  }
}

void FrmSetting::ShowOption(std::size_t index) {
  const OptionControl& option = m_options[index];
  if (option.setting == nullptr) return;
  const std::optional<int> shown = m_shown.values[index];
  if (option.list != nullptr) Select(option.list, shown);
  if (option.check != nullptr) {
    const QSignalBlocker quiet(option.check);
    option.check->setChecked(shown.value_or(0) != 0);
  }
  if (option.upDown != nullptr) {
    const QSignalBlocker quiet(option.upDown);
    option.upDown->setValue(shown.value_or(0));
  }
  if (option.text != nullptr) {
    const Image& image = memory().image();
    const bool ani = option.setting->encoding == Encoding::DtmfString;
    option.text->setText(Q(ani ? ReadAniCode(image, *option.setting) : ReadPassword(image, *option.setting)));
  }
}

void FrmSetting::ShowGroup(int group) {
  FreqGroup& g = m_groups[static_cast<std::size_t>(group)];
  g.current->setText(Q(g.shown.current));
  for (std::size_t slot = 0; slot < kFreqModeFieldCount; ++slot) {
    if (g.lists[slot] != nullptr) Select(g.lists[slot], g.shown.lists[slot]);
  }
  ShowTxFrequency(group);
}

void FrmSetting::ShowTxFrequency(int group) {
  m_groups[static_cast<std::size_t>(group)].txFrequency->setText(
      Q(FrequencyModeText(memory().image(), group, F::TxFrequency, Context())));
}

// --- changes -------------------------------------------------------------------

void FrmSetting::ChangeOption(std::size_t index, int shown) {
  m_shown.values[index] = shown;
  const SettingSpec* setting = m_options[index].setting;
  Edit(
      OptionStep(setting), [setting, shown](Image& image) { EncodeSetting(image, *setting, shown); },
      OptionMergeKey(index));
}

void FrmSetting::TxtSet5_LostFocus(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kPasswordKeys))) return;
  EntryField* field = Option(kPasswordKeys[index]).text;
  const SettingSpec* setting = Option(kPasswordKeys[index]).setting;
  PasswordCommit commit{};
  Edit(OptionStep(setting),
       [&](Image& image) { commit = StorePassword(image, *setting, field->text().toStdString()); });
  if (commit.padded)
    prompter().tell(this, QMessageBox::Warning, kProgramTitle, UiText(kPasswordPaddedMessage, language()));
  field->setText(Q(commit.text));
}

void FrmSetting::CommitAniCode() {
  OptionControl& ani = Option("ani_code");
  const std::string code = ani.text->text().toStdString();
  Edit(OptionStep(ani.setting), [&](Image& image) { StoreAniCode(image, *ani.setting, code); });
  ani.text->setModified(false);
}

void FrmSetting::CommitCurrent(int group) {
  FreqGroup& g = m_groups[static_cast<std::size_t>(group)];
  const std::string text = g.current->text().toStdString();
  std::string note;
  Edit(FrequencyModeStep(group, F::Current),
       [&](Image& image) { note = ::orvex::CommitCurrent(image, group, g.shown, text, Context()); });
  g.current->setText(Q(g.shown.current));
  ShowTxFrequency(group);
  if (!note.empty()) emit noted(Q(note));
}

void FrmSetting::ChooseGroupItem(int group, FreqModeField field, int position) {
  Edit(
      FrequencyModeStep(group, field),
      [&](Image& image) {
        ChooseItem(image, group, m_groups[static_cast<std::size_t>(group)].shown, field, position, Context());
      },
      FrequencyModeMergeKey(group, field));
  ShowTxFrequency(group);
}

void FrmSetting::CommitEdit() {
  TxtSet5_LostFocus(0);
  TxtSet5_LostFocus(1);
  // Save and Write are chosen from menus and tool buttons that leave the
  // focus where it is, so a field still being typed into is stored here.
  for (int group = 0; group < kFrequencyModeGroups; ++group) {
    if (m_groups[static_cast<std::size_t>(group)].current->isModified()) CommitCurrent(group);
  }
  if (Option("ani_code").text->isModified()) CommitAniCode();
  Option("auto_reset_timer").upDown->interpretText();
}

// --- keys ------------------------------------------------------------------------

bool FrmSetting::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
      // Enter moves on as Tab does.
      QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
      QCoreApplication::sendEvent(watched, &tab);
      return true;
    }
  }
  return EditingWindow::eventFilter(watched, event);
}

// --- helpers ---------------------------------------------------------------------

FreqModeContext FrmSetting::Context() {
  const AppState& app = state();
  return FreqModeContext{
      .language = app.language, .separator = app.decimalSeparator, .toneList = app.toneList, .limits = app.limits};
}

FrmSetting::OptionControl& FrmSetting::Option(std::string_view key) {
  // Only keys of the settings table are asked for.
  return m_options[static_cast<std::size_t>(FindOptionSetting(key) - OptionSettings().data())];
}

namespace {
const EditingWindowRegistration kRegistration{kWinSetting,
                                              [](const EditingContext& context) { return new FrmSetting(context); }};
}  // namespace

}  // namespace orvex

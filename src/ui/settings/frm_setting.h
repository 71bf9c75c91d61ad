#pragma once

#include <array>
#include <vector>

#include "model/settings/frequency_mode.h"
#include "model/settings/option_settings.h"
#include "ui/main/editing_window.h"
#include "ui/main/prompter.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace orvex {

class EntryField;
class UpDownBox;

// `frmSetting`, the Optional Features window: every option setting and the
// two frequency modes (A and B).  It shows the image itself: each control is
// loaded by a refresh and written back the moment it changes (a list or
// check box at once, a text field when it is left, the auto reset timer on
// every value).  Closing it only hides it.
//
// Controls carry the program's names as object names; a member of an indexed
// control array is "Name_index" ("CboSet1_2", "TxtSet5_0", "UDOpSet_1"), the
// groups are "FraSet1".."FraSet9".  The read-only "TxtTxSet6" / "TxtTxSet7"
// show each group's stored transmit frequency.
class FrmSetting : public EditingWindow {
  Q_OBJECT

 public:
  explicit FrmSetting(const EditingContext& context, QWidget* parent = nullptr);
  ~FrmSetting() override;

  // ApplyCaptions, then LoadControls.
  void RefreshAll();
  // Leaving password entry `index` (0 "PWD of Mode Change", 1 "Reset
  // Password"): fewer than six digits are padded with zeros after a warning;
  // the digits are stored.
  void TxtSet5_LostFocus(int index);

  void Refresh() override { RefreshAll(); }
  // The save-all step: both passwords (0, then 1), and any other text field
  // typed into but not left yet, so a save keeps what was typed.
  void CommitEdit() override;
  [[nodiscard]] UserClose userClose() const override { return UserClose::Hide; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // One option setting and its controls.
  struct OptionControl {
    const SettingSpec* setting = nullptr;
    QLabel* label = nullptr;  // check boxes carry their own caption
    QComboBox* list = nullptr;
    QCheckBox* check = nullptr;
    EntryField* text = nullptr;
    UpDownBox* upDown = nullptr;
  };
  struct FreqGroup {
    QGroupBox* frame = nullptr;
    EntryField* current = nullptr;
    std::array<QLabel*, kFreqModeFieldCount> labels{};
    std::array<QComboBox*, kFreqModeFieldCount> lists{};
    QLabel* txLabel = nullptr;
    QLineEdit* txFrequency = nullptr;
    FrequencyModeShown shown;
  };

  // The option settings of the groups FraSet<first>..FraSet<last>.
  void BuildOptions(int firstFrame, int lastFrame);
  void BuildFrequencyGroup(int group, QGroupBox* frame);
  void WatchKeys(QWidget* control);

  void ApplyCaptions();
  void LoadControls();
  void ShowOption(std::size_t index);
  void ShowGroup(int group);
  void ShowTxFrequency(int group);

  void ChangeOption(std::size_t index, int shown);
  void CommitAniCode();
  void CommitCurrent(int group);
  void ChooseGroupItem(int group, FreqModeField field, int position);

  FreqModeContext Context();
  OptionControl& Option(std::string_view key);

  std::vector<OptionControl> m_options;  // in OptionSettings() order
  OptionsShown m_shown;
  std::array<FreqGroup, kFrequencyModeGroups> m_groups;
  std::array<QGroupBox*, 10> m_frames{};  // FraSet1..9 at their numbers
};

}  // namespace orvex

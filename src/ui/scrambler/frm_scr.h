#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <array>

#include "model/settings/scrambler.h"
#include "ui/main/editing_window.h"

namespace orvex {

class FrequencyField;

// `frmScr`, the Scrambler Frequency window: the eight scrambler groups with
// their frequencies.  Groups 1..7 are fixed; the frequency of group 8 is
// edited in `TxtFreq` 7 and stored when it is left or entered, and by
// SaveData.
class FrmScr : public EditingWindow {
  Q_OBJECT

 public:
  explicit FrmScr(const EditingContext& context, QWidget* parent = nullptr);
  ~FrmScr() override;

  // Captions in the current language and group 8 from the image (an
  // unprogrammed value shows 3700 Hz and is stored at once).
  void RefreshAll();
  // The frequency of group 8 into the image; an untouched field writes
  // nothing.
  void SaveData();

  void Refresh() override { RefreshAll(); }
  void Store() override { SaveData(); }
  void CommitEdit() override;
  [[nodiscard]] UserClose userClose() const override { return UserClose::StoreAndHide; }

  [[nodiscard]] QLineEdit* TxtFreq(int group) const { return m_txtFreq.at(group); }
  [[nodiscard]] QGroupBox* fraScr() const { return m_fraScr; }
  [[nodiscard]] QLabel* lblScr(int index) const { return m_lblScr.at(index); }

 private:
  // A frequency text into the image as one undoable step.
  void StoreFrequency(const std::string& text);

  QGroupBox* m_fraScr;
  std::array<QLabel*, 2> m_lblScr{};
  std::array<QLineEdit*, kScramblerGroups> m_txtFreq{};
  std::array<QLabel*, kScramblerGroups> m_lblGroup{};  // "1".."8", tied to their fields
  FrequencyField* m_group8;
};

}  // namespace orvex

#pragma once

#include <array>

#include "model/signalling/five_tone_table.h"
#include "ui/signalling/signalling_window.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace orvex {

class SignallingGrid;

// `frm5Tone`: the 5-Tone decode list (`Grid5Tone` with its editors `Cbo5T`
// and `Txt5T`), Respond Waiting Time and Fix Digit (`Cbo5Tone` 1 and 2), and
// the read-only frequency table of the standard chosen in `Cbo5Tone` 0
// (`txtTone` / `updTone` 0..15).  It touches the image only in RefreshAll
// and SaveData.
class Frm5Tone : public SignallingWindow {
  Q_OBJECT

 public:
  explicit Frm5Tone(const EditingContext& context, QWidget* parent = nullptr);

  // Captions in the current language, the two settings and the grid; the
  // reference standard stays as chosen.
  void RefreshAll() override;

  [[nodiscard]] SignallingGrid* grid() const { return m_grid; }
  // 0 reference standard, 1 Respond Waiting Time, 2 Fix Digit.
  [[nodiscard]] QComboBox* list(int index) const { return m_lists[static_cast<std::size_t>(index)]; }
  [[nodiscard]] QLineEdit* toneField(std::size_t symbol) const { return m_toneFields[symbol]; }
  [[nodiscard]] const FiveToneTable& table() const { return m_table; }

 protected:
  void StoreTable(Image& image) const override { m_table.SaveData(image); }
  [[nodiscard]] StepName WindowStep() const override;

 private:
  QGroupBox* MakeReferenceFrame();
  void ShowReference();

  FiveToneTable m_table;
  std::array<QGroupBox*, 2> m_frames{};
  std::array<QLabel*, 3> m_labels{};
  std::array<QComboBox*, 3> m_lists{};
  std::array<QLineEdit*, kToneSymbolCount> m_toneFields{};
  std::array<QScrollBar*, kToneSymbolCount> m_toneSpins{};
  SignallingGrid* m_grid = nullptr;
};

}  // namespace orvex

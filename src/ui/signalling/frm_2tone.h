#pragma once

#include <array>

#include "model/signalling/two_tone_table.h"
#include "ui/signalling/signalling_window.h"

class QGroupBox;

namespace orvex {

class SignallingGrid;

// `frm2Tone`: the 2-Tone Call List (`Grid2Tone` 0) and Decode list
// (`Grid2Tone` 1), each in its frame `fra2Tone` with its text editor
// `Txt2Tone`.  Each committed cell is stored at once as an undoable step.
class Frm2Tone : public SignallingWindow {
  Q_OBJECT

 public:
  explicit Frm2Tone(const EditingContext& context, QWidget* parent = nullptr);

  // Captions and headings in the current language, then both lists.
  void RefreshAll() override;

  [[nodiscard]] SignallingGrid* grid(TwoToneGrid which) const { return m_grids[static_cast<std::size_t>(which)]; }
  [[nodiscard]] QGroupBox* frame(TwoToneGrid which) const { return m_frames[static_cast<std::size_t>(which)]; }
  [[nodiscard]] const TwoToneTable& table() const { return m_table; }

 protected:
  void StoreTable(Image& image) const override { m_table.SaveData(image); }
  [[nodiscard]] StepName WindowStep() const override;

 private:
  static std::function<StepName(CellPos)> CellStep(TwoToneGrid which);

  TwoToneTable m_table;
  std::array<QGroupBox*, 2> m_frames{};
  std::array<SignallingGrid*, 2> m_grids{};
};

}  // namespace orvex

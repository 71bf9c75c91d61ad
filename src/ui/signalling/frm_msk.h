#pragma once

#include <array>

#include "model/signalling/msk_table.h"
#include "ui/signalling/signalling_window.h"

class QCheckBox;
class QGroupBox;

namespace orvex {

class SignallingGrid;

// `frmMSK`: the MSK Call List (`GridMSK` 0) and ID Code list (`GridMSK` 1),
// each in its frame `FraMSK` with its text editor `TxtMSK`, and the
// Repeater MSK Invert switch `ChkMsk`.  Each committed cell and the switch
// are stored at once as undoable steps.
class FrmMsk : public SignallingWindow {
  Q_OBJECT

 public:
  explicit FrmMsk(const EditingContext& context, QWidget* parent = nullptr);

  // Captions in the current language, both lists and the switch.
  void RefreshAll() override;

  [[nodiscard]] SignallingGrid* grid(MskGrid which) const { return m_grids[static_cast<std::size_t>(which)]; }
  [[nodiscard]] QGroupBox* frame(MskGrid which) const { return m_frames[static_cast<std::size_t>(which)]; }
  [[nodiscard]] QCheckBox* invertBox() const { return m_invert; }
  [[nodiscard]] const MskTable& table() const { return m_table; }

 protected:
  void StoreTable(Image& image) const override { m_table.SaveData(image); }
  [[nodiscard]] StepName WindowStep() const override;

 private:
  static std::function<StepName(CellPos)> CellStep(MskGrid which);

  MskTable m_table;
  std::array<QGroupBox*, 2> m_frames{};
  std::array<SignallingGrid*, 2> m_grids{};
  QCheckBox* m_invert = nullptr;
};

}  // namespace orvex

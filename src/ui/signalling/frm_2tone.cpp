#include "ui/signalling/frm_2tone.h"

#include <QGroupBox>
#include <QHBoxLayout>

#include "ui/signalling/signalling_grid.h"

namespace orvex {

std::function<StepName(CellPos)> Frm2Tone::CellStep(TwoToneGrid which) {
  return [which](CellPos cell) { return TwoToneCellStep(which, cell); };
}

StepName Frm2Tone::WindowStep() const {
  return TableStep<TwoToneTable>([](const TwoToneTable& table) { return table.captions().window; });
}

Frm2Tone::Frm2Tone(const EditingContext& context, QWidget* parent) : SignallingWindow(kWin2Tone, context, parent) {
  setObjectName("frm2Tone");
  auto* content = new QWidget;
  auto* layout = new QHBoxLayout(content);
  for (const TwoToneGrid which : {TwoToneGrid::CallList, TwoToneGrid::Decode}) {
    const int index = static_cast<int>(which);
    auto* grid = new SignallingGrid(MakeTwoToneGridTable(m_table, which), QStringLiteral("Txt2Tone%1").arg(index));
    grid->setObjectName(QStringLiteral("Grid2Tone%1").arg(index));
    m_grids[static_cast<std::size_t>(index)] = grid;
    AddGrid(grid, CellStep(which));
    m_frames[static_cast<std::size_t>(index)] = MakeFrame(QStringLiteral("fra2Tone%1").arg(index), grid);
    layout->addWidget(m_frames[static_cast<std::size_t>(index)], 1);
  }
  RefreshAll();
  InstallContent(content);
}

void Frm2Tone::RefreshAll() {
  m_table.Load(memory().image(), language());
  const TwoToneTable::Captions captions = m_table.captions();
  setWindowTitle(QString::fromStdString(captions.window));
  m_frames[0]->setTitle(QString::fromStdString(captions.callFrame));
  m_frames[1]->setTitle(QString::fromStdString(captions.decodeFrame));
  for (SignallingGrid* grid : m_grids) grid->Reload();
}

namespace {
const EditingWindowRegistration kRegistration{kWin2Tone,
                                              [](const EditingContext& context) { return new Frm2Tone(context); }};
}  // namespace

}  // namespace orvex

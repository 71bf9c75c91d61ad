#include "ui/signalling/frm_msk.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/signalling/signalling_grid.h"

namespace orvex {

std::function<StepName(CellPos)> FrmMsk::CellStep(MskGrid which) {
  return [which](CellPos cell) { return MskCellStep(which, cell); };
}

StepName FrmMsk::WindowStep() const {
  return TableStep<MskTable>([](const MskTable& table) { return table.captions().window; });
}

FrmMsk::FrmMsk(const EditingContext& context, QWidget* parent) : SignallingWindow(kWinMsk, context, parent) {
  setObjectName("frmMSK");
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  auto* lists = new QHBoxLayout;
  for (const MskGrid which : {MskGrid::CallList, MskGrid::IdCode}) {
    const int index = static_cast<int>(which);
    auto* grid = new SignallingGrid(MakeMskGridTable(m_table, which), QStringLiteral("TxtMSK%1").arg(index));
    grid->setObjectName(QStringLiteral("GridMSK%1").arg(index));
    m_grids[static_cast<std::size_t>(index)] = grid;
    AddGrid(grid, CellStep(which));
    m_frames[static_cast<std::size_t>(index)] = MakeFrame(QStringLiteral("FraMSK%1").arg(index), grid);
    lists->addWidget(m_frames[static_cast<std::size_t>(index)], 1, Qt::AlignTop);
  }
  layout->addLayout(lists);
  m_invert = new QCheckBox;
  m_invert->setObjectName("ChkMsk");
  EnterMovesFocus(m_invert);
  connect(m_invert, &QCheckBox::toggled, this, [this](bool on) {
    m_table.SetRepeaterInvert(on);
    StoreAsStep(MskInvertStep());
  });
  layout->addWidget(m_invert);
  layout->addStretch();
  RefreshAll();
  InstallContent(content);
}

void FrmMsk::RefreshAll() {
  m_table.Load(memory().image(), language());
  const MskTable::Captions captions = m_table.captions();
  setWindowTitle(QString::fromStdString(captions.window));
  m_frames[0]->setTitle(QString::fromStdString(captions.callFrame));
  m_frames[1]->setTitle(QString::fromStdString(captions.idFrame));
  m_invert->setText(QString::fromStdString(captions.invert));
  {
    const QSignalBlocker blocker(m_invert);
    m_invert->setChecked(m_table.repeaterInvert());
  }
  for (SignallingGrid* grid : m_grids) grid->Reload();
}

namespace {
const EditingWindowRegistration kRegistration{kWinMsk,
                                              [](const EditingContext& context) { return new FrmMsk(context); }};
}  // namespace

}  // namespace orvex

#include "ui/safety/frm_compare.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/main/cell_keys.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {
constexpr int kClose = 1689, kTitle = 1690, kWhat = 1691, kOpenCodeplug = 1692, kHint = 1696, kSame = 10168;
constexpr int kChannelRole = Qt::UserRole;
}  // namespace

FrmCompare::FrmCompare(const CodeplugDiff& diff, const QString& otherName, int language, QWidget* parent)
    : QDialog(parent), m_table(new QTableWidget(0, 3, this)) {
  setObjectName("frmCompare");
  setWindowTitle(UiText(kTitle, language) + QFileInfo(otherName).fileName());
  m_table->setObjectName("GridCompare");
  m_table->setHorizontalHeaderLabels(
      {UiText(kWhat, language), UiText(kOpenCodeplug, language), QFileInfo(otherName).fileName()});
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->verticalHeader()->hide();
  auto addRow = [this](const QString& what, const QString& open, const QString& other, int channel) {
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const QStringList cells = {what, open, other};
    for (int column = 0; column < cells.size(); ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      item->setData(kChannelRole, channel);
      m_table->setItem(row, column, item);
    }
  };
  for (const DiffRow& row : DiffTable(diff))
    addRow(QString::fromStdString(row.what), QString::fromStdString(row.before), QString::fromStdString(row.after),
           row.channel);
  m_table->resizeColumnsToContents();
  m_table->horizontalHeader()->setStretchLastSection(true);
  connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { GoTo(row); });
  m_table->installEventFilter(this);

  auto* close = new QPushButton(UiText(kClose, language), this);
  close->setObjectName("CmdClose");
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel(UiText(diff.empty() ? kSame : kHint, language), this), 1);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_table);
  layout->addLayout(buttons);
  resize(640, 460);
}

void FrmCompare::GoTo(int row) {
  const QTableWidgetItem* item = m_table->item(row, 0);
  const int channel = item != nullptr ? item->data(kChannelRole).toInt() : 0;
  if (channel > 0) emit channelRequested(channel);
}

bool FrmCompare::eventFilter(QObject* watched, QEvent* event) {
  // Enter on the list goes to the difference; it never reaches the Close
  // button, which the dialog would press for it.
  if (watched == m_table && event->type() == QEvent::KeyPress && IsEnterKey(static_cast<QKeyEvent*>(event))) {
    GoTo(m_table->currentRow());
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace orvex

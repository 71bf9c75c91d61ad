#include "ui/safety/frm_backups.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "codeplug/file_io.h"
#include "model/channels/channel_record.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {
constexpr int kTitle = 1680, kDate = 1681, kTime = 1682, kChannels = 1683, kSame = 1684, kYes = 1685, kNo = 1686,
              kOpen = 1687, kCompare = 1688, kClose = 1689, kNoBackups = 10169, kRadio = 1897, kPort = 1898,
              kMadeBy = 1899;

QString FromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

FrmBackups::FrmBackups(const std::vector<BackupEntry>& entries, const Image& open, int language, QWidget* parent)
    : QDialog(parent), m_entries(entries), m_table(new QTableWidget(static_cast<int>(entries.size()), 7, this)) {
  setObjectName("frmBackups");
  setWindowTitle(UiText(kTitle, language));
  m_table->setObjectName("GridBackups");
  m_table->setHorizontalHeaderLabels({UiText(kDate, language), UiText(kTime, language), UiText(kChannels, language),
                                      UiText(kSame, language), UiText(kRadio, language), UiText(kPort, language),
                                      UiText(kMadeBy, language)});
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->verticalHeader()->hide();
  for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
    const BackupEntry& entry = entries[static_cast<std::size_t>(row)];
    const QString stamp = QString::fromStdString(entry.stamp);
    const auto parsed = ReadCodeplugFile(entry.path.string());
    const bool readable = parsed && parsed->check == CodeplugCheck::Ok;
    int programmed = 0;
    if (readable)
      for (int n = ChannelOffset::kFirst; n <= ChannelOffset::kLast; ++n) programmed += IsProgrammed(parsed->image, n);
    const QStringList cells = {stamp.section(' ', 0, 0),
                               stamp.section(' ', 1, 1),
                               readable ? QString::number(programmed) : QStringLiteral("?"),
                               UiText(readable && parsed->image == open ? kYes : kNo, language),
                               QString::fromStdString(entry.origin.model),
                               QString::fromStdString(entry.origin.port),
                               FromView(BackupReasonText(entry.origin.reason, language))};
    for (int column = 0; column < cells.size(); ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      item->setToolTip(QString::fromStdString(entry.path.string()));
      m_table->setItem(row, column, item);
    }
  }
  m_table->resizeColumnsToContents();
  m_table->horizontalHeader()->setStretchLastSection(true);
  if (!entries.empty()) m_table->selectRow(0);
  connect(m_table, &QTableWidget::cellDoubleClicked, this,
          [this](int row) { Choose(row, BackupChoice::Action::Open); });

  auto* open_ = new QPushButton(UiText(kOpen, language), this);
  open_->setObjectName("CmdOpen");
  auto* compare = new QPushButton(UiText(kCompare, language), this);
  compare->setObjectName("CmdCompare");
  auto* close = new QPushButton(UiText(kClose, language), this);
  close->setObjectName("CmdClose");
  open_->setEnabled(!entries.empty());
  compare->setEnabled(!entries.empty());
  connect(open_, &QPushButton::clicked, this, [this] { Choose(m_table->currentRow(), BackupChoice::Action::Open); });
  connect(compare, &QPushButton::clicked, this,
          [this] { Choose(m_table->currentRow(), BackupChoice::Action::Compare); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(open_);
  buttons->addWidget(compare);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  if (entries.empty()) layout->addWidget(new QLabel(UiText(kNoBackups, language), this));
  layout->addWidget(m_table);
  layout->addLayout(buttons);
  resize(760, 420);
}

void FrmBackups::Choose(int row, BackupChoice::Action action) {
  if (row < 0 || row >= static_cast<int>(m_entries.size())) return;
  m_choice = {action, QString::fromStdString(m_entries[static_cast<std::size_t>(row)].path.string())};
  accept();
}

}  // namespace orvex

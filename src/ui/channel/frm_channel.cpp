#include "ui/channel/frm_channel.h"

#include <QDebug>
#include <QIcon>
#include <QItemSelectionModel>
#include <QScrollBar>

#include "model/channels/step_names.h"
#include "ui/channel/channel_commands.h"
#include "ui/channel/channel_grid.h"
#include "ui/main/twips.h"

namespace orvex {

namespace {
// Window size in twips (1/1440 inch).
constexpr int kWidthTwips = 12250;
constexpr int kHeightTwips = 6000;
// The step of a store that changes rows no commit stored.
constexpr int kChannelsStep = 1100;
}  // namespace

FrmChannel::FrmChannel(const EditingContext& context, QWidget* parent)
    : EditingWindow(kWinChannel, context, parent),
      m_table(context.state.language, context.state.decimalSeparator, context.state.limits),
      m_grid(new ChannelGrid(m_table, this)) {
  setObjectName("frmChannel");
  setWindowIcon(QIcon(QStringLiteral(":/ui/orvex.png")));
  setWidget(m_grid);
  connect(m_grid, &ChannelGrid::noted, this, &EditingWindow::noted);
  connect(m_grid, &ChannelGrid::committed, this, &FrmChannel::StoreCommittedCell);
  resize(TwipsToPixels(*this, kWidthTwips, kHeightTwips));
  InstallRowCommands();
}

void FrmChannel::RefreshChannel() {
  m_table.RefreshChannel(memory().image(), language());
  setWindowTitle(QString::fromStdString(m_table.Caption()));
  m_grid->Reload();
}

void FrmChannel::RefreshValues() {
  // Undo and redo keep the current cell, the selection and the scroll.
  const CellPos current = m_table.current();
  const std::vector<int> rows = SelectedRows();
  const int scrolled = m_grid->verticalScrollBar()->value();
  m_table.ChannelGridLoad(memory().image());
  m_table.SetCurrent(current);
  m_grid->Reload();
  if (rows.size() > 1) SelectRows(rows);
  m_grid->verticalScrollBar()->setValue(scrolled);
}

bool FrmChannel::StoreRow(Image& image, int row) const {
  const Status stored = StoreChannel(image, row, m_table.RowFields(row), m_table.language(), m_table.separator());
  // The grid only produces texts the store accepts; a row it cannot store
  // keeps what the image holds.
  if (!stored) qWarning("frmChannel: %s", stored.error().c_str());
  return stored.ok();
}

void FrmChannel::StoreCommittedCell(CellPos cell) {
  if (!IsChannelNumber(cell.row)) return;
  // A commit that left the row as the image holds it stores nothing: the
  // radio's own bytes stay as they are until the row is edited.
  if (m_table.RowFields(cell.row) == ReadChannel(memory().image(), cell.row, m_table.language(), m_table.separator()))
    return;
  Edit(ChannelCellStep(cell.row, cell.column), [this, row = cell.row](Image& image) { StoreRow(image, row); });
}

void FrmChannel::SaveData() {
  m_grid->CommitEdit();
  // Every row, as the grid shows it: a row the radio holds in a form the
  // grid cannot show (a tone of unknown kind) is stored as shown.
  Edit(TextStep(kChannelsStep), [this](Image& image) {
    for (int n = ChannelOffset::kFirst; n <= ChannelOffset::kLast; ++n) StoreRow(image, n);
  });
}

void FrmChannel::CommitEdit() { m_grid->CommitEdit(); }

namespace {

FrmChannel* ActiveChannelWindow(const CommandContext& frame) {
  // Only the window the user is in: Copy in another window is not ours.
  return qobject_cast<FrmChannel*>(frame.activeEditingWindow());
}

const EditingWindowRegistration kRegistration{kWinChannel,
                                              [](const EditingContext& context) { return new FrmChannel(context); }};
const MainCommandRegistration kCommands[] = {
    {"miPrint", &PrintChannelsCommand},         {"miPrintPreview", &PrintPreviewCommand},
    {"miImportCsv", &ImportChannelsCsvCommand}, {"miImportJson", &ImportCodeplugJsonCommand},
    {"miExportCsv", &ExportChannelsCsvCommand},
};

#define ORVEX_ROW_COMMAND(key)                                                                        \
  MainCommandRegistration {                                                                           \
    key, [](CommandContext& frame) { RunChannelRowCommand(QStringLiteral(key), frame); }, kWinChannel \
  }
const MainCommandRegistration kRowCommands[] = {
    ORVEX_ROW_COMMAND("miCut"),           ORVEX_ROW_COMMAND("miCopy"),           ORVEX_ROW_COMMAND("miPaste"),
    ORVEX_ROW_COMMAND("miInsertChannel"), ORVEX_ROW_COMMAND("miDeleteChannels"), ORVEX_ROW_COMMAND("miClearChannels"),
    ORVEX_ROW_COMMAND("miMoveUp"),        ORVEX_ROW_COMMAND("miMoveDown"),       ORVEX_ROW_COMMAND("miSortRx"),
    ORVEX_ROW_COMMAND("miSortName"),      ORVEX_ROW_COMMAND("miGoTo"),           ORVEX_ROW_COMMAND("miFind"),
    ORVEX_ROW_COMMAND("miFindNext"),
};
#undef ORVEX_ROW_COMMAND

}  // namespace

void RunChannelRowCommand(const QString& key, CommandContext& frame) {
  if (FrmChannel* window = ActiveChannelWindow(frame)) window->RunRowCommand(key);
}

}  // namespace orvex

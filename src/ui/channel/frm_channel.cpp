#include "ui/channel/frm_channel.h"

#include <QDebug>
#include <QIcon>
#include <QMdiArea>
#include <algorithm>

#include "ui/channel/channel_commands.h"
#include "ui/channel/channel_grid.h"
#include "ui/main/twips.h"

namespace orvex {

namespace {
// Window size in twips (1/1440 inch).
constexpr int kWidthTwips = 12250;
constexpr int kHeightTwips = 6000;
}  // namespace

FrmChannel::FrmChannel(const EditingContext& context, QWidget* parent)
    : EditingWindow(kWinChannel, context, parent),
      m_table(context.state.language, context.state.decimalSeparator, context.state.limits),
      m_grid(new ChannelGrid(m_table, this)) {
  setObjectName("frmChannel");
  setWindowIcon(QIcon(QStringLiteral(":/ui/orvex.png")));
  setWidget(m_grid);
  connect(m_grid, &ChannelGrid::noted, this, &EditingWindow::noted);
  resize(TwipsToPixels(*this, kWidthTwips, kHeightTwips));
}

void FrmChannel::showEvent(QShowEvent* event) {
  // A client area smaller than the window would hide the channel numbers
  // behind its scroll bars.
  if (QMdiArea* area = mdiArea(); area != nullptr && !m_fitted) {
    m_fitted = true;
    const QSize room = area->viewport()->size();
    resize(std::min(width(), room.width()), std::min(height(), room.height()));
    move(std::max(0, std::min(x(), room.width() - width())), std::max(0, std::min(y(), room.height() - height())));
  }
  EditingWindow::showEvent(event);
}

void FrmChannel::RefreshChannel() {
  m_table.RefreshChannel(memory().image(), language());
  setWindowTitle(QString::fromStdString(m_table.Caption()));
  m_grid->Reload();
}

void FrmChannel::SaveData() {
  m_grid->CommitEdit();
  // The grid only produces texts the store accepts; a row it cannot store
  // keeps what the image holds.
  if (const Status stored = m_table.SaveData(memory().image()); !stored)
    qWarning("frmChannel: %s", stored.error().c_str());
}

void FrmChannel::CommitEdit() { m_grid->CommitEdit(); }

namespace {
const EditingWindowRegistration kRegistration{kWinChannel,
                                              [](const EditingContext& context) { return new FrmChannel(context); }};
const MainCommandRegistration kCommands[] = {
    {"miPrint", &PrintChannelsCommand},
    {"miPrintPreview", &PrintPreviewCommand},
    {"miImportCsv", &ImportChannelsCsvCommand},
    {"miExportCsv", &ExportChannelsCsvCommand},
};
}  // namespace

}  // namespace orvex

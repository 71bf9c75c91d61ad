#include "ui/main/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <utility>

#include "ui/main/frm_com_port.h"
#include "ui/main/mdi_form1.h"
#include "ui/memorymap/frm_memory_map.h"

namespace orvex {

namespace {
bool Grab(QWidget& widget, const QString& path) {
  widget.show();
  widget.raise();
  QApplication::processEvents();
  return widget.grab().save(path);
}
}  // namespace

bool SaveScreenshots(MDIForm1& window, const QString& directory) {
  QDir().mkpath(directory);
  const QString suffix = window.state().language == 1 ? QStringLiteral("zh") : QStringLiteral("en");
  const QDir dir(directory);
  bool ok = Grab(window, dir.filePath(QStringLiteral("main_%1.png").arg(suffix)));

  const auto port = window.CreatePortDialog();
  ok = Grab(*port, dir.filePath(QStringLiteral("port_%1.png").arg(suffix))) && ok;
  port->hide();

  // Every editing window the program has, each on its own.
  static constexpr std::pair<WindowBit, const char*> kWindows[] = {
      {kWinSetting, "settings"}, {kWinKey, "key"},   {kWinScrambler, "scrambler"},
      {kWin2Tone, "2tone"},      {kWin5Tone, "5tone"}, {kWinMsk, "msk"}};
  for (const auto& [bit, name] : kWindows) {
    window.OpenEditingWindow(bit);
    if (EditingWindow* editing = window.editingWindow(bit)) {
      ok = Grab(*editing, dir.filePath(QStringLiteral("%1_%2.png").arg(QLatin1String(name), suffix))) && ok;
    }
  }

  FrmMemoryMap map(window.memory(), &window);
  map.grid()->setCurrentIndex(map.model()->index(1, 0));
  ok = Grab(map, dir.filePath(QStringLiteral("memorymap_%1.png").arg(suffix))) && ok;
  map.hide();
  return ok;
}

}  // namespace orvex

// orvex: the desktop programming software.
//   orvex [FILE.tw] [--demo] [--lang en|zh] [--screenshot DIR]
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string_view>

#include "core/frequency.h"
#include "core/version.h"
#include "ui/main/demo_radio.h"
#include "ui/main/mdi_form1.h"
#include "ui/main/screenshots.h"

namespace {
// --help and --version only print, so they need no display (man pages are
// made from --help at build time, often on a machine without one).
bool OnlyPrints(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version") return true;
  }
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  const std::unique_ptr<QCoreApplication> app = OnlyPrints(argc, argv) ? std::make_unique<QCoreApplication>(argc, argv)
                                                                       : std::make_unique<QApplication>(argc, argv);
  orvex::UseCNumericLocale();
  QApplication::setApplicationName("orvex");
  QApplication::setApplicationVersion(QString::fromStdString(orvex::VersionText()));
  // Ties the windows to the menu entry (and its icon) on Wayland.
  QApplication::setDesktopFileName("org.orvex.Orvex");

  QCommandLineParser parser;
  parser.setApplicationDescription("Programming software for the ORVEX handheld radio.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("file", "A codeplug (.tw) to open after start-up.", "[FILE.tw]");
  const QCommandLineOption demo("demo", "Start the virtual radio and use it as the port for this run.");
  const QCommandLineOption language("lang", "Switch the language (en or zh) as the Language menu does.", "en|zh");
  const QCommandLineOption screenshot("screenshot", "Save screenshots into DIR and quit.", "DIR");
  QCommandLineOption reportShown("report-shown", "Print the milliseconds until the window is shown and quit.");
  reportShown.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOptions({demo, language, screenshot, reportShown});
  parser.process(*app);

  orvex::DemoRadio radio;
  QString demoDevice;
  if (parser.isSet(demo)) {
    const auto device = radio.Start(QDir(QApplication::applicationDirPath()).filePath("orvex-sim"));
    if (device) {
      demoDevice = *device;
    } else {
      std::fprintf(stderr, "orvex: --demo: %s\n", device.error().c_str());
    }
  }

  orvex::MDIForm1 window;
  if (parser.isSet(language)) window.Dispatch(parser.value(language) == "zh" ? "miChinese" : "miEnglish");
  if (!demoDevice.isEmpty()) window.state().portDevice = demoDevice.toStdString();
  window.resize(1024, 720);
  window.show();
  if (!parser.positionalArguments().isEmpty()) window.OpenFilePath(parser.positionalArguments().constFirst());

  if (parser.isSet(reportShown)) {
    QTimer::singleShot(0, &window, [&] {
      std::printf("shown %lld\n", static_cast<long long>(sinceStart.elapsed()));
      std::fflush(stdout);
      QApplication::quit();  // a measuring run asks nothing and stores nothing
    });
  }
  if (parser.isSet(screenshot)) {
    QTimer::singleShot(200, &window, [&] {
      const bool ok = orvex::SaveScreenshots(window, parser.value(screenshot));
      QApplication::exit(ok ? 0 : 1);
    });
  }
  return QApplication::exec();
}

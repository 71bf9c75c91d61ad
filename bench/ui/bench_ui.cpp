// Prints how long the desktop program takes to show its main window (from
// process start, `orvex --report-shown` run as a child) and to open the
// memory map editor (in process).  Targets: under 300 ms and under 100 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ui/main/mdi_form1.h"
#include "ui/memorymap/frm_memory_map.h"

namespace {

constexpr int kStartRuns = 10;
constexpr int kMapRuns = 20;

struct Figures {
  double median, best, worst;
};

Figures Summarise(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return {values[values.size() / 2], values.front(), values.back()};
}

void Print(const char* what, const Figures& f, double target) {
  std::printf("%-34s median %7.1f ms   best %7.1f ms   worst %7.1f ms   target < %.0f ms  %s\n", what, f.median, f.best,
              f.worst, target, f.median < target ? "ok" : "SLOW");
}

// Wall time from starting the process to the line it prints once shown.
std::vector<double> StartUpTimes(const QString& configDir) {
  std::vector<double> times;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CONFIG_HOME", configDir);
  for (int run = 0; run < kStartRuns; ++run) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(ORVEX_BIN_DIR "/orvex"), {"--report-shown"});
    while (!process.canReadLine() && process.waitForReadyRead(10000)) {
    }
    const double elapsed = double(clock.nsecsElapsed()) / 1e6;
    if (!process.readLine().startsWith("shown")) {
      std::fprintf(stderr, "bench_ui: orvex did not report its window\n");
      return {};
    }
    times.push_back(elapsed);
    process.waitForFinished(5000);
  }
  return times;
}

std::vector<double> MemoryMapTimes(orvex::MDIForm1& window) {
  std::vector<double> times;
  for (int run = 0; run < kMapRuns; ++run) {
    QElapsedTimer clock;
    clock.start();
    orvex::FrmMemoryMap map(window.memory(), &window);
    map.show();
    QCoreApplication::processEvents();
    map.repaint();
    times.push_back(double(clock.nsecsElapsed()) / 1e6);
  }
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  // Without a display the figures are taken offscreen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);

  const std::vector<double> start = StartUpTimes(config.path());
  if (start.empty()) return 1;
  Print("process start to main window shown", Summarise(start), 300);

  orvex::MDIForm1 window;
  window.show();
  QCoreApplication::processEvents();
  Print("open the memory map", Summarise(MemoryMapTimes(window)), 100);
  window.memory().SaveSnapshot();
  return 0;
}

// Prints how long the desktop program takes to show its main window (from
// process start, `orvex --report-shown` run as a child) and to open the
// memory map editor (in process), targets under 300 ms and under 100 ms;
// then the longest stall of the event loop during a Read from orvex-sim on a
// pseudo-terminal, a paste of 128 channels and a language switch, goal none
// over 16 ms (one frame at 60 Hz).
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "model/channels/channel_record.h"
#include "ui/channel/frm_channel.h"
#include "ui/main/demo_radio.h"
#include "ui/main/mdi_form1.h"
#include "ui/main/prompter.h"
#include "ui/memorymap/frm_memory_map.h"

namespace {

constexpr int kStartRuns = 10;
constexpr int kMapRuns = 20;
constexpr int kStallRuns = 5;
constexpr double kStallGoalMs = 16;

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

// Answers without a box: OK where offered, otherwise Cancel; every dialog
// and file chooser is cancelled.
class QuietPrompter : public orvex::Prompter {
 public:
  QMessageBox::StandardButton ask(QWidget*, QMessageBox::Icon, const QString&, const QString&,
                                  QMessageBox::StandardButtons buttons, QMessageBox::StandardButton) override {
    return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Cancel;
  }
  bool offer(QWidget*, QMessageBox::Icon, const QString&, const QString&, const QString&) override { return false; }
  QString openFileName(QWidget*, const QString&) override { return {}; }
  QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
  int exec(QDialog&) override { return 0; }
};

// The main thread's CPU time, to tell its own work from waiting for a CPU
// on a busy machine.
qint64 ThreadCpuNs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Stall {
  double wallMs;  // the longest gap between ticks
  double cpuMs;   // the most CPU time the main thread spent in one gap
};

// The longest the event loop went without running a 1 ms precise timer.
// While the loop is free the ticks come about every millisecond, so the
// longest gap between two ticks (or between the start or end and a tick) is
// the longest the GUI could not have answered the user.  `work` is started
// from inside the loop, which then runs until `done` and a further 50 ms, so
// work the command only schedules is counted too.
Stall LongestStall(const std::function<void()>& work, const std::function<bool()>& done) {
  QElapsedTimer clock;
  qint64 lastWall = 0;
  qint64 lastCpu = ThreadCpuNs();
  Stall longest{0, 0};
  const auto tick = [&] {
    const qint64 wall = clock.nsecsElapsed();
    const qint64 cpu = ThreadCpuNs();
    longest.wallMs = std::max(longest.wallMs, double(wall - lastWall) / 1e6);
    longest.cpuMs = std::max(longest.cpuMs, double(cpu - lastCpu) / 1e6);
    lastWall = wall;
    lastCpu = cpu;
  };
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  ticker.setInterval(1);
  QObject::connect(&ticker, &QTimer::timeout, tick);
  clock.start();
  ticker.start();
  QTimer::singleShot(0, work);
  QElapsedTimer limit;
  limit.start();
  while (!done() && limit.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QElapsedTimer tail;
  tail.start();
  while (tail.elapsed() < 50) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  tick();
  return longest;
}

void PrintStall(const char* what, const std::vector<Stall>& stalls) {
  if (stalls.empty()) {
    std::printf("%-34s not measured\n", what);
    return;
  }
  std::vector<double> wall;
  std::vector<double> cpu;
  for (const Stall& stall : stalls) {
    wall.push_back(stall.wallMs);
    cpu.push_back(stall.cpuMs);
  }
  const Figures w = Summarise(wall);
  const Figures c = Summarise(cpu);
  std::printf("%-34s median %7.1f ms   best %7.1f ms   worst %7.1f ms   goal <= %.0f ms  %s\n", what, w.median, w.best,
              w.worst, kStallGoalMs, w.worst <= kStallGoalMs ? "ok" : "OVER");
  std::printf("%-34s median %7.1f ms   best %7.1f ms   worst %7.1f ms   (main thread CPU in one gap)\n", "", c.median,
              c.best, c.worst);
}

// Reads the whole codeplug from orvex-sim (at full speed, so the replies
// arrive as fast as the pseudo-terminal carries them).
std::vector<Stall> ReadStalls(orvex::MDIForm1& window) {
  orvex::DemoRadio radio;
  const auto device = radio.Start(QStringLiteral(ORVEX_BIN_DIR "/orvex-sim"), {"--fast"});
  if (!device) {
    std::fprintf(stderr, "bench_ui: orvex-sim did not start: %s\n", device.error().c_str());
    return {};
  }
  window.state().portDevice = device->toStdString();
  std::vector<Stall> stalls;
  for (int run = 0; run < kStallRuns; ++run) {
    bool ended = false;
    const auto connection = QObject::connect(&window, &orvex::MDIForm1::transferEnded, [&ended] { ended = true; });
    stalls.push_back(LongestStall([&window] { window.Dispatch("miRead"); }, [&ended] { return ended; }));
    QObject::disconnect(connection);
    if (!ended) {
      std::fprintf(stderr, "bench_ui: the Read did not end\n");
      return {};
    }
  }
  return stalls;
}

// Copies all 128 channels, then pastes them onto a blank codeplug.
std::vector<Stall> PasteStalls(orvex::MDIForm1& window) {
  orvex::Image full = orvex::BlankImage();
  for (int n = 1; n <= 128; ++n) {
    const std::string rx = std::to_string(144000 + n * 25) + "00";  // 144.025 MHz up, in 10 Hz steps
    (void)orvex::StoreChannel(full, n, orvex::NewChannelFields(rx.substr(0, 3) + "." + rx.substr(3), 0), 0);
  }
  window.Dispatch("miChannel");
  auto* channels = qobject_cast<orvex::FrmChannel*>(window.editingWindow(orvex::kWinChannel));
  if (channels == nullptr) {
    std::fprintf(stderr, "bench_ui: no channel window\n");
    return {};
  }
  std::vector<int> all(128);
  for (int n = 1; n <= 128; ++n) all[std::size_t(n - 1)] = n;
  std::vector<Stall> stalls;
  for (int run = 0; run < kStallRuns; ++run) {
    const auto load = [&window](const orvex::Image& image) {
      window.memory().image() = image;
      window.memory().SaveSnapshot();
      window.RefreshAll();
    };
    load(full);
    channels->SelectRows(all);
    channels->CopyRows();
    load(orvex::BlankImage());
    channels->SelectRows({1});
    bool pasted = false;
    stalls.push_back(LongestStall(
        [&] {
          channels->PasteRows();
          pasted = true;
        },
        [&pasted] { return pasted; }));
    if (window.memory().image() != full) {
      std::fprintf(stderr, "bench_ui: the paste did not fill the channels\n");
      return {};
    }
  }
  return stalls;
}

// Chinese and back with every editing window open.
std::vector<Stall> LanguageStalls(orvex::MDIForm1& window) {
  for (const char* command : {"miChannel", "miKeySet", "miCommonSet", "miScr", "miMSK", "mi2Tone", "mi5Tone"})
    window.Dispatch(command);
  std::vector<Stall> stalls;
  for (int run = 0; run < kStallRuns; ++run) {
    for (const char* command : {"miChinese", "miEnglish"}) {
      bool switched = false;
      stalls.push_back(LongestStall(
          [&] {
            window.Dispatch(command);
            switched = true;
          },
          [&switched] { return switched; }));
    }
  }
  return stalls;
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
  // The offscreen platform warns on every window shown; the figures matter.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints"))) qt_message_output(type, context, message);
  });
  QApplication app(argc, argv);

  const std::vector<double> start = StartUpTimes(config.path());
  if (start.empty()) return 1;
  Print("process start to main window shown", Summarise(start), 300);

  QuietPrompter prompter;
  orvex::MDIForm1 window(&prompter);
  window.setBackupFolder((config.path() + "/backups").toStdString());
  window.resize(1280, 900);
  window.show();
  QCoreApplication::processEvents();
  Print("open the memory map", Summarise(MemoryMapTimes(window)), 100);

  PrintStall("longest stall: Read", ReadStalls(window));
  PrintStall("longest stall: paste 128 channels", PasteStalls(window));
  PrintStall("longest stall: language switch", LanguageStalls(window));
  window.memory().SaveSnapshot();
  return 0;
}

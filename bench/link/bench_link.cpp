// bench_link: a full Read and a full Write through the real driver against
// orvex-sim with wire pacing on, compared with what the wire allows; then
// both again with the link trace recording (its text made afterwards).
//   bench_link [PATH-TO-orvex-sim]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "cpu_seconds.h"
#include "link/clone_transfer.h"

namespace {

using orvex::CloneDirection;
using orvex::CloneTransfer;
using orvex::RadioMemory;

constexpr double kBitsPerByte = 10.0;  // start, 8 data bits, stop
constexpr double kBaud = 9600.0;
constexpr double kPauseSeconds = 0.001;

struct LogFigures {
  long bytes = 0;
  long frames = 0;
  double medianGapMs = 0;
  double meanGapMs = 0;
  double radioLateMs = 0;  // mean time the replies ended after the wire allowed
};

// The simulator's log: "<seconds> rx|tx <hex bytes>", rx stamped at a
// frame's first byte, tx at a reply's last.
LogFigures ReadLog(const QString& path) {
  LogFigures figures;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return figures;
  std::vector<double> gaps;
  double lastReply = -1;
  double frameStart = 0;
  long frameBytes = 0;
  double late = 0;
  long replies = 0;
  while (!file.atEnd()) {
    const QList<QByteArray> fields = file.readLine().trimmed().split(' ');
    if (fields.size() < 2) continue;
    const double when = fields[0].toDouble();
    const bool rx = fields[1] == "rx", tx = fields[1] == "tx";
    if (!rx && !tx) continue;
    figures.bytes += fields.size() - 2;
    if (rx) {
      ++figures.frames;
      if (lastReply >= 0) gaps.push_back((when - lastReply) * 1e3);
      frameStart = when;
      frameBytes = fields.size() - 2;
    } else {
      lastReply = when;
      const double wireEnd = frameStart + (frameBytes + fields.size() - 2) * kBitsPerByte / kBaud;
      late += when - wireEnd;
      ++replies;
    }
  }
  if (!gaps.empty()) {
    std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
    figures.medianGapMs = gaps[gaps.size() / 2];
    double sum = 0;
    for (const double gap : gaps) sum += gap;
    figures.meanGapMs = sum / static_cast<double>(gaps.size());
  }
  if (replies > 0) figures.radioLateMs = late * 1e3 / static_cast<double>(replies);
  return figures;
}

bool Measure(const QString& simProgram, CloneDirection direction, bool traced) {
  QTemporaryDir dir;
  const QString log = dir.filePath("sim.log");
  QProcess sim;
  sim.start(simProgram, {"--log", log});
  if (!sim.waitForStarted() || !sim.waitForReadyRead(5000)) {
    std::fprintf(stderr, "bench_link: cannot start %s\n", qPrintable(simProgram));
    return false;
  }
  const QString device = QString::fromUtf8(sim.readLine()).trimmed();

  RadioMemory memory;
  CloneTransfer transfer;
  orvex::LinkTrace trace;
  if (traced) {
    trace.Begin("bench");
    transfer.setTrace(&trace);
  }
  QEventLoop loop;
  bool completed = false;
  QObject::connect(&transfer, &CloneTransfer::completed, [&] { completed = true; });
  QObject::connect(&transfer, &CloneTransfer::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(60000, &loop, &QEventLoop::quit);
  const double cpuBefore = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  transfer.start(direction, device, memory);
  loop.exec();
  const double wallSeconds = wall.nsecsElapsed() / 1e9;
  const double cpuSeconds = CpuSeconds() - cpuBefore;
  sim.terminate();
  sim.waitForFinished();
  if (!completed) {
    std::fprintf(stderr, "bench_link: the transfer did not complete\n");
    return false;
  }

  QElapsedTimer textTime;
  textTime.start();
  const std::size_t traceBytes = traced ? trace.Text().size() : 0;
  const double textMs = textTime.nsecsElapsed() / 1e6;

  const LogFigures figures = ReadLog(log);
  const double wireFloor = figures.bytes * kBitsPerByte / kBaud;
  const double protocolFloor = wireFloor + figures.frames * kPauseSeconds;
  std::printf(
      "%-5s  wall %.3f s  wire floor %.3f s (%ld bytes)  wall/wire %.4f  protocol floor %.3f s (%ld frames)"
      "  wall/protocol %.4f  median reply-to-frame %.3f ms (mean %.3f)  simulator late %.3f ms/reply"
      "  driver CPU %.3f s (%.1f%% of wall)",
      direction == CloneDirection::Read ? (traced ? "Read+trace" : "Read") : (traced ? "Write+trace" : "Write"),
      wallSeconds, wireFloor, figures.bytes, wallSeconds / wireFloor, protocolFloor, figures.frames,
      wallSeconds / protocolFloor, figures.medianGapMs, figures.meanGapMs, figures.radioLateMs, cpuSeconds,
      100.0 * cpuSeconds / wallSeconds);
  if (traced) std::printf("  trace text %zu bytes in %.3f ms after the transfer", traceBytes, textMs);
  std::printf("\n");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString sim = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ORVEX_BIN_DIR "/orvex-sim");
  bool ok = true;
  for (const bool traced : {false, true})
    ok = ok && Measure(sim, CloneDirection::Read, traced) && Measure(sim, CloneDirection::Write, traced);
  return ok ? 0 : 1;
}

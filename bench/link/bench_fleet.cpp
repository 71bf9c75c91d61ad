// bench_fleet: eight virtual radios written and verified at once against one
// radio alone, at wire speed, through the real driver on one event loop.
//   bench_fleet [PATH-TO-orvex-sim] [RADIOS]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "cpu_seconds.h"
#include "fleet/fleet_run.h"

namespace {

using orvex::FleetJob;
using orvex::FleetRun;

constexpr int kDefaultRadios = 8;

struct Figures {
  double wall = 0, cpu = 0;
  int succeeded = 0;
};

// Writes and verifies `count` radios at once; nullopt when they did not start.
std::optional<Figures> Measure(const QString& simProgram, int count) {
  QTemporaryDir dir;
  const QString prefix = dir.filePath("r");
  QProcess sim;
  sim.start(simProgram, {"--count", QString::number(count), "--link", prefix});
  if (!sim.waitForStarted()) return std::nullopt;
  QStringList ports;
  for (int k = 1; k <= count; ++k) ports << prefix + QString::number(k);
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 10000 &&
         !std::all_of(ports.begin(), ports.end(), [](const QString& p) { return QFileInfo::exists(p); }))
    QThread::msleep(20);

  FleetJob job;
  job.image = orvex::BlankImage();
  job.verify = true;
  job.retries = 0;
  FleetRun run(job);
  QEventLoop loop;
  QObject::connect(&run, &FleetRun::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(120000, &loop, &QEventLoop::quit);
  const double cpuBefore = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  run.start(ports);
  loop.exec();
  Figures figures{wall.nsecsElapsed() / 1e9, CpuSeconds() - cpuBefore, run.succeeded()};
  sim.terminate();
  sim.waitForFinished();
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString sim = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ORVEX_BIN_DIR "/orvex-sim");
  const int radios = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultRadios;
  const auto one = Measure(sim, 1);
  const auto many = Measure(sim, radios);
  if (!one || !many) {
    std::fprintf(stderr, "bench_fleet: cannot start %s\n", qPrintable(sim));
    return 1;
  }
  std::printf("1 radio   write+verify  wall %.3f s  driver CPU %.3f s (%.1f%% of wall)  %d succeeded\n", one->wall,
              one->cpu, 100.0 * one->cpu / one->wall, one->succeeded);
  std::printf("%d radios  write+verify  wall %.3f s  driver CPU %.3f s (%.1f%% of wall)  %d succeeded\n", radios,
              many->wall, many->cpu, 100.0 * many->cpu / many->wall, many->succeeded);
  std::printf("ratio %d radios / 1 radio: %.3fx (goal <= 1.1x)\n", radios, many->wall / one->wall);
  return one->succeeded == 1 && many->succeeded == radios ? 0 : 1;
}

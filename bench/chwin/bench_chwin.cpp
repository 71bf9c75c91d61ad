// RefreshChannel of a fully programmed image and SaveData of 128 channels,
// for the channel table alone and for the Channel Information window.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "core/app_state.h"
#include "model/channel_table.h"
#include "model/channel_test_util.h"
#include "ui/channel/frm_channel.h"

namespace {

using namespace orvex;

// Every channel programmed with tones, a name and signalling.
Image FullImage() {
  Image image = test::Blank();
  const auto tones = BuildToneList("None");
  for (int n = 1; n <= 128; ++n) {
    test::RawChannel channel;
    channel.rx = 14000000 + static_cast<FreqUnits>(n) * 2500;
    channel.tx = channel.rx + 60000;
    channel.decodeTone = tones[static_cast<std::size_t>(n) % tones.size()];
    channel.encodeTone = tones[static_cast<std::size_t>(n * 7) % tones.size()];
    channel.flagsA = static_cast<std::uint8_t>(0xF0 | (n % 2 == 0 ? 4 : 2));
    channel.flagsB = static_cast<std::uint8_t>(n % 8);
    channel.name = "CH" + std::to_string(n);
    test::PutChannel(image, n, channel);
  }
  return image;
}

void BM_TableRefreshChannel(benchmark::State& state) {
  const Image image = FullImage();
  ChannelTable table;
  for (auto _ : state) {
    table.RefreshChannel(image, 0);
    benchmark::DoNotOptimize(table.Cell(128, kColName));
  }
}
BENCHMARK(BM_TableRefreshChannel)->Unit(benchmark::kMillisecond);

void BM_TableSaveData(benchmark::State& state) {
  Image image = FullImage();
  ChannelTable table;
  table.ChannelGridLoad(image);
  for (auto _ : state) {
    const Status stored = table.SaveData(image);
    benchmark::DoNotOptimize(stored.ok());
  }
}
BENCHMARK(BM_TableSaveData)->Unit(benchmark::kMillisecond);

// The window: the table, the caption and every visible cell repainted.
struct Window {
  RadioMemory memory;
  AppState appState;
  FrmChannel window{EditingContext{memory, appState}};
  Window() {
    memory.image() = FullImage();
    window.resize(1200, 800);
    window.show();
  }
};

void BM_WindowRefreshChannel(benchmark::State& state) {
  Window w;
  for (auto _ : state) {
    w.window.RefreshChannel();
    w.window.repaint();
  }
}
BENCHMARK(BM_WindowRefreshChannel)->Unit(benchmark::kMillisecond);

void BM_WindowSaveData(benchmark::State& state) {
  Window w;
  w.window.RefreshChannel();
  for (auto _ : state) w.window.SaveData();
}
BENCHMARK(BM_WindowSaveData)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

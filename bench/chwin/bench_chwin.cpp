// RefreshChannel of a fully programmed image and SaveData of 128 channels,
// for the channel table alone and for the Channel Information window; the
// row operations on 128 channels (paste and its undo, sort), for the model
// alone and for the window as a user waits for it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <numeric>

#include "core/app_state.h"
#include "model/channel_test_util.h"
#include "model/channels/channel_rows.h"
#include "model/channels/channel_table.h"
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

std::vector<int> AllRows() {
  std::vector<int> rows(128);
  std::iota(rows.begin(), rows.end(), 1);
  return rows;
}

void BM_ModelPaste128AndUndo(benchmark::State& state) {
  Image image = FullImage();
  const auto channels = CopyChannels(test::RandomChannelImage(1), AllRows());
  EditHistory history;
  for (auto _ : state) {
    history.Change(image, {}, [&](Image& i) { PasteChannels(i, 1, channels); });
    history.Undo(image);
  }
}
BENCHMARK(BM_ModelPaste128AndUndo)->Unit(benchmark::kMillisecond);

void BM_ModelSort128(benchmark::State& state) {
  const Image image = test::RandomChannelImage(2);
  const std::vector<int> rows = AllRows();
  for (auto _ : state) {
    Image sorted = image;
    SortChannels(sorted, rows, ChannelSortKey::RxFrequency);
    benchmark::DoNotOptimize(sorted.data());
  }
}
BENCHMARK(BM_ModelSort128)->Unit(benchmark::kMillisecond);

// The window: the table, the caption and every visible cell repainted.
struct Window {
  RadioMemory memory;
  AppState appState;
  EditHistory history;
  FrmChannel window{EditingContext{memory, appState, &history}};
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

// Paste 128 channels from the clipboard over channel 1, then undo it; each
// with the grid reloaded and repainted.
void BM_WindowPaste128AndUndo(benchmark::State& state) {
  Window w;
  w.window.RefreshChannel();
  const std::string clip = EncodeChannelClip(CopyChannels(test::RandomChannelImage(3), AllRows()));
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kChannelClipMime.data()), QByteArray(clip.data(), qsizetype(clip.size())));
  QGuiApplication::clipboard()->setMimeData(data);
  for (auto _ : state) {
    w.window.SelectRows({1});
    w.window.PasteRows();
    w.window.repaint();
    w.history.Undo(w.memory.image());
    w.window.RefreshValues();
    w.window.repaint();
  }
}
BENCHMARK(BM_WindowPaste128AndUndo)->Unit(benchmark::kMillisecond);

// Sort every channel by Rx frequency (the undo between runs is not timed).
void BM_WindowSort128(benchmark::State& state) {
  Window w;
  w.memory.image() = test::RandomChannelImage(4);
  w.window.RefreshChannel();
  for (auto _ : state) {
    w.window.SelectRows(AllRows());
    w.window.SortRows(ChannelSortKey::RxFrequency);
    w.window.repaint();
    state.PauseTiming();
    w.history.Undo(w.memory.image());
    w.window.RefreshValues();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WindowSort128)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

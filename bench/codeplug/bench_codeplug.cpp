// How long packing, unpacking and a save + open of a codeplug take, for the
// blank image and a fully programmed one.  Figures only; nothing is judged.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "codeplug/file_io.h"
#include "test_images.h"

namespace orvex {
namespace {

Image ImageFor(const benchmark::State& state) { return state.range(0) == 0 ? BlankImage() : test::VariedImage(); }
const char* NameFor(const benchmark::State& state) { return state.range(0) == 0 ? "blank" : "full"; }

void BM_Encode(benchmark::State& state) {
  const Bytes plain = PlainImage(ImageFor(state));
  std::size_t packedSize = 0;
  for (auto _ : state) {
    Bytes packed = Encode(plain);
    packedSize = packed.size();
    benchmark::DoNotOptimize(packed.data());
  }
  state.SetLabel(std::string(NameFor(state)) + ", " + std::to_string(packedSize) + " bytes packed");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plain.size()));
}

void BM_Decode(benchmark::State& state) {
  const Bytes packed = PackCodeplug(ImageFor(state));
  for (auto _ : state) {
    auto plain = Decode(packed);
    benchmark::DoNotOptimize(plain.value().data());
  }
  state.SetLabel(std::string(NameFor(state)) + ", " + std::to_string(packed.size()) + " bytes packed, " +
                 std::to_string(packed.back()) + " passes");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPlainImageSize));
}

void BM_SaveAndOpen(benchmark::State& state) {
  QTemporaryDir dir;
  if (!dir.isValid()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = dir.filePath("bench.tw").toStdString();
  const Image image = ImageFor(state);
  RadioMemory memory;
  for (auto _ : state) {
    if (!WriteCodeplugFile(path, image).ok()) {
      state.SkipWithError("save failed");
      break;
    }
    auto parsed = ReadCodeplugFile(path);
    if (!parsed.ok() || !LoadParsedCodeplug(memory, *parsed)) {
      state.SkipWithError("open failed");
      break;
    }
  }
  state.SetLabel(NameFor(state));
}

BENCHMARK(BM_Encode)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Decode)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveAndOpen)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvex

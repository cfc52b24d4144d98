// Speed of every form of the scan, of the dispatched scan and of a floor that
// only reads what the scan reads, on the common frame sizes. Compare figures
// from one run only: `scan_bench --benchmark_format=json`.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "scan_floor.h"
#include "scan_paths.h"

namespace vorlith::bench {
namespace {

struct Geometry {
  std::int32_t width;
  std::int32_t height;
};

// A frame-like plane: 64-byte aligned rows, noisy fields of two levels, so
// that about half the blocks comb.
class BenchPlane {
 public:
  explicit BenchPlane(Geometry g)
      : pitch_((g.width + 63) & ~63),
        storage_(static_cast<std::uint8_t*>(
                     std::aligned_alloc(64, static_cast<std::size_t>(pitch_) * g.height)),
                 std::free) {
    std::mt19937 rng(1);
    for (std::int64_t r = 0; r < g.height; ++r) {
      const int level = (r / 64) % 2 && r % 2 ? 150 : 60;
      for (std::int64_t j = 0; j < pitch_; ++j) {
        storage_.get()[r * pitch_ + j] = static_cast<std::uint8_t>(level + rng() % 32);
      }
    }
    plane_ = LumaPlane{storage_.get(), storage_.get(), pitch_, g.width, g.height};
  }

  const LumaPlane& plane() const { return plane_; }

 private:
  std::int32_t pitch_;
  std::unique_ptr<std::uint8_t, decltype(&std::free)> storage_;
  LumaPlane plane_;
};

// The rows the scan reads: every band's 8 rows and the 2 below the last one.
std::int64_t RowsRead(std::int32_t height) {
  const std::int64_t bands = height > 10 ? (std::int64_t{height} - 10 + 7) / 8 : 0;
  return bands == 0 ? 0 : 8 * bands + 2;
}

void AddScan(const std::string& name, ScanFunction scan, Geometry g) {
  benchmark::RegisterBenchmark(name.c_str(), [scan, g](benchmark::State& state) {
    const BenchPlane frame(g);
    for (auto _ : state) benchmark::DoNotOptimize(scan(frame.plane(), false));
    state.SetBytesProcessed(state.iterations() * RowsRead(g.height) * ((g.width + 7) & ~7));
  });
}

void AddFloor(const std::string& name, decltype(&ReadFloorAvx512) floor, Geometry g) {
  benchmark::RegisterBenchmark(name.c_str(), [floor, g](benchmark::State& state) {
    const BenchPlane frame(g);
    const LumaPlane& p = frame.plane();
    const std::int64_t width = (g.width + 7) & ~7;
    for (auto _ : state) {
      benchmark::DoNotOptimize(floor(p.read_ptr, p.pitch, RowsRead(g.height), width));
    }
    state.SetBytesProcessed(state.iterations() * RowsRead(g.height) * width);
  });
}

void RegisterAll() {
  const ScanPathList paths = SupportedScanPaths();
  const std::string_view widest = paths.Widest().name;
  // The floor runs at the widest vector width that the scan itself uses.
  const auto floor = widest == "avx512" ? &ReadFloorAvx512
                     : widest == "avx2" ? &ReadFloorAvx2
                                        : nullptr;

  for (const Geometry g :
       {Geometry{720, 480}, Geometry{720, 576}, Geometry{1920, 1080}, Geometry{3840, 2160}}) {
    const std::string size = std::to_string(g.width) + "x" + std::to_string(g.height);
    for (int p = 0; p < paths.count; ++p) {
      AddScan(std::string("scan/") + paths.paths[p].name + "/" + size, paths.paths[p].scan, g);
    }
    AddScan("scan/dispatched/" + size, ScanCombedBlocks, g);
    if (floor != nullptr) AddFloor("scan/floor/" + size, floor, g);
  }

  // What choosing the path costs on every call, to set against a whole scan.
  benchmark::RegisterBenchmark("dispatch/select", [](benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SupportedScanPaths().Widest().scan);
  });
}

}  // namespace
}  // namespace vorlith::bench

int main(int argc, char** argv) {
  vorlith::bench::RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

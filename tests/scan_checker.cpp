// Randomized equivalence checker for the scan: every form that this machine
// supports is run against the scalar reference over a table of geometries
// and contents, and must give the same count and leave every byte of the
// buffer (padding, rows outside the plane and guard bytes included) the same.
// Under AddressSanitizer a read of a byte that the scan must not touch is
// reported as well.
//
// Prints its seed; `scan_checker --seed=N` replays a run.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "guarded_plane.h"
#include "scan_comparison.h"
#include "scan_paths.h"
#include "scan_reach.h"

namespace vorlith::testing {
namespace {

std::uint64_t g_seed = 0;

struct Geometry {
  std::int32_t row_size;
  std::int32_t pitch;  // negative for bottom-up storage
  std::int32_t height;
  std::size_t misalign;
};

using Content = std::function<std::uint8_t(std::mt19937_64&, std::int64_t r, std::int64_t j)>;

struct NamedContent {
  const char* name;
  Content sample;
};

std::vector<NamedContent> Contents() {
  using Rng = std::mt19937_64;
  const auto byte = [](Rng& rng) { return static_cast<std::uint8_t>(rng()); };
  return {
      {"random", [=](Rng& rng, std::int64_t, std::int64_t) { return byte(rng); }},
      // Two fields of different levels, with noise: most blocks comb.
      {"alternating fields",
       [=](Rng& rng, std::int64_t r, std::int64_t) {
         return static_cast<std::uint8_t>((r % 2 ? 160 : 40) + rng() % 48);
       }},
      // Odd rows sit 2 or 3 above the even ones in each column, so the near
      // sum of a row test lands on 16..24 around the margin of 20 and 21.
      {"margin",
       [=](Rng& rng, std::int64_t r, std::int64_t) {
         return static_cast<std::uint8_t>(100 + (r % 2 ? 2 + rng() % 2 : 0));
       }},
      // Only 0 and 255: the largest sums, 2040 per row test.
      {"extremes", [=](Rng& rng, std::int64_t, std::int64_t) { return rng() % 2 ? 255 : 0; }},
      {"full fields", [](Rng&, std::int64_t r,
                         std::int64_t) { return static_cast<std::uint8_t>(r % 2 ? 255 : 0); }},
  };
}

std::vector<Geometry> TableGeometries() {
  const std::int32_t row_sizes[] = {1,  2,   7,   8,   9,   15,  16,  17,  23,  24,  25,
                                    31, 32,  33,  40,  48,  56,  57,  63,  64,  65,  72,
                                    96, 120, 127, 128, 129, 136, 192, 255, 256, 257, 300};
  const std::int32_t heights[] = {-1, 0,  1,  9,  10, 11, 12, 17, 18,
                                  19, 20, 26, 27, 28, 34, 35, 59, 60};
  const std::int32_t paddings[] = {0, 8, 37};
  std::vector<Geometry> out;
  std::size_t misalign = 0;
  for (const std::int32_t row_size : row_sizes) {
    for (const std::int32_t height : heights) {
      for (const std::int32_t padding : paddings) {
        for (const int sign : {1, -1}) {
          const std::int32_t pitch = sign * (ScannedWidth(row_size) + padding);
          out.push_back({row_size, pitch, height, misalign});
          misalign = (misalign + 13) % 64;
        }
      }
    }
  }
  return out;
}

std::vector<Geometry> RandomGeometries(std::mt19937_64& rng, int how_many) {
  std::vector<Geometry> out;
  for (int i = 0; i < how_many; ++i) {
    const auto row_size = static_cast<std::int32_t>(1 + rng() % 300);
    const auto height = static_cast<std::int32_t>(rng() % 62) - 1;
    const auto padding = static_cast<std::int32_t>(rng() % 72);
    const std::int32_t pitch = (rng() % 2 ? 1 : -1) * (ScannedWidth(row_size) + padding);
    out.push_back({row_size, pitch, height, static_cast<std::size_t>(rng() % 64)});
  }
  return out;
}

// Checks every supported form on one filled plane; returns the number of
// mismatches reported.
int CheckPlane(const Geometry& g, const NamedContent& content, std::mt19937_64& rng) {
  GuardedPlane original(g.row_size, g.pitch, g.height, g.misalign);
  original.Fill([&](std::int64_t r, std::int64_t j) { return content.sample(rng, r, j); });
  const std::vector<std::string> failures = CompareWithReference(original);
  for (const std::string& failure : failures) {
    ADD_FAILURE() << failure << ", content " << content.name << " (seed " << g_seed << ")";
  }
  return static_cast<int>(failures.size());
}

TEST(ScanChecker, EveryPathMatchesTheReference) {
  const ScanPathList paths = SupportedScanPaths();
  std::cout << "paths checked against the reference:";
  for (int p = 1; p < paths.count; ++p) std::cout << ' ' << paths.paths[p].name;
  std::cout << '\n';

  std::mt19937_64 rng(g_seed);
  std::vector<Geometry> geometries = TableGeometries();
  const std::vector<Geometry> random = RandomGeometries(rng, 400);
  geometries.insert(geometries.end(), random.begin(), random.end());

  int failures = 0;
  for (const Geometry& g : geometries) {
    for (const NamedContent& content : Contents()) {
      failures += CheckPlane(g, content, rng);
      ASSERT_LT(failures, 20) << "stopping after 20 mismatches (seed " << g_seed << ")";
    }
  }
}

}  // namespace
}  // namespace vorlith::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  vorlith::testing::g_seed = std::random_device{}();
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--seed=", 7) == 0) {
      vorlith::testing::g_seed = std::strtoull(argv[i] + 7, nullptr, 10);
    } else {
      std::cerr << "scan_checker: unknown argument " << argv[i] << " (takes --seed=N)\n";
      return 2;
    }
  }
  std::cout << "scan checker seed: " << vorlith::testing::g_seed
            << " (replay with --seed=" << vorlith::testing::g_seed << ")\n";
  return RUN_ALL_TESTS();
}

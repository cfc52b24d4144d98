#include "temporary_name.h"

#include <chrono>
#include <random>

namespace vorlith::platform {

std::string TemporaryNameFor(const std::string& target) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  // The clock as well, where the random device is weak (some Windows C++
  // runtimes give the same sequence in every process).
  std::random_device device;
  std::mt19937 generator(
      device() ^
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
  std::string name = target + ".";
  for (int i = 0; i < 6; ++i) name += kLetters[pick(generator)];
  return name + ".part";
}

}  // namespace vorlith::platform

#include <limits.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "plugin_location.h"

namespace vorlith::runner {

std::string DefaultPluginPath() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path directory =
      error ? std::filesystem::path(".") : executable.parent_path();
  const std::filesystem::path beside = directory / "libVorlithSSE.so";
  const std::filesystem::path installed = directory / ".." / "lib" / "vorlith" / "libVorlithSSE.so";
  if (!std::filesystem::exists(beside, error) && std::filesystem::exists(installed, error)) {
    return installed.lexically_normal().string();
  }
  return beside.string();
}

}  // namespace vorlith::runner

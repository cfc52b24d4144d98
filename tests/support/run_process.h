// Runs a program to the end, as a shell would, and collects what it did.
#pragma once

#include <string>
#include <vector>

namespace vorlith::testing {

struct ProcessResult {
  int exit_status = -1;  // -1 when it did not exit normally
  int signal = 0;        // the signal that ended it, if one did
  std::string out;
  std::string err;
};

// Runs `argv` with `input` on its standard input (or the file at
// `stdin_path` when that is not empty) and `extra_env` (NAME=VALUE) added
// to its environment.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input = "",
                         const std::string& stdin_path = "",
                         const std::vector<std::string>& extra_env = {});

}  // namespace vorlith::testing

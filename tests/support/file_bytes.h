// A file's bytes, whole, for tests that compare what programs wrote.
#pragma once

#include <string>

namespace vorlith::testing {

// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// Makes the file hold exactly `bytes`.
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace vorlith::testing

// Names for the temporary files that become outputs once complete.
#pragma once

#include <string>

namespace vorlith::platform {

// "<target>.<six random letters or digits>.part": beside the target, so that
// renaming it over the target stays within one file system, and plainly
// unfinished to anyone who finds it left behind.
std::string TemporaryNameFor(const std::string& target);

}  // namespace vorlith::platform

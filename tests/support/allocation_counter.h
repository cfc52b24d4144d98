// Counts the live allocations of the whole process, the plugin's included:
// linking allocation_counter.cpp replaces the global operator new and
// delete, and a loaded library's calls bind to the executable's definitions.
#pragma once

#include <cstdint>

namespace vorlith::testing {

std::int64_t LiveAllocations();

}  // namespace vorlith::testing

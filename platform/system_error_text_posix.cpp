#include <cerrno>
#include <cstring>

#include "system_error_text.h"

namespace vorlith::platform {

SystemError LastSystemError() { return {errno}; }

std::string SystemErrorText(const SystemError& error) { return std::strerror(error.number); }

}  // namespace vorlith::platform

#include "y4m_error.h"

#include <string>

namespace vorlith::media {

Y4mError::Y4mError(std::string_view source, std::string_view problem)
    : std::runtime_error(std::string(source) + ": " + std::string(problem)) {}

}  // namespace vorlith::media

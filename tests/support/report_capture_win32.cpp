#include "report_capture.h"

#include <utility>

namespace vorlith::testing {

ReportCapture::ReportCapture()
    : capture_([this](std::string_view text) { received_.append(text); }) {}

std::string ReportCapture::Finish() {
  capture_.Stop();
  return std::move(received_);
}

}  // namespace vorlith::testing

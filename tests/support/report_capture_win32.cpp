#include "report_capture.h"

#include <utility>

namespace vorlith::testing {

ReportCapture::ReportCapture()
    : monitor_([this](std::string_view text) { received_.append(text); }) {}

std::string ReportCapture::Finish() {
  monitor_.Stop();
  return std::move(received_);
}

}  // namespace vorlith::testing

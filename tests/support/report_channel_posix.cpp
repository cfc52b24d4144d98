#include "analysis.h"
#include "report_channel.h"
#include "stderr_capture.h"

namespace vorlith::testing {

std::vector<std::string> ReportThroughChannel(const std::vector<ReportCall>& calls) {
  std::vector<std::string> messages;
  for (const ReportCall& call : calls) {
    StderrCapture capture;
    ReportFrame(call.n, call.count, call.th);
    std::string sent = capture.Finish();
    if (!sent.empty()) messages.push_back(std::move(sent));
  }
  return messages;
}

}  // namespace vorlith::testing

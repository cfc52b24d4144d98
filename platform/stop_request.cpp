#include "stop_request.h"

#include <csignal>

namespace vorlith::platform {
namespace {

volatile std::sig_atomic_t requested = 0;

}  // namespace

void RequestStop(int signal) {
  if (requested == 0) requested = signal;
}

int StopRequested() { return requested; }

}  // namespace vorlith::platform

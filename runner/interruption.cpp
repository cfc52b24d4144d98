#include "interruption.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "stop_request.h"

namespace vorlith::runner {
namespace {

// A path is copied into its buffer before its address is published, and
// unpublished before the buffer is used again, so that the handler reads
// only whole paths.
char removal_buffers[kRemovalSlots][4096];
const char* volatile removals[kRemovalSlots] = {};

extern "C" void OnStopSignal(int signal) {
  if (platform::StopRequested() != 0) {
    // Only calls that are safe in a signal handler from here on.
    for (const char* volatile& removal : removals) {
      const char* path = removal;
      if (path == nullptr) continue;
#if defined(_WIN32)
      _unlink(path);
#else
      unlink(path);
#endif
    }
    _exit(StatusForSignal(signal));
  }
  platform::RequestStop(signal);
#if defined(_WIN32)
  // Windows' C runtime puts back the default action before each call.
  std::signal(signal, OnStopSignal);
#endif
}

}  // namespace

void InstallSignalHandlers() {
#if defined(_WIN32)
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
#else
  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigemptyset(&stop.sa_mask);
  // No SA_RESTART: a read that waits for input returns, so that the run
  // stops even when its input has stalled (writes carry on; see OnSignal).
  stop.sa_flags = 0;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &stop, nullptr);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  for (const int signal : {SIGPIPE, SIGXFSZ}) sigaction(signal, &ignore, nullptr);
#endif
}

int RemoveOnSecondStop(const char* path) {
  if (std::strlen(path) >= sizeof removal_buffers[0]) return -1;
  for (int slot = 0; slot < kRemovalSlots; ++slot) {
    if (removals[slot] != nullptr) continue;
    std::strcpy(removal_buffers[slot], path);
    removals[slot] = removal_buffers[slot];
    return slot;
  }
  return -1;
}

void KeepOnSecondStop(int slot) {
  if (slot >= 0 && slot < kRemovalSlots) removals[slot] = nullptr;
}

int StatusForSignal(int signal) { return 128 + signal; }

}  // namespace vorlith::runner

// How framehost meets the signals that would end it. A request to stop
// (SIGINT from Ctrl-C, SIGTERM, or on POSIX SIGHUP when the terminal goes)
// lets the frame in hand finish: the run then reports what it did, removes
// its unfinished output and exits with 128 + the signal's number. A second
// request stops at once, still removing the unfinished output. The signals
// that a failed write raises (SIGPIPE, SIGXFSZ) are ignored, so that the
// write fails with a message instead of killing the process.
#pragma once

namespace vorlith::runner {

void InstallSignalHandlers();

// The signal that asked the run to stop is platform::StopRequested's.

// The files that a second request removes before the process ends: the
// temporary outputs while they are being written. Returns the slot to give
// back with KeepOnSecondStop, or -1 when all are taken (kRemovalSlots) or
// the path is too long for one.
inline constexpr int kRemovalSlots = 4;
int RemoveOnSecondStop(const char* path);
void KeepOnSecondStop(int slot);

// The exit status for a run stopped by `signal`: 128 + its number.
int StatusForSignal(int signal);

}  // namespace vorlith::runner

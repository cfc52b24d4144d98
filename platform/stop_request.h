// A request to stop the program, made by a signal handler (Ctrl-C). Reads
// that wait for input give up when one comes, so that a program waiting on a
// stalled pipe still stops; writes finish what they began.
#pragma once

namespace vorlith::platform {

// Records `signal` as the request; safe to call in a signal handler.
void RequestStop(int signal);
// The signal of the first request, or 0.
int StopRequested();

}  // namespace vorlith::platform

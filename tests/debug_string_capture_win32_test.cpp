// How framehost hears OutputDebugStringA's strings, in its own process:
// whole and in order, from every thread, without loss however long the
// receiver takes, one capture at a time, and never a hang or a crash for a
// receiver that throws or sends a string of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "debug_string_capture_win32.h"

namespace vorlith::testing {
namespace {

using runner::DebugStringCapture;

std::string ReportLine(int n) {
  char line[64];
  std::snprintf(line, sizeof line, "\r%d frame=%d --- Blocks=100\n", n % 5, n);
  return line;
}

TEST(DebugStringCapture, TakesStringsWholeAndInOrder) {
  std::vector<std::string> received;
  DebugStringCapture capture([&](std::string_view text) { received.emplace_back(text); });
  // The last is far longer than the 4096 bytes of the DBWIN_BUFFER channel.
  const std::vector<std::string> sent = {ReportLine(7), "", "no line end",
                                         std::string(100000, 'x') + "\n"};
  for (const std::string& text : sent) OutputDebugStringA(text.c_str());
  capture.Stop();
  EXPECT_EQ(received, sent);
}

// A standard error that stalls: the receiver blocks on the first line while
// many follow. The receiver runs on the sending thread, inside
// OutputDebugStringA, so the sender waits for it, with no time limit to run
// out (the DBWIN channel's sender gives up after 10 s), and then every line
// arrives.
TEST(DebugStringCapture, HoldsTheSenderBackWhileTheReceiverStalls) {
  constexpr int kLines = 10000;
  std::mutex stall;
  std::condition_variable released_signal;
  bool released = false;
  std::atomic<DWORD> receiving_thread = 0;
  std::vector<std::string> received;
  DebugStringCapture capture([&](std::string_view text) {
    if (received.empty()) {
      receiving_thread = GetCurrentThreadId();
      std::unique_lock lock(stall);
      released_signal.wait(lock, [&] { return released; });
    }
    received.emplace_back(text);
  });

  std::atomic<int> returned = 0;  // calls of OutputDebugStringA that have returned
  std::atomic<DWORD> sending_thread = 0;
  std::thread sender([&] {
    sending_thread = GetCurrentThreadId();
    for (int n = 0; n < kLines; ++n) {
      OutputDebugStringA(ReportLine(n).c_str());
      ++returned;
    }
  });
  while (receiving_thread == 0) Sleep(1);
  Sleep(1000);  // the stall
  EXPECT_EQ(returned, 0) << "the sender went on while the receiver stalled";
  {
    const std::lock_guard lock(stall);
    released = true;
  }
  released_signal.notify_one();
  sender.join();
  capture.Stop();

  EXPECT_EQ(receiving_thread, sending_thread);
  ASSERT_EQ(received.size(), static_cast<std::size_t>(kLines));
  for (int n = 0; n < kLines; ++n) ASSERT_EQ(received[n], ReportLine(n)) << "line " << n;
}

// Each thread's strings arrive in its order, and the receiver is never
// called twice at once, so it needs no lock of its own for what it gathers.
TEST(DebugStringCapture, TakesEveryThreadsStringsOneAtATime) {
  constexpr int kThreads = 4;
  constexpr int kStrings = 2000;
  std::atomic<bool> inside = false;
  std::atomic<int> overlaps = 0;
  std::vector<std::vector<int>> received(kThreads);
  DebugStringCapture capture([&](std::string_view text) {
    if (inside.exchange(true)) ++overlaps;
    const std::string string(text);
    const std::size_t space = string.find(' ');
    received.at(std::stoul(string.substr(0, space))).push_back(std::stoi(string.substr(space)));
    inside = false;
  });
  std::vector<std::thread> senders;
  for (int t = 0; t < kThreads; ++t) {
    senders.emplace_back([t] {
      for (int i = 0; i < kStrings; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%d %d", t, i);
        OutputDebugStringA(text);
      }
    });
  }
  for (std::thread& sender : senders) sender.join();
  capture.Stop();

  EXPECT_EQ(overlaps, 0);
  std::vector<int> in_order(kStrings);
  for (int i = 0; i < kStrings; ++i) in_order[i] = i;
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(received[t], in_order) << "thread " << t;
}

// One handler at a time takes the strings: a second capture is refused and
// leaves the first one capturing; once stopped, a capture hears nothing
// more, and another can start.
TEST(DebugStringCapture, OneCaptureAtATime) {
  std::string first_heard;
  DebugStringCapture first([&](std::string_view text) { first_heard.append(text); });
  try {
    DebugStringCapture second([](std::string_view) {});
    ADD_FAILURE() << "a second capture started";
  } catch (const std::logic_error& error) {
    EXPECT_STREQ(error.what(), "the debug strings of this process are already being captured");
  }
  OutputDebugStringA("still heard");
  first.Stop();
  first.Stop();
  OutputDebugStringA(" after the stop");
  EXPECT_EQ(first_heard, "still heard");

  std::string next_heard;
  DebugStringCapture next([&](std::string_view text) { next_heard.append(text); });
  OutputDebugStringA("next");
  next.Stop();
  EXPECT_EQ(next_heard, "next");
  EXPECT_EQ(first_heard, "still heard");
}

// An exception must not leave the handler into Windows' exception
// dispatch; it comes out of Stop instead, and the strings after it are
// still taken.
TEST(DebugStringCapture, AReceiversExceptionComesOutOfStop) {
  std::string heard;
  DebugStringCapture capture([&](std::string_view text) {
    if (text == "bad") throw std::runtime_error("cannot take it");
    heard.append(text);
  });
  OutputDebugStringA("bad");
  OutputDebugStringA("good");
  try {
    capture.Stop();
    ADD_FAILURE() << "Stop did not rethrow";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "cannot take it");
  }
  EXPECT_EQ(heard, "good");
  capture.Stop();  // rethrown once only
}

// The receiver's own string would wait for the receiver to finish, on the
// same thread: it passes on uncaptured instead.
TEST(DebugStringCapture, AStringSentFromTheReceiverPassesOn) {
  std::vector<std::string> received;
  DebugStringCapture capture([&](std::string_view text) {
    received.emplace_back(text);
    if (text == "outer") OutputDebugStringA("inner");
  });
  OutputDebugStringA("outer");
  OutputDebugStringA("next");
  capture.Stop();
  EXPECT_EQ(received, (std::vector<std::string>{"outer", "next"}));
}

}  // namespace
}  // namespace vorlith::testing

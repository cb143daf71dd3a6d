#pragma once
// A pseudo-terminal for the link tests: the link opens its slave side by path; the
// test plays the receiver on the master side. A writer thread floods the master with
// a position-dependent pattern that the receiving side checks byte by byte; the
// TCP link's tests use the same pattern and checks on a connection.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "link/link_receiver.h"
#include "link/receive_queue.h"

namespace veltrano::test {

inline uint8_t patternByte(uint64_t position) { return uint8_t((position * 0x9E3779B97F4A7C15ull) >> 56); }

// Everything the link wrote to the other side of `descriptor` so far, waiting up
// to `ms` for the first byte.
inline std::string readWritten(int descriptor, int ms) {
  std::string bytes;
  pollfd readable{descriptor, POLLIN, 0};
  while (::poll(&readable, 1, bytes.empty() ? ms : 20) > 0) {
    char chunk[4096];
    const ssize_t n = ::read(descriptor, chunk, sizeof chunk);
    if (n <= 0) break;
    bytes.append(chunk, size_t(n));
  }
  return bytes;
}

class PseudoTerminal {
 public:
  PseudoTerminal() {
    termios raw{};
    cfmakeraw(&raw);
    char name[128] = {};
    if (::openpty(&master_, &slave_, name, &raw, nullptr) == 0) {
      path_ = name;
      ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
  }
  ~PseudoTerminal() {
    closeMaster();
    if (slave_ >= 0) ::close(slave_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool isOpen() const { return master_ >= 0 && !path_.empty(); }
  const std::string& path() const { return path_; }
  int master() const { return master_; }
  // The receiver is unplugged: the link's side of the pseudo-terminal hangs up.
  void closeMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  // Everything the link wrote so far, waiting up to `ms` for the first byte.
  std::string readMaster(int ms) { return readWritten(master_, ms); }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

// Writes `total` pattern bytes into the master side, waiting while the pseudo-terminal is full.
class PatternWriter {
 public:
  PatternWriter(int master, uint64_t total) : thread_([this, master, total] { run(master, total); }) {}
  ~PatternWriter() {
    stop_ = true;
    thread_.join();
  }
  PatternWriter(const PatternWriter&) = delete;
  PatternWriter& operator=(const PatternWriter&) = delete;

  uint64_t written() const { return written_; }
  bool done() const { return done_; }

 private:
  void run(int master, uint64_t total) {
    uint8_t chunk[16384];
    uint64_t position = 0;
    while (position < total && !stop_) {
      const size_t n = size_t(std::min<uint64_t>(sizeof chunk, total - position));
      for (size_t i = 0; i < n; ++i) chunk[i] = patternByte(position + i);
      const ssize_t w = ::write(master, chunk, n);
      if (w > 0) {
        position += uint64_t(w);
        written_ = position;
        continue;
      }
      if (w < 0 && errno != EAGAIN && errno != EINTR) break;
      pollfd writable{master, POLLOUT, 0};
      ::poll(&writable, 1, 50);
    }
    done_ = true;
  }

  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> written_{0};
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Checks every received byte against the pattern; runs on the main thread.
class PatternReceiver : public LinkReceiver {
 public:
  void receiveBlock(const uint8_t* bytes, int32_t length) override {
    ++blocks;
    largestBlock = std::max(largestBlock, length);
    if (duringBlock) duringBlock();
    for (int32_t i = 0; i < length; ++i) {
      if (bytes[i] != patternByte(received + uint64_t(i))) ++mismatches;
    }
    received += uint64_t(length);
  }
  void countLineError() override { ++lineErrors; }

  uint64_t received = 0;
  uint64_t mismatches = 0;
  int64_t blocks = 0;
  int32_t largestBlock = 0;
  int32_t lineErrors = 0;
  // Runs at the start of each block, before its bytes are checked.
  std::function<void()> duringBlock;
};

// Runs the main thread's events until `done` holds; false after `timeoutMs`.
inline bool serveUntil(const std::function<bool()>& done, int timeoutMs) {
  QTimer tick;
  tick.start(10);
  const QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

inline void serveFor(int ms) { serveUntil([] { return false; }, ms); }

inline int threadCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

// Waits until `total` bytes arrived and checks them, in batches the reader may hand over.
inline void expectAllReceived(const PatternReceiver& receiver, uint64_t total, int timeoutMs) {
  EXPECT_TRUE(serveUntil([&] { return receiver.received >= total; }, timeoutMs));
  serveFor(50);
  EXPECT_EQ(receiver.received, total);
  EXPECT_EQ(receiver.mismatches, 0u);
  EXPECT_LE(receiver.largestBlock, ReceiveQueue::kMaxBatch);
}

// Waits until the threads the link started have ended.
inline void expectThreadsBackTo(int baseline) {
  EXPECT_TRUE(serveUntil([&] { return threadCount() == baseline; }, 5000))
      << threadCount() << " threads, " << baseline << " before";
}

}  // namespace veltrano::test

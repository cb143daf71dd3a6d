#pragma once
// The serial reader's own queue: the port is drained into it while the main thread
// is busy, and the main thread takes the bytes out in order, in batches. Line errors
// are queued at the position where they were noticed, the end of the port after the
// last byte it delivered.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

namespace veltrano {

class ReceiveQueue {
 public:
  static constexpr int32_t kCapacity = 1 << 20;  // more than 10 s at 921600 baud
  static constexpr int32_t kMaxBatch = 21504;

  enum class Item { Bytes, LineError, End, Stopped };
  struct Taken {
    Item item = Item::Stopped;
    const uint8_t* bytes = nullptr;
    int32_t length = 0;
  };

  ReceiveQueue();

  // Reading side. Free room for the next read, waiting while the queue is full;
  // empty once stopped.
  std::span<uint8_t> waitForSpace();
  // `n` bytes were read into the room returned by waitForSpace.
  void commit(int32_t n);
  void addLineError();
  // The port delivers nothing more.
  void endOfInput();

  // Taking side. Waits for the next item: a batch of at most kMaxBatch bytes, a line
  // error, the end of input or the stop. A batch stays queued until it is released.
  Taken waitForItem();
  // Without waiting: the next batch when bytes are queued ahead of any line
  // error; its length is 0 when none is, or once stopped.
  Taken queuedBytes();
  // Waits at most `longest` while no line error, end or stop is queued.
  void waitForNonBytes(std::chrono::milliseconds longest);
  void release(int32_t n);

  // Wakes both sides; from now on they return at once.
  void stop();

 private:
  struct ErrorMark {
    uint64_t at = 0;  // count of bytes queued before the error
    int32_t count = 0;
  };
  static constexpr int kMaxErrorMarks = 32;

  // With the lock held: the bytes queued before the next line error.
  uint64_t bytesBeforeError() const;
  Taken batch(uint64_t available) const;
  // A line error, the end or the stop: every wait ends or looks again.
  void notifyEveryWaiter();

  std::mutex mutex_;
  // Each wait has its own, so that the bytes committed a few kilobytes at a
  // time wake only the thread that takes them, not one waiting for the frame
  // to end or the one that fills the queue.
  std::condition_variable itemsChanged_;
  std::condition_variable nonBytesChanged_;
  std::condition_variable spaceChanged_;
  std::unique_ptr<uint8_t[]> storage_;
  uint64_t committed_ = 0;
  uint64_t released_ = 0;
  ErrorMark errorMarks_[kMaxErrorMarks];
  int firstMark_ = 0;
  int markCount_ = 0;
  bool ended_ = false;
  bool stopped_ = false;
};

}  // namespace veltrano

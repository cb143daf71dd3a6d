#include "link/read_thread.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace veltrano {

namespace {

// Sum of the driver's framing, overrun and parity error counters; false where the
// driver keeps none (a pseudo-terminal, some USB adapters).
bool readLineErrorCount(int descriptor, uint64_t& count) {
  serial_icounter_struct counters{};
  if (::ioctl(descriptor, TIOCGICOUNT, &counters) != 0) return false;
  count = uint64_t(counters.frame) + uint64_t(counters.overrun) + uint64_t(counters.parity);
  return true;
}

// A frame is over after its first block.
class BlockByBlock : public BlockFrames {
 public:
  void startFrame() override {}
  bool frameOver() const override { return true; }
  void endFrame() override {}
  int frameLengthMs() const override { return 0; }
};

}  // namespace

BlockFrames& blockByBlock() {
  static BlockByBlock frames;
  return frames;
}

ReadThread::ReadThread(int descriptor, LinkReceiver& receiver, BlockFrames& frames, std::function<void()> portVanished,
                       RecordWriter* record)
    : descriptor_(descriptor),
      wakeDescriptor_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      receiver_(receiver),
      frames_(frames),
      portVanished_(std::move(portVanished)),
      record_(record) {}

ReadThread::~ReadThread() {
  stopPortReading();
  wait();
  if (wakeDescriptor_ >= 0) ::close(wakeDescriptor_);
}

void ReadThread::startReading() {
  drainer_ = std::thread([this] { drainPort(); });
  start();
}

void ReadThread::stopPortReading() {
  stopRequested_ = true;
  queue_.stop();
  if (wakeDescriptor_ >= 0) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeDescriptor_, &one, sizeof one);
  }
  if (drainer_.joinable()) drainer_.join();
}

void ReadThread::drainPort() {
  uint64_t errorsSeen = 0;
  const bool countsErrors = readLineErrorCount(descriptor_, errorsSeen);
  pollfd watched[2] = {{descriptor_, POLLIN, 0}, {wakeDescriptor_, POLLIN, 0}};
  // Without a wake-up descriptor the stop is noticed at the next time-out.
  const int timeoutMs = wakeDescriptor_ >= 0 ? -1 : 100;
  for (;;) {
    const std::span<uint8_t> room = queue_.waitForSpace();
    if (room.empty()) return;  // stopped
    const int ready = ::poll(watched, 2, timeoutMs);
    if (ready == 0) continue;
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (watched[1].revents != 0) return;  // stopped
    const ssize_t n = ::read(descriptor_, room.data(), room.size());
    if (n > 0) {
      if (record_) record_->store(room.data(), int32_t(n));
      queue_.commit(int32_t(n));
      uint64_t errors = 0;
      if (countsErrors && readLineErrorCount(descriptor_, errors) && errors != errorsSeen) {
        errorsSeen = errors;
        queue_.addLineError();
      }
      continue;
    }
    const bool gone = (watched[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if (n < 0 && (errno == EAGAIN || errno == EINTR) && !gone) continue;
    // Readable but nothing to read, or an error: the device is gone (unplugged, or
    // the other side of a pseudo-terminal closed). Polling it again would spin.
    break;
  }
  queue_.endOfInput();
}

template <typename Call>
void ReadThread::handOff(Call call) {
  if (stopRequested_) return;
  QMetaObject::invokeMethod(
      this,
      [this, &call] {
        if (stopRequested_) return;  // the port was closed while this hand-off waited
        handingOff_ = true;
        call();
        handingOff_ = false;
      },
      Qt::BlockingQueuedConnection);
}

// Each batch is released as soon as it is decoded, so that the drain goes on
// filling the queue meanwhile.
void ReadThread::deliverBatches(ReceiveQueue::Taken batch) {
  frames_.startFrame();
  for (;;) {
    receiver_.receiveBlock(batch.bytes, batch.length);
    queue_.release(batch.length);
    if (stopRequested_ || frames_.frameOver()) break;
    batch = queue_.queuedBytes();
    if (batch.item != ReceiveQueue::Item::Bytes) break;
  }
  frames_.endFrame();
}

// Bytes that come sooner than a frame after the last hand-off began wait
// until the frame is over: data that streams in goes to the main thread once a
// frame, with all that queued up meanwhile, and is drawn once a frame; a block
// that comes on its own goes at once. The queue holds far more than a frame of
// the fastest line, and a main thread that needs longer than a frame for what
// it was handed gets the next at once.
bool ReadThread::waitForFrame() {
  const int frameMs = frames_.frameLengthMs();
  if (frameMs <= 0 || !lastHandOff_.isValid()) return false;
  const qint64 left = frameMs - lastHandOff_.elapsed();
  if (left <= 0) return false;
  queue_.waitForNonBytes(std::chrono::milliseconds(left));
  return true;
}

void ReadThread::run() {
  while (!stopRequested_) {
    const ReceiveQueue::Taken taken = queue_.waitForItem();
    switch (taken.item) {
      case ReceiveQueue::Item::Bytes:
        if (waitForFrame()) break;  // taken again, with what came meanwhile
        lastHandOff_.start();
        handOff([&] { deliverBatches(taken); });
        break;
      case ReceiveQueue::Item::LineError:
        handOff([&] { receiver_.countLineError(); });
        break;
      case ReceiveQueue::Item::End:
        handOff([&] { portVanished_(); });
        return;
      case ReceiveQueue::Item::Stopped:
        return;
    }
  }
}

}  // namespace veltrano

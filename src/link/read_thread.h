#pragma once
// The serial reader. One loop drains the port into the reader's own queue and never
// waits for the main thread; the thread itself hands the queued bytes, in order and
// in batches of at most 21504 bytes, and each line error to the main thread, waiting
// in each hand-off until the main thread has processed it. A main thread that is
// behind takes the batches queued meanwhile in the same hand-off, for at most one
// display frame, and draws the windows once after them; data that streams in is
// handed over at most once a frame. When the port vanishes,
// the bytes read before are handed over and then the vanish handler runs on the
// main thread. While recording, each read is stored in the record file at once,
// before it is queued.
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <functional>
#include <thread>

#include "link/block_frames.h"
#include "link/link_receiver.h"
#include "link/receive_queue.h"
#include "link/record_writer.h"

namespace veltrano {

class ReadThread : public QThread {
 public:
  // `descriptor` is the open port; it must stay open until stopPortReading returned.
  // `record`, when given, takes every block read, until stopPortReading returned.
  // `frames` has the batches of one hand-off drawn once.
  ReadThread(int descriptor, LinkReceiver& receiver, BlockFrames& frames, std::function<void()> portVanished,
             RecordWriter* record = nullptr);
  ~ReadThread() override;
  ReadThread(const ReadThread&) = delete;
  ReadThread& operator=(const ReadThread&) = delete;

  // Starts draining the port and handing its bytes over.
  void startReading();
  // Nothing more is handed over, also not a hand-off that is already waiting for the
  // main thread; stops the draining and returns once the port is no longer used.
  // Never waits for the main thread.
  void stopPortReading();
  // Main thread: the receiver runs inside a hand-off of this reader just now.
  bool handingOff() const { return handingOff_; }

 protected:
  void run() override;

 private:
  void drainPort();
  template <typename Call>
  void handOff(Call call);
  // Main thread: `batch` and, while more are queued, the batches after it.
  void deliverBatches(ReceiveQueue::Taken batch);
  // Holds back bytes that came too soon after the last hand-off; true when it waited.
  bool waitForFrame();

  const int descriptor_;
  const int wakeDescriptor_;
  LinkReceiver& receiver_;
  BlockFrames& frames_;
  const std::function<void()> portVanished_;
  RecordWriter* const record_;
  ReceiveQueue queue_;
  std::thread drainer_;
  std::atomic<bool> stopRequested_{false};
  bool handingOff_ = false;
  // When the last hand-off of bytes began; the reader thread's own.
  QElapsedTimer lastHandOff_;
};

}  // namespace veltrano

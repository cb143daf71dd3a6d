#pragma once
// The playback thread: reads a recorded file and hands its bytes to the main
// thread. At normal speed it hands over one byte at a time, each through a
// hand-off that blocks until the main thread has run it. At fast speed it reads
// 32768-byte chunks ahead into eight buffers and queues them; the main thread
// takes a queued chunk in slices of at most 2048 bytes, as many as it decodes
// in one go, and a buffer is filled again only once every slice of its chunk
// was taken. A file ends at its first short read. A FIFO is read as its writer
// writes: a chunk is what it had written by then, and it ends once the writer
// has gone.
#include <QDeadlineTimer>
#include <QFile>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "mainwindow/fifo_reader.h"

namespace veltrano {

class TReadCycle : public QThread {
  Q_OBJECT
 public:
  static constexpr int32_t kChunkSize = 32768;
  static constexpr int32_t kSliceSize = 2048;
  // Chunks read ahead: a megabyte keeps the main thread busy for several
  // milliseconds, while a thread woken late reads again. The thread is woken
  // once half of them were taken: each wake-up costs the main thread a system
  // call: with a quarter of a megabyte, fast play ran a tenth slower.
  static constexpr int kChunkBuffers = 32;
  // The length of a FIFO, which has none.
  static constexpr int64_t kNoLength = -1;

  // Runs on the main thread for each block (a byte at normal speed, a slice
  // at fast speed); returns false to have the same block offered again once
  // the thread is resumed (it arrived while paused).
  using BlockHandOff = std::function<bool(TReadCycle* cycle, const uint8_t* bytes, int32_t length)>;
  // Runs on the main thread while queued slices wait to be taken: after a
  // chunk was queued, after a resume and after a taking that its deadline
  // ended. It is posted once at a time.
  using SlicesWaiting = std::function<void(TReadCycle* cycle)>;
  // Runs on the main thread once, after the file is closed.
  using EndHandOff = std::function<void(TReadCycle* cycle)>;
  struct HandOffs {
    BlockHandOff block;
    SlicesWaiting slicesWaiting;
    EndHandOff end;
  };

  // Takes over `file`, open for reading; not started yet.
  TReadCycle(std::unique_ptr<QFile> file, bool normalSpeed, HandOffs handOffs);
  // Takes over `fifo`, open for reading; not started yet.
  TReadCycle(std::unique_ptr<FifoReader> fifo, bool normalSpeed, HandOffs handOffs);
  ~TReadCycle() override;

  // The file's length when it was opened; kNoLength for a FIFO.
  int64_t fileLength() const { return fileLength_; }

  // Read by the thread at its next pass. Chunks already queued are still
  // taken in slices before the first byte of normal speed.
  void setNormalSpeed(bool normal) { normalSpeed_ = normal; }
  bool normalSpeed() const { return normalSpeed_; }

  // Holds the thread before its next hand-off, and the taking of queued
  // slices, until resume or termination.
  void suspend();
  void resume();
  bool suspended() const;
  // Ends the loop after the current pass; a held thread is released, and so
  // is one waiting for a FIFO's writer. Queued slices are not taken any more.
  void requestTermination();

  // Main thread: hands the queued slices to the block hand-off in order until
  // none is left, the hand-off refuses one or `until` has expired. True when
  // slices are left for a later taking.
  bool takeQueuedSlices(const QDeadlineTimer& until);

 protected:
  void run() override { Execute(); }

 private:
  struct Chunk {
    int32_t length = 0;
    // Start of the next slice; the chunk is done once a slice shorter than
    // kSliceSize was taken.
    int32_t taken = 0;
    uint8_t bytes[kChunkSize];
  };

  TReadCycle(std::unique_ptr<QFile> file, std::unique_ptr<FifoReader> fifo, bool normalSpeed, HandOffs handOffs);
  void Execute();
  // Reads up to `size` bytes into `into`; `ended` tells that the file or
  // FIFO has no more.
  int32_t readChunk(uint8_t* into, int32_t size, bool& ended);
  // Waits while suspended; false once termination was requested.
  bool holdWhileSuspended();
  void handOver(const uint8_t* bytes, int32_t length);
  // The buffer the next chunk is read into, once one is free; null once
  // termination was requested.
  Chunk* waitForFreeChunk();
  void queueChunk();
  // Waits until every queued slice was taken; false once termination was requested.
  bool waitUntilTaken();
  // Posts SlicesWaiting unless it is posted already; with mutex_ held.
  void postSlicesWaiting();
  // takeQueuedSlices without offering what is left.
  bool takeSlicesUntil(const QDeadlineTimer& until);

  // One of the two is there.
  std::unique_ptr<QFile> playbackFile_;
  const std::unique_ptr<FifoReader> fifo_;
  const int64_t fileLength_;
  HandOffs handOffs_;
  std::atomic<bool> normalSpeed_;
  std::atomic<bool> terminated_{false};
  QMutex mutex_;
  QWaitCondition wake_;
  // Written with mutex_ held; read on the main thread at every slice.
  std::atomic<bool> suspended_{false};
  // The queue: `queued_` chunks from chunks_[first_] on.
  int first_ = 0;
  int queued_ = 0;
  bool slicesWaitingPosted_ = false;
  // The main thread is taking slices (and offers the rest when it stops).
  bool taking_ = false;
  Chunk chunks_[kChunkBuffers];
};

}  // namespace veltrano

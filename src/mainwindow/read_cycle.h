#pragma once
// The playback thread: reads a recorded file and hands its bytes to the main
// thread, one byte per hand-off at normal speed, 2048-byte slices of
// 32768-byte chunks at fast speed. Every hand-off blocks until the main thread
// has run it, so the chunk buffer is never refilled while a slice is read.
// A file ends at its first short read. A FIFO is read as its writer writes: a
// chunk is what it had written by then, and it ends once the writer has gone.
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
  // The length of a FIFO, which has none.
  static constexpr int64_t kNoLength = -1;

  // Runs on the main thread for each block; returns false to have the same
  // block offered again once the thread is resumed (it arrived while paused).
  using BlockHandOff = std::function<bool(TReadCycle* cycle, const uint8_t* bytes, int32_t length)>;
  // Runs on the main thread once, after the file is closed.
  using EndHandOff = std::function<void(TReadCycle* cycle)>;

  // Takes over `file`, open for reading; not started yet.
  TReadCycle(std::unique_ptr<QFile> file, bool normalSpeed, BlockHandOff block, EndHandOff end);
  // Takes over `fifo`, open for reading; not started yet.
  TReadCycle(std::unique_ptr<FifoReader> fifo, bool normalSpeed, BlockHandOff block, EndHandOff end);
  ~TReadCycle() override;

  // The file's length when it was opened; kNoLength for a FIFO.
  int64_t fileLength() const { return fileLength_; }

  // Read by the thread at its next pass.
  void setNormalSpeed(bool normal) { normalSpeed_ = normal; }
  bool normalSpeed() const { return normalSpeed_; }

  // Holds the thread before its next hand-off until resume or termination.
  void suspend();
  void resume();
  bool suspended() const;
  // Ends the loop after the current pass; a held thread is released, and so
  // is one waiting for a FIFO's writer. Slices of the current chunk that were
  // not handed over yet are skipped.
  void requestTermination();

 protected:
  void run() override { Execute(); }

 private:
  TReadCycle(std::unique_ptr<QFile> file, std::unique_ptr<FifoReader> fifo, bool normalSpeed, BlockHandOff block,
             EndHandOff end);
  void Execute();
  // Reads up to `size` bytes into the chunk buffer; `ended` tells that the
  // file or FIFO has no more.
  int32_t readChunk(int32_t size, bool& ended);
  // Waits while suspended; false once termination was requested.
  bool holdWhileSuspended();
  void handOver(const uint8_t* bytes, int32_t length);

  // One of the two is there.
  std::unique_ptr<QFile> playbackFile_;
  const std::unique_ptr<FifoReader> fifo_;
  const int64_t fileLength_;
  BlockHandOff block_;
  EndHandOff end_;
  std::atomic<bool> normalSpeed_;
  std::atomic<bool> terminated_{false};
  mutable QMutex mutex_;
  QWaitCondition wake_;
  bool suspended_ = false;
  uint8_t chunk_[kChunkSize];
};

}  // namespace veltrano

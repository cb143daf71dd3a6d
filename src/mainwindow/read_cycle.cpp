#include "mainwindow/read_cycle.h"

#include <algorithm>

namespace veltrano {

TReadCycle::TReadCycle(std::unique_ptr<QFile> file, bool normalSpeed, BlockHandOff block, EndHandOff end)
    : TReadCycle(std::move(file), nullptr, normalSpeed, std::move(block), std::move(end)) {}

TReadCycle::TReadCycle(std::unique_ptr<FifoReader> fifo, bool normalSpeed, BlockHandOff block, EndHandOff end)
    : TReadCycle(nullptr, std::move(fifo), normalSpeed, std::move(block), std::move(end)) {}

TReadCycle::TReadCycle(std::unique_ptr<QFile> file, std::unique_ptr<FifoReader> fifo, bool normalSpeed,
                       BlockHandOff block, EndHandOff end)
    : playbackFile_(std::move(file)),
      fifo_(std::move(fifo)),
      fileLength_(playbackFile_ ? playbackFile_->size() : kNoLength),
      block_(std::move(block)),
      end_(std::move(end)),
      normalSpeed_(normalSpeed) {}

TReadCycle::~TReadCycle() = default;

void TReadCycle::suspend() {
  const QMutexLocker lock(&mutex_);
  suspended_ = true;
}

void TReadCycle::resume() {
  const QMutexLocker lock(&mutex_);
  suspended_ = false;
  wake_.wakeAll();
}

bool TReadCycle::suspended() const {
  const QMutexLocker lock(&mutex_);
  return suspended_;
}

void TReadCycle::requestTermination() {
  const QMutexLocker lock(&mutex_);
  terminated_ = true;
  wake_.wakeAll();
  if (fifo_) fifo_->interrupt();
}

bool TReadCycle::holdWhileSuspended() {
  QMutexLocker lock(&mutex_);
  while (suspended_ && !terminated_) wake_.wait(&mutex_);
  return !terminated_;
}

void TReadCycle::handOver(const uint8_t* bytes, int32_t length) {
  bool taken = false;
  while (!taken && holdWhileSuspended()) {
    QMetaObject::invokeMethod(
        this, [&] { taken = block_(this, bytes, length); }, Qt::BlockingQueuedConnection);
  }
}

int32_t TReadCycle::readChunk(int32_t size, bool& ended) {
  if (fifo_) {
    const int32_t read = fifo_->read(chunk_, size);
    ended = read == 0;
    return read;
  }
  // A read error reads as a short read: the end of the file.
  const int32_t read = int32_t(std::max<int64_t>(playbackFile_->read(reinterpret_cast<char*>(chunk_), size), 0));
  ended = read < size;
  return read;
}

void TReadCycle::Execute() {
  for (;;) {
    bool ended = false;
    if (normalSpeed_) {
      if (readChunk(1, ended) == 1) handOver(chunk_, 1);
    } else {
      const int32_t read = readChunk(kChunkSize, ended);
      int32_t start = 0;
      int32_t slice = 0;
      do {
        slice = std::min<int32_t>(read - start, kSliceSize);
        handOver(chunk_ + start, slice);
        start += slice;
      } while (slice == kSliceSize);
    }
    if (terminated_ || ended) break;
  }
  QThread::msleep(200);
  if (fifo_) {
    fifo_->close();
  } else {
    playbackFile_->close();
  }
  QMetaObject::invokeMethod(
      this, [this] { end_(this); }, Qt::BlockingQueuedConnection);
}

}  // namespace veltrano

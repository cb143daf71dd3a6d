#include "mainwindow/read_cycle.h"

#include <algorithm>

namespace veltrano {

TReadCycle::TReadCycle(std::unique_ptr<QFile> file, bool normalSpeed, BlockHandOff block, EndHandOff end)
    : playbackFile_(std::move(file)),
      fileLength_(playbackFile_->size()),
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

void TReadCycle::Execute() {
  for (;;) {
    int64_t read = 0;
    int64_t chunkSize = 0;
    if (normalSpeed_) {
      chunkSize = 1;
      read = playbackFile_->read(reinterpret_cast<char*>(chunk_), 1);
      if (read == 1) handOver(chunk_, 1);
    } else {
      chunkSize = kChunkSize;
      read = std::max<int64_t>(playbackFile_->read(reinterpret_cast<char*>(chunk_), kChunkSize), 0);
      int32_t start = 0;
      int32_t slice = 0;
      do {
        slice = std::min<int32_t>(int32_t(read) - start, kSliceSize);
        handOver(chunk_ + start, slice);
        start += slice;
      } while (slice == kSliceSize);
    }
    // A read error reads as a short read: the end of the file.
    if (terminated_ || read < chunkSize) break;
  }
  QThread::msleep(200);
  playbackFile_->close();
  QMetaObject::invokeMethod(
      this, [this] { end_(this); }, Qt::BlockingQueuedConnection);
}

}  // namespace veltrano

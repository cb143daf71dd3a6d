#include "mainwindow/read_cycle.h"

#include <algorithm>

namespace veltrano {

TReadCycle::TReadCycle(std::unique_ptr<QFile> file, bool normalSpeed, HandOffs handOffs)
    : TReadCycle(std::move(file), nullptr, normalSpeed, std::move(handOffs)) {}

TReadCycle::TReadCycle(std::unique_ptr<FifoReader> fifo, bool normalSpeed, HandOffs handOffs)
    : TReadCycle(nullptr, std::move(fifo), normalSpeed, std::move(handOffs)) {}

TReadCycle::TReadCycle(std::unique_ptr<QFile> file, std::unique_ptr<FifoReader> fifo, bool normalSpeed,
                       HandOffs handOffs)
    : playbackFile_(std::move(file)),
      fifo_(std::move(fifo)),
      fileLength_(playbackFile_ ? playbackFile_->size() : kNoLength),
      handOffs_(std::move(handOffs)),
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
  if (queued_ > 0 && !terminated_) postSlicesWaiting();
}

bool TReadCycle::suspended() const { return suspended_; }

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
        this, [&] { taken = handOffs_.block(this, bytes, length); }, Qt::BlockingQueuedConnection);
  }
}

void TReadCycle::postSlicesWaiting() {
  if (slicesWaitingPosted_) return;
  slicesWaitingPosted_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        {
          // The taking starts now as far as the thread can tell, so that it
          // posts nothing before the input that comes during the taking.
          const QMutexLocker lock(&mutex_);
          slicesWaitingPosted_ = false;
          taking_ = true;
        }
        handOffs_.slicesWaiting(this);
        const QMutexLocker lock(&mutex_);
        taking_ = false;  // when the hand-off took nothing
      },
      Qt::QueuedConnection);
}

// A full ring is refilled once half of it was taken, so that the thread is
// woken once for several chunks rather than for each.
TReadCycle::Chunk* TReadCycle::waitForFreeChunk() {
  QMutexLocker lock(&mutex_);
  if (queued_ == kChunkBuffers)
    while (queued_ > kChunkBuffers / 2 && !terminated_) wake_.wait(&mutex_);
  if (terminated_) return nullptr;
  return &chunks_[(first_ + queued_) % kChunkBuffers];
}

void TReadCycle::queueChunk() {
  const QMutexLocker lock(&mutex_);
  ++queued_;
  if (!taking_) postSlicesWaiting();
}

bool TReadCycle::waitUntilTaken() {
  QMutexLocker lock(&mutex_);
  while (queued_ > 0 && !terminated_) wake_.wait(&mutex_);
  return !terminated_;
}

// While the main thread takes slices the thread queues chunks without posting;
// what is left when it stops is offered again by an event posted then, behind
// whatever the event loop holds by that time (a click waits one slot at most).
bool TReadCycle::takeQueuedSlices(const QDeadlineTimer& until) {
  {
    const QMutexLocker lock(&mutex_);
    taking_ = true;
  }
  const bool left = takeSlicesUntil(until);
  const QMutexLocker lock(&mutex_);
  taking_ = false;
  // A paused playback is offered again when resumed.
  if (queued_ > 0 && !suspended_ && !terminated_) postSlicesWaiting();
  return left;
}

// A queued chunk is read and moved on here without the lock: the thread writes
// only buffers that are not queued, and only this thread takes slices.
bool TReadCycle::takeSlicesUntil(const QDeadlineTimer& until) {
  for (;;) {
    Chunk* chunk = nullptr;
    {
      const QMutexLocker lock(&mutex_);
      if (terminated_ || suspended_ || queued_ == 0) return false;
      chunk = &chunks_[first_];
    }
    for (;;) {
      const int32_t length = std::min(chunk->length - chunk->taken, kSliceSize);
      if (!handOffs_.block(this, chunk->bytes + chunk->taken, length)) return false;
      chunk->taken += length;
      // Slices go on while a slice had the full size, so a chunk of a
      // multiple of kSliceSize bytes (or none) ends with an empty one.
      if (length < kSliceSize) break;
      if (terminated_ || suspended_) return false;
      if (until.hasExpired()) return true;
    }
    const QMutexLocker lock(&mutex_);
    first_ = (first_ + 1) % kChunkBuffers;
    --queued_;
    if (queued_ == kChunkBuffers / 2 || queued_ == 0) wake_.wakeAll();
    if (queued_ > 0 && until.hasExpired()) return true;
  }
}

int32_t TReadCycle::readChunk(uint8_t* into, int32_t size, bool& ended) {
  if (fifo_) {
    const int32_t read = fifo_->read(into, size);
    ended = read == 0;
    return read;
  }
  // A read error reads as a short read: the end of the file.
  const int32_t read = int32_t(std::max<int64_t>(playbackFile_->read(reinterpret_cast<char*>(into), size), 0));
  ended = read < size;
  return read;
}

void TReadCycle::Execute() {
  for (;;) {
    bool ended = false;
    if (!holdWhileSuspended()) break;
    if (normalSpeed_) {
      // Every buffer is free once the queue is empty.
      if (!waitUntilTaken()) break;
      if (readChunk(chunks_[0].bytes, 1, ended) == 1) handOver(chunks_[0].bytes, 1);
    } else {
      Chunk* chunk = waitForFreeChunk();
      if (!chunk) break;
      // A speed change while the thread waited for a buffer applies to this pass.
      if (normalSpeed_) continue;
      chunk->length = readChunk(chunk->bytes, kChunkSize, ended);
      chunk->taken = 0;
      queueChunk();
    }
    if (terminated_ || ended) break;
  }
  waitUntilTaken();
  QThread::msleep(200);
  if (fifo_) {
    fifo_->close();
  } else {
    playbackFile_->close();
  }
  QMetaObject::invokeMethod(
      this, [this] { handOffs_.end(this); }, Qt::BlockingQueuedConnection);
}

}  // namespace veltrano

#include "link/receive_queue.h"

#include <algorithm>

namespace veltrano {

ReceiveQueue::ReceiveQueue() : storage_(std::make_unique<uint8_t[]>(kCapacity)) {}

std::span<uint8_t> ReceiveQueue::waitForSpace() {
  std::unique_lock lock(mutex_);
  spaceChanged_.wait(lock, [this] { return stopped_ || committed_ - released_ < uint64_t(kCapacity); });
  if (stopped_) return {};
  const int32_t free = kCapacity - int32_t(committed_ - released_);
  const int32_t position = int32_t(committed_ % kCapacity);
  return {storage_.get() + position, size_t(std::min(free, kCapacity - position))};
}

void ReceiveQueue::commit(int32_t n) {
  {
    std::lock_guard lock(mutex_);
    committed_ += uint64_t(n);
  }
  itemsChanged_.notify_all();
}

void ReceiveQueue::addLineError() {
  {
    std::lock_guard lock(mutex_);
    ErrorMark* last = markCount_ > 0 ? &errorMarks_[(firstMark_ + markCount_ - 1) % kMaxErrorMarks] : nullptr;
    if (last != nullptr && (last->at == committed_ || markCount_ == kMaxErrorMarks)) {
      // Errors at one position, or more error positions than marks: the last mark takes them.
      ++last->count;
    } else {
      errorMarks_[(firstMark_ + markCount_) % kMaxErrorMarks] = {committed_, 1};
      ++markCount_;
    }
  }
  notifyEveryWaiter();
}

void ReceiveQueue::endOfInput() {
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
  }
  notifyEveryWaiter();
}

ReceiveQueue::Taken ReceiveQueue::waitForItem() {
  std::unique_lock lock(mutex_);
  itemsChanged_.wait(lock, [this] { return stopped_ || ended_ || markCount_ > 0 || committed_ > released_; });
  if (stopped_) return {};
  if (markCount_ > 0) {
    ErrorMark& mark = errorMarks_[firstMark_];
    if (mark.at <= released_) {
      if (--mark.count == 0) {
        firstMark_ = (firstMark_ + 1) % kMaxErrorMarks;
        --markCount_;
      }
      return {Item::LineError, nullptr, 0};
    }
  }
  const uint64_t available = bytesBeforeError();
  if (available == 0) return {Item::End, nullptr, 0};
  return batch(available);
}

ReceiveQueue::Taken ReceiveQueue::queuedBytes() {
  const std::lock_guard lock(mutex_);
  const uint64_t available = bytesBeforeError();
  if (stopped_ || available == 0) return {};
  return batch(available);
}

void ReceiveQueue::waitForNonBytes(std::chrono::milliseconds longest) {
  std::unique_lock lock(mutex_);
  nonBytesChanged_.wait_for(lock, longest, [this] { return stopped_ || ended_ || markCount_ > 0; });
}

uint64_t ReceiveQueue::bytesBeforeError() const {
  if (markCount_ > 0) return errorMarks_[firstMark_].at - released_;
  return committed_ - released_;
}

ReceiveQueue::Taken ReceiveQueue::batch(uint64_t available) const {
  const int32_t position = int32_t(released_ % kCapacity);
  const int32_t length = int32_t(std::min<uint64_t>({available, uint64_t(kMaxBatch), uint64_t(kCapacity - position)}));
  return {Item::Bytes, storage_.get() + position, length};
}

void ReceiveQueue::release(int32_t n) {
  {
    std::lock_guard lock(mutex_);
    released_ += uint64_t(n);
  }
  spaceChanged_.notify_all();
}

void ReceiveQueue::notifyEveryWaiter() {
  itemsChanged_.notify_all();
  nonBytesChanged_.notify_all();
  spaceChanged_.notify_all();
}

void ReceiveQueue::stop() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  notifyEveryWaiter();
}

}  // namespace veltrano

#include "link/receive_queue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace veltrano {
namespace {

using Item = ReceiveQueue::Item;

// Copies `bytes` into the queue as the port reader does, in as many reads as the room allows.
void put(ReceiveQueue& queue, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const std::span<uint8_t> room = queue.waitForSpace();
    ASSERT_FALSE(room.empty());
    const size_t n = std::min(room.size(), bytes.size() - done);
    std::memcpy(room.data(), bytes.data() + done, n);
    queue.commit(int32_t(n));
    done += n;
  }
}

std::vector<uint8_t> sequence(size_t n, uint32_t seed) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t((i + seed) * 2654435761u >> 24);
  return bytes;
}

// Takes items until the end of input, as the hand-off does; bytes are appended, a line
// error is written as the position where it was taken.
struct Drained {
  std::vector<uint8_t> bytes;
  std::vector<size_t> errorsAt;
  int largestBatch = 0;
};

Drained drain(ReceiveQueue& queue) {
  Drained out;
  for (;;) {
    const ReceiveQueue::Taken taken = queue.waitForItem();
    if (taken.item == Item::Bytes) {
      out.bytes.insert(out.bytes.end(), taken.bytes, taken.bytes + taken.length);
      out.largestBatch = std::max(out.largestBatch, taken.length);
      queue.release(taken.length);
    } else if (taken.item == Item::LineError) {
      out.errorsAt.push_back(out.bytes.size());
    } else {
      EXPECT_EQ(taken.item, Item::End);
      return out;
    }
  }
}

TEST(ReceiveQueue, HandsBytesAndErrorsOverInOrder) {
  ReceiveQueue queue;
  const auto first = sequence(5000, 1);
  const auto second = sequence(300, 2);
  put(queue, first);
  queue.addLineError();
  put(queue, second);
  queue.addLineError();
  queue.addLineError();
  queue.endOfInput();

  const Drained out = drain(queue);
  std::vector<uint8_t> expected = first;
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(out.bytes, expected);
  EXPECT_EQ(out.errorsAt, (std::vector<size_t>{5000, 5300, 5300}));
}

// The main thread's catch-up: queued bytes are taken without waiting, up to the
// next line error; nothing is there before the first byte, at an error, at the
// end of input or once stopped.
TEST(ReceiveQueue, QueuedBytesStopAtTheNextLineErrorAndNeverWait) {
  ReceiveQueue queue;
  EXPECT_EQ(queue.queuedBytes().length, 0);
  const auto first = sequence(ReceiveQueue::kMaxBatch + 100, 4);
  const auto second = sequence(700, 5);
  put(queue, first);
  queue.addLineError();
  put(queue, second);
  queue.endOfInput();

  std::vector<uint8_t> taken;
  for (ReceiveQueue::Taken batch = queue.queuedBytes(); batch.length > 0; batch = queue.queuedBytes()) {
    EXPECT_EQ(batch.item, Item::Bytes);
    EXPECT_LE(batch.length, ReceiveQueue::kMaxBatch);
    taken.insert(taken.end(), batch.bytes, batch.bytes + batch.length);
    queue.release(batch.length);
  }
  EXPECT_EQ(taken, first);
  EXPECT_EQ(queue.waitForItem().item, Item::LineError);
  const ReceiveQueue::Taken rest = queue.queuedBytes();
  ASSERT_EQ(rest.length, 700);
  EXPECT_EQ(std::vector<uint8_t>(rest.bytes, rest.bytes + rest.length), second);
  queue.release(rest.length);
  EXPECT_EQ(queue.queuedBytes().length, 0);
  EXPECT_EQ(queue.waitForItem().item, Item::End);
  put(queue, second);
  queue.stop();
  EXPECT_EQ(queue.queuedBytes().length, 0);
}

TEST(ReceiveQueue, BatchesAreCappedAndWrapAround) {
  ReceiveQueue queue;
  // More than the capacity in total, taken concurrently, so the storage wraps several times.
  const auto bytes = sequence(size_t(ReceiveQueue::kCapacity) * 3 + 12345, 3);
  std::thread reader([&] {
    put(queue, bytes);
    queue.endOfInput();
  });
  const Drained out = drain(queue);
  reader.join();
  EXPECT_EQ(out.bytes, bytes);
  EXPECT_EQ(out.largestBatch, ReceiveQueue::kMaxBatch);
  EXPECT_TRUE(out.errorsAt.empty());
}

TEST(ReceiveQueue, ManyErrorPositionsAreAllCounted) {
  ReceiveQueue queue;
  for (int i = 0; i < 100; ++i) {
    put(queue, sequence(10, uint32_t(i)));
    queue.addLineError();
  }
  queue.endOfInput();
  const Drained out = drain(queue);
  EXPECT_EQ(out.bytes.size(), 1000u);
  ASSERT_EQ(out.errorsAt.size(), 100u);
  // Positions are kept while marks last; beyond that, errors are counted at the last mark.
  for (size_t i = 0; i + 1 < out.errorsAt.size(); ++i) EXPECT_LE(out.errorsAt[i], out.errorsAt[i + 1]);
  EXPECT_EQ(out.errorsAt.front(), 10u);
}

TEST(ReceiveQueue, FullQueueWaitsForRelease) {
  ReceiveQueue queue;
  put(queue, sequence(size_t(ReceiveQueue::kCapacity), 4));
  std::thread reader([&] { put(queue, sequence(100, 5)); });
  const ReceiveQueue::Taken taken = queue.waitForItem();
  ASSERT_EQ(taken.item, Item::Bytes);
  queue.release(taken.length);
  reader.join();  // returns only because room was released
  queue.endOfInput();
  EXPECT_EQ(drain(queue).bytes.size(), size_t(ReceiveQueue::kCapacity) - size_t(taken.length) + 100);
}

TEST(ReceiveQueue, StopWakesBothSides) {
  ReceiveQueue full;
  put(full, sequence(size_t(ReceiveQueue::kCapacity), 6));
  ReceiveQueue empty;
  uint8_t unused = 0;
  std::span<uint8_t> room(&unused, 1);
  Item item = Item::Bytes;
  std::thread writer([&] { room = full.waitForSpace(); });
  std::thread taker([&] { item = empty.waitForItem().item; });
  full.stop();
  empty.stop();
  writer.join();
  taker.join();
  EXPECT_TRUE(room.empty());
  EXPECT_EQ(item, Item::Stopped);
}

}  // namespace
}  // namespace veltrano

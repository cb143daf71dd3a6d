#pragma once
// A named pipe (FIFO) played back. Opening one for reading in the usual way
// waits until a writer opens it, which on the main thread would freeze the
// program; this reader opens it without waiting and waits for the writer's
// data in `read` instead, on the playback thread, where `interrupt` can end
// the wait at any time: with no writer yet, or with a writer that is silent.
#include <QString>
#include <cstdint>
#include <memory>

namespace veltrano {

class FifoReader {
 public:
  // True when `path` names a FIFO (or a link to one).
  static bool isFifo(const QString& path);
  // Opens the FIFO at `path` for reading, at once even without a writer; null
  // when it cannot be opened.
  static std::unique_ptr<FifoReader> open(const QString& path);

  ~FifoReader();
  FifoReader(const FifoReader&) = delete;
  FifoReader& operator=(const FifoReader&) = delete;

  // Waits until a writer has written something and reads up to `size` bytes of
  // it. Returns 0 at the end: the writer has closed the FIFO (after data or
  // none), a read error, `interrupt` was called, or the FIFO is closed.
  int32_t read(uint8_t* into, int32_t size);
  // Any thread: the waiting read and every later one return 0.
  void interrupt();
  // Closes the FIFO; a writer still writing then gets a broken pipe.
  void close();

 private:
  FifoReader(int descriptor, int wakeDescriptor);

  int descriptor_;
  const int wakeDescriptor_;
};

}  // namespace veltrano

#include "mainwindow/fifo_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace veltrano {

bool FifoReader::isFifo(const QString& path) {
  struct stat status {};
  return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

std::unique_ptr<FifoReader> FifoReader::open(const QString& path) {
  // O_NONBLOCK: an open for reading returns at once, writer or not. The
  // descriptor stays non-blocking; `read` waits in poll instead.
  int descriptor = -1;
  do {
    descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } while (descriptor < 0 && errno == EINTR);
  if (descriptor < 0) return nullptr;
  const int wakeDescriptor = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeDescriptor < 0) {
    ::close(descriptor);
    return nullptr;
  }
  return std::unique_ptr<FifoReader>(new FifoReader(descriptor, wakeDescriptor));
}

FifoReader::FifoReader(int descriptor, int wakeDescriptor) : descriptor_(descriptor), wakeDescriptor_(wakeDescriptor) {}

FifoReader::~FifoReader() {
  close();
  ::close(wakeDescriptor_);
}

int32_t FifoReader::read(uint8_t* into, int32_t size) {
  // Never read before poll has reported the FIFO: without a writer a read
  // returns 0, which cannot tell "no writer yet" from "the writer has gone".
  // Linux reports neither data nor a hang-up on a FIFO opened non-blocking
  // until a writer has come, so poll waits for the first writer, and reports
  // a hang-up (read then returns 0) once the last writer has closed.
  pollfd watched[2] = {{descriptor_, POLLIN, 0}, {wakeDescriptor_, POLLIN, 0}};
  while (descriptor_ >= 0) {
    const int ready = ::poll(watched, 2, -1);
    if (ready < 0 && errno != EINTR) return 0;
    if (ready <= 0) continue;
    // The wake-up counter is never read back: once interrupted, it stays so.
    if (watched[1].revents != 0) return 0;
    const ssize_t n = ::read(descriptor_, into, size_t(size));
    if (n >= 0) return int32_t(n);
    if (errno != EAGAIN && errno != EINTR) return 0;
  }
  return 0;
}

void FifoReader::interrupt() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeDescriptor_, &one, sizeof one);
}

void FifoReader::close() {
  if (descriptor_ < 0) return;
  ::close(descriptor_);
  descriptor_ = -1;
}

}  // namespace veltrano

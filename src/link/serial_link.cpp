#include "link/serial_link.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "link/thread_wait.h"

namespace veltrano {

SerialLink::SerialLink(LinkReceiver& receiver) : receiver_(receiver) {}

SerialLink::~SerialLink() {
  closePort();
  for (auto& reader : endingReaders_) waitServingHandOffs(*reader);
}

bool SerialLink::openPort(const QString& portName, int32_t baud, bool oddParity, bool startReader) {
  closePort();
  port_.setPortName(portName);
  // QSerialPort applies the settings of the last open while opening; a port that
  // kept odd parity then refuses odd parity once more. Every open starts plain.
  port_.setParity(QSerialPort::NoParity);
  if (!port_.open(QIODevice::ReadWrite)) {
    port_.clearError();
    return false;
  }
  leaveReadingToReader();
  if (!configurePort(baud, oddParity)) {
    closePort();
    return false;
  }
  if (startReader) {
    reader_ = std::make_unique<ReadThread>(port_.handle(), receiver_, [this] { closePort(); });
    reader_->startReading();
  }
  return true;
}

// QSerialPort reads the port on the main thread's event loop into a buffer of its own.
// Only the reader reads this port, so that notifier stays off.
void SerialLink::leaveReadingToReader() {
  for (QSocketNotifier* notifier : port_.findChildren<QSocketNotifier*>()) {
    if (notifier->type() == QSocketNotifier::Read) notifier->setEnabled(false);
  }
}

bool SerialLink::configurePort(int32_t baud, bool oddParity) {
  const bool configured = port_.setBaudRate(baud) && port_.setDataBits(QSerialPort::Data8) &&
                          port_.setParity(oddParity ? QSerialPort::OddParity : QSerialPort::NoParity) &&
                          port_.setStopBits(QSerialPort::OneStop) && port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!configured) return false;
  // Best effort: a pseudo-terminal has no modem lines and refuses these.
  port_.setDataTerminalReady(false);
  port_.setRequestToSend(false);
  port_.clear(QSerialPort::AllDirections);
  port_.clearError();
  return true;
}

void SerialLink::closePort() {
  if (reader_) {
    reader_->stopPortReading();
    if (reader_->handingOff()) {
      // Called by the receiver inside this reader's hand-off: the reader ends once it returns.
      endingReaders_.push_back(std::move(reader_));
    } else {
      // The reader may be waiting in a hand-off; delivered now, it is dropped, the
      // stop being requested.
      waitServingHandOffs(*reader_);
      reader_.reset();
    }
  }
  if (port_.isOpen()) port_.close();
  port_.clearError();
  reapFinishedReaders();
}

void SerialLink::reapFinishedReaders() {
  std::erase_if(endingReaders_, [](const std::unique_ptr<ReadThread>& reader) { return reader->isFinished(); });
}

int SerialLink::writePort(const uint8_t* bytes, int count) {
  if (!port_.isOpen() || count <= 0) return 0;
  const int descriptor = port_.handle();
  const QDeadlineTimer deadline(kWriteTimeoutMs);
  int written = 0;
  while (written < count) {
    const ssize_t n = ::write(descriptor, bytes + written, size_t(count - written));
    if (n > 0) {
      written += int(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if ((n < 0 && errno != EAGAIN) || deadline.hasExpired()) return 0;
    pollfd writable{descriptor, POLLOUT, 0};
    const int ready = ::poll(&writable, 1, int(deadline.remainingTime()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return 0;
  }
  return written;
}

bool SerialLink::setPortBaud(int32_t baud) {
  termios settings{};
  if (!port_.isOpen() || ::tcgetattr(port_.handle(), &settings) != 0) return false;
  port_.setBaudRate(baud);
  port_.clearError();
  return true;
}

}  // namespace veltrano

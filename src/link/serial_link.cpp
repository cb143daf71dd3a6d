#include "link/serial_link.h"

#include <QDeadlineTimer>
#include <QFile>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "link/line_rate.h"
#include "link/tcp_connect.h"
#include "link/thread_wait.h"
#include "util/host_port.h"

namespace veltrano {

namespace {

// "ttyUSB0" is /dev/ttyUSB0, and "pts/3" /dev/pts/3; "/dev/ttyS0", "./port" and
// "../port" are paths already.
QByteArray devicePath(const QString& portName) {
  const bool isPath = portName.startsWith(u'/') || portName.startsWith(QStringLiteral("./")) ||
                      portName.startsWith(QStringLiteral("../"));
  return QFile::encodeName(isPath ? portName : QStringLiteral("/dev/") + portName);
}

// Makes the port ours alone. TIOCEXCL refuses every later open except one by root;
// the lock refuses root too, and a second descriptor of this very process. A port
// that is already exclusive belongs to another program (we only got in as root).
bool holdExclusively(int descriptor) {
  int exclusive = 0;
  if (::ioctl(descriptor, TIOCGEXCL, &exclusive) != 0 || exclusive != 0) return false;
  if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) return false;
  if (::ioctl(descriptor, TIOCEXCL) == 0) return true;
  ::flock(descriptor, LOCK_UN);
  return false;
}

// Raw bytes, 8 data bits, no parity yet, 1 stop bit, no flow control; a read
// returns at once with what is there. With odd parity set later, a byte with a
// parity error is passed on as it came; the driver counts it (see ReadThread).
bool setLineMode(int descriptor) {
  termios settings{};
  if (::tcgetattr(descriptor, &settings) != 0) return false;
  ::cfmakeraw(&settings);
  settings.c_iflag &= ~tcflag_t(IXOFF | IXANY | INPCK);
  settings.c_cflag &= ~tcflag_t(CSTOPB | CRTSCTS);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  return ::tcsetattr(descriptor, TCSANOW, &settings) == 0;
}

// Gives up a serial port held by holdExclusively.
void releasePort(int descriptor) {
  ::ioctl(descriptor, TIOCNXCL);
  ::flock(descriptor, LOCK_UN);
  ::close(descriptor);
}

bool configureLine(int descriptor, int32_t baud, bool oddParity) {
  const LineParity parity = oddParity ? LineParity::Odd : LineParity::None;
  if (!setLineMode(descriptor) || !setLineRate(descriptor, baud, parity)) return false;
  // Best effort: a pseudo-terminal has no modem lines and refuses this.
  const int modemLines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(descriptor, TIOCMBIC, &modemLines);
  return ::tcflush(descriptor, TCIOFLUSH) == 0;
}

}  // namespace

SerialLink::SerialLink(LinkReceiver& receiver, BlockFrames& frames) : receiver_(receiver), frames_(frames) {}

SerialLink::~SerialLink() {
  closePort();
  for (auto& reader : endingReaders_) waitServingHandOffs(*reader);
}

bool SerialLink::openPort(const QString& portName, int32_t baud, bool oddParity, bool startReader,
                          RecordWriter* record) {
  closePort();
  openErrno_ = 0;
  connectFailure_.clear();
  const bool network = isNetworkPort(portName);
  const int descriptor = network ? connectTcpPort(portName) : openSerialPort(portName, baud, oddParity);
  if (descriptor < 0) return false;
  descriptor_ = descriptor;
  network_ = network;
  if (startReader) {
    reader_ = std::make_unique<ReadThread>(
        descriptor_, receiver_, frames_, [this] { closePort(); }, record);
    reader_->startReading();
  }
  return true;
}

int SerialLink::openSerialPort(const QString& portName, int32_t baud, bool oddParity) {
  const int descriptor = ::open(devicePath(portName).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    openErrno_ = errno;
    return -1;
  }
  if (!holdExclusively(descriptor)) {
    openErrno_ = EBUSY;
    ::close(descriptor);
    return -1;
  }
  if (!configureLine(descriptor, baud, oddParity)) {
    openErrno_ = errno;
    releasePort(descriptor);
    return -1;
  }
  return descriptor;
}

int SerialLink::connectTcpPort(const QString& portName) {
  const auto address = parseTcpPortName(portName.toStdString());
  if (const std::string* malformed = std::get_if<std::string>(&address)) {
    connectFailure_ = QString::fromStdString(*malformed);
    return -1;
  }
  const HostPort& hostPort = std::get<HostPort>(address);
  std::string reason;
  const int descriptor = connectTcp(hostPort, kConnectTimeoutMs, reason);
  if (descriptor < 0) {
    connectFailure_ = QStringLiteral("Cannot connect to %1: %2")
                          .arg(QString::fromStdString(hostPortText(hostPort)), QString::fromLocal8Bit(reason));
  }
  return descriptor;
}

QString SerialLink::openFailureText(const QString& portName) const {
  if (accessDenied()) return QStringLiteral("No permission for ") + portName;
  if (!connectFailure_.isEmpty()) return connectFailure_;
  return QStringLiteral("Connection failed");
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
  if (descriptor_ >= 0) {
    if (network_) {
      ::close(descriptor_);
    } else {
      releasePort(descriptor_);
    }
    descriptor_ = -1;
    network_ = false;
  }
  reapFinishedReaders();
}

void SerialLink::reapFinishedReaders() {
  std::erase_if(endingReaders_, [](const std::unique_ptr<ReadThread>& reader) { return reader->isFinished(); });
}

int SerialLink::writePort(const uint8_t* bytes, int count) {
  if (descriptor_ < 0 || count <= 0) return 0;
  const QDeadlineTimer deadline(kWriteTimeoutMs);
  int written = 0;
  while (written < count) {
    // A connection that the other side closed fails the send instead of ending the program.
    const ssize_t n = network_ ? ::send(descriptor_, bytes + written, size_t(count - written), MSG_NOSIGNAL)
                               : ::write(descriptor_, bytes + written, size_t(count - written));
    if (n > 0) {
      written += int(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if ((n < 0 && errno != EAGAIN) || deadline.hasExpired()) return 0;
    pollfd writable{descriptor_, POLLOUT, 0};
    const int ready = ::poll(&writable, 1, int(deadline.remainingTime()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return 0;
  }
  return written;
}

bool SerialLink::setPortBaud(int32_t baud) {
  return descriptor_ >= 0 && (network_ || setLineRate(descriptor_, baud, LineParity::Kept));
}

bool isNetworkPort(const QString& portName) { return isTcpPortName(portName.toStdString()); }

}  // namespace veltrano

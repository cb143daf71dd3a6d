#pragma once
// The one receiver port of the program: a serial port opened with the line
// settings a receiver expects, or a TCP connection to a receiver on the network
// ("tcp://HOST:PORT"); read by a ReadThread that hands every batch to the main
// thread, written with a bounded wait. All calls are made on the main thread.
#include <QString>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <vector>

#include "link/block_frames.h"
#include "link/link_receiver.h"
#include "link/port_writer.h"
#include "link/read_thread.h"

namespace veltrano {

class SerialLink : public PortWriter {
 public:
  static constexpr int kWriteTimeoutMs = 1000;
  // How long opening a TCP port may wait for the connection: long enough for a
  // lost first packet to be sent again, short enough not to hold up the window.
  static constexpr int kConnectTimeoutMs = 1500;

  // The reader's batches go to `receiver`; those it hands over together are
  // drawn as `frames` says.
  explicit SerialLink(LinkReceiver& receiver, BlockFrames& frames = blockByBlock());
  ~SerialLink() override;
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // `portName` is a device name ("ttyUSB0" is /dev/ttyUSB0) or a full path. 8 data bits,
  // odd or no parity, 1 stop bit, no flow control, DTR and RTS off, queues purged.
  // False when the port does not exist, is held by someone else or cannot be
  // configured; nothing is open then.
  // A port "tcp://HOST:PORT" is connected to instead, waiting at most
  // kConnectTimeoutMs; the rate and parity are the business of whatever serves
  // it. False when the name is malformed or the connection fails.
  // `record`, with the reader, stores every block read until the port is closed.
  bool openPort(const QString& portName, int32_t baud, bool oddParity, bool startReader,
                RecordWriter* record = nullptr);
  // Stops the reader, if any, and closes the port; harmless when nothing is open.
  // Also safe from inside a hand-off of the reader.
  void closePort();
  // The number of bytes written, or 0 when the port is closed or the write did not
  // finish within kWriteTimeoutMs.
  int writePort(const uint8_t* bytes, int count) override;
  // Changes the rate of the open port; the reader keeps running. False when no port
  // is open or its settings cannot be read. A TCP port has no rate: true while open.
  bool setPortBaud(int32_t baud);
  bool isOpen() const { return descriptor_ >= 0; }
  // Whether the last openPort failed because the system refused this user the port.
  bool accessDenied() const { return openErrno_ == EACCES || openErrno_ == EPERM; }
  // What the last failed openPort tells the user: "No permission for <port>" when
  // access was denied, "Cannot connect to HOST:PORT: <reason>" or what is wrong
  // with a malformed TCP port, otherwise "Connection failed".
  QString openFailureText(const QString& portName) const;

 private:
  // The descriptor of the serial port, opened, held and configured; -1 on failure.
  int openSerialPort(const QString& portName, int32_t baud, bool oddParity);
  // The descriptor of the connection; -1 with connectFailure_ saying why.
  int connectTcpPort(const QString& portName);
  void reapFinishedReaders();

  LinkReceiver& receiver_;
  BlockFrames& frames_;
  int descriptor_ = -1;  // the open port
  bool network_ = false;    // the open port is a TCP connection
  int openErrno_ = 0;       // why the last openPort of a serial port failed
  QString connectFailure_;  // why the last openPort of a TCP port failed
  std::unique_ptr<ReadThread> reader_;
  // Readers stopped from inside their own hand-off; they end as soon as it returns.
  std::vector<std::unique_ptr<ReadThread>> endingReaders_;
};

// Whether `portName` names a receiver on the network ("tcp://HOST:PORT").
bool isNetworkPort(const QString& portName);

}  // namespace veltrano

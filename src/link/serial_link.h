#pragma once
// The one serial port of the program: opened with the line settings a receiver
// expects, read by a ReadThread that hands every batch to the main thread, written
// with a bounded wait. All calls are made on the main thread.
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "link/block_frames.h"
#include "link/link_receiver.h"
#include "link/read_thread.h"

namespace veltrano {

class SerialLink {
 public:
  static constexpr int kWriteTimeoutMs = 1000;

  // The reader's batches go to `receiver`; those it hands over together are
  // drawn as `frames` says.
  explicit SerialLink(LinkReceiver& receiver, BlockFrames& frames = blockByBlock());
  ~SerialLink();
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // `portName` is a device name ("ttyUSB0" is /dev/ttyUSB0) or a full path. 8 data bits,
  // odd or no parity, 1 stop bit, no flow control, DTR and RTS off, queues purged.
  // False when the port does not exist, is held by someone else or cannot be
  // configured; nothing is open then.
  // `record`, with the reader, stores every block read until the port is closed.
  bool openPort(const QString& portName, int32_t baud, bool oddParity, bool startReader,
                RecordWriter* record = nullptr);
  // Stops the reader, if any, and closes the port; harmless when nothing is open.
  // Also safe from inside a hand-off of the reader.
  void closePort();
  // The number of bytes written, or 0 when the port is closed or the write did not
  // finish within kWriteTimeoutMs.
  int writePort(const uint8_t* bytes, int count);
  // Changes the rate of the open port; the reader keeps running. False when no port
  // is open or its settings cannot be read.
  bool setPortBaud(int32_t baud);
  bool isOpen() const { return descriptor_ >= 0; }

 private:
  void reapFinishedReaders();

  LinkReceiver& receiver_;
  BlockFrames& frames_;
  int descriptor_ = -1;  // the open port
  std::unique_ptr<ReadThread> reader_;
  // Readers stopped from inside their own hand-off; they end as soon as it returns.
  std::vector<std::unique_ptr<ReadThread>> endingReaders_;
};

}  // namespace veltrano

#pragma once
// Record: names and creates the record file, opens the port, clears the displays
// and counters, configures the receiver's output, and stores every received
// block unchanged while recording; the steps of Stop that end a recording, and
// the watchdog that notices a silent receiver.
#include <QDateTime>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

#include "decoding/receiver.h"
#include "decoding/transport_fields.h"
#include "link/record_writer.h"

namespace veltrano {

class CommandWriter;
class NmeaConversionWriter;
class SerialLink;
class RecordPanel;

class Recording : public QObject {
  Q_OBJECT
 public:
  // `sleepMs` is the program's fixed wait between configuration commands.
  Recording(RecordPanel& panel, TransportFields& transport, Receiver& receiver, SerialLink& link,
            CommandWriter& commands, NmeaConversionWriter& conversion, std::function<void(int ms)> sleepMs);

  // Starts a recording from STOP; anything else is left alone.
  void RecordButtonClick(bool sender = false);
  // Every block received in REC, after receivedTotal counted it. The reader
  // stored it already; a block it could not store ends the recording.
  void blockRecorded();
  // Stop from REC: the receiver's output off, then the conversion, the port and the file closed.
  void stopRecording();
  // One watchdog tick: the third without data stops the recording and searches again.
  void WatchTimerTimer();

  // The local date and time that Record puts into the file name. Tests replace it.
  std::function<QDateTime()> currentTime = [] { return QDateTime::currentDateTime(); };

 signals:
  // A recording starts: the windows and the statistics start afresh.
  void started();
  // The watchdog stopped a recording whose receiver fell silent, and then
  // asks for the search that records again once the receiver is found.
  void receiverLost();
  void searchWanted();

 private:
  void stopOnFullDisk();

  RecordPanel& panel_;
  TransportFields& transport_;
  Receiver& receiver_;
  SerialLink& link_;
  CommandWriter& commands_;
  NmeaConversionWriter& conversion_;
  std::function<void(int ms)> sleepMs_;
  RecordWriter record_;
};

// `name` with the time stamp "_YYYYMMDD_hhmmss" of `time` just before its first
// "."; a stamp already standing there is replaced, with the "_2", "_3", ... that
// kept an earlier recording of the same second apart. A name without "." gets the
// stamp at its end, where an earlier one is replaced the same way.
QString stampedRecordName(const QString& name, const QDateTime& time);

}  // namespace veltrano

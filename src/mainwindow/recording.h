#pragma once
// Record: names and creates the record file, opens the port, clears the displays
// and counters, configures the receiver's output, and stores every received
// block unchanged while recording.
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>

#include "mainwindow/record_file.h"

namespace veltrano {

class AppContext;

class Recording {
 public:
  explicit Recording(AppContext& app);

  // Starts a recording from STOP; anything else is left alone.
  void RecordButtonClick(bool sender = false);
  // The record sink: every block received in REC, after receivedTotal counted it.
  void recordBlock(const uint8_t* bytes, int32_t length);
  // Stop's last step of a recording.
  void closeRecordFile() { recordFile_.close(); }

  // The local date and time that Record puts into the file name. Tests replace it.
  std::function<QDateTime()> currentTime = [] { return QDateTime::currentDateTime(); };

 private:
  void clearForRecording();
  void configureReceiver(const std::string& fileName);
  void configureBinr();
  void configureBinr2();
  void stopOnFullDisk();

  AppContext& app_;
  RecordFile recordFile_;
};

// `name` with the time stamp "_YYYYMMDD_hhmmss" of `time` just before its first
// "."; a stamp already standing there is replaced. A name without "." gets the
// stamp at its end, where an earlier one is replaced the same way.
QString stampedRecordName(const QString& name, const QDateTime& time);

}  // namespace veltrano

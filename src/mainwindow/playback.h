#pragma once
// Playback of recorded files through the decoding path: the main window's Open
// file, Play, Fast play and Pause, and what Stop asks of the playback thread.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "decoding/block_receiver.h"
#include "decoding/transport_fields.h"
#include "mainwindow/read_cycle.h"

namespace veltrano {

class FramePacer;
class NmeaConversionWriter;
class Receiver;
class TransportPanel;

class Playback : public QObject {
  Q_OBJECT
 public:
  // Played blocks go to `intake`, as received ones do; fast play has the
  // windows drawn by `pacer` once per frame of slices.
  Playback(TransportPanel& panel, TransportFields& transport, Receiver& receiver, BlockReceiver& intake,
           NmeaConversionWriter& conversion, FramePacer& pacer);
  // Ends every playback thread still running and waits for it.
  ~Playback();
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  void EjectButtonClick();
  void PlayButtonClick(bool sender = false);
  void RewindButtonClick(bool sender = false);
  void PauseButtonClick();

  // Stop from PLAY, FF or PAUSE: the thread ends and hands nothing more to the
  // decoders, the conversion file is closed.
  void stopPlayback();

  // The open dialog: returns the chosen path, or an empty text when cancelled.
  std::function<QString(const QString& title, const QString& directory, const QString& filter)> openFileDialog;

  // The thread of the playback that owns the transport; null without one.
  TReadCycle* currentCycle() const { return current_; }

 signals:
  // A playback starts: the windows and the statistics start afresh.
  void started();

 private:
  void resumePlayback();
  // Play's work at the given speed: resume, start or only change the speed.
  void play(bool normalSpeed);
  bool startPlayback(bool normalSpeed);
  // The thread that will play the file or FIFO `name`, not started yet; null
  // when it does not open.
  std::unique_ptr<TReadCycle> openPlaybackCycle(const QString& name, bool normalSpeed);
  bool handOverBlock(TReadCycle* cycle, const uint8_t* bytes, int32_t length);
  // Fast play: the queued slices for about one display frame, drawn once.
  void decodeQueuedSlices(TReadCycle* cycle);
  // playbackProgressText, formatted again only when it changes.
  const QString& progressText(int64_t receivedTotal, int64_t fileLength);
  void endPlayback(TReadCycle* cycle);

  TransportPanel& panel_;
  TransportFields& transport_;
  Receiver& receiver_;
  BlockReceiver& intake_;
  NmeaConversionWriter& conversion_;
  FramePacer& pacer_;
  QPointer<TReadCycle> current_;
  // Every thread not yet freed, the ending ones too.
  QList<QPointer<TReadCycle>> threads_;
  bool closing_ = false;
  // The last progress text and the percent (a FIFO's total) it shows.
  QString progressText_;
  int64_t progressShown_ = 0;
};

// "File reading... " with the percentage of the file handed over; for a FIFO
// (a length below 0), which has no length to count it of, the amount handed
// over, as the received-bytes counter shows it.
QString playbackProgressText(int64_t receivedTotal, int64_t fileLength);

}  // namespace veltrano

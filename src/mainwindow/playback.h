#pragma once
// Playback of recorded files through the decoding path: the main window's Open
// file, Play, Fast play and Pause, and what Stop asks of the playback thread.
#include <QList>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

#include "mainwindow/read_cycle.h"

namespace veltrano {

class AppContext;

class Playback {
 public:
  explicit Playback(AppContext& app);
  // Ends every playback thread still running and waits for it.
  ~Playback();
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  void EjectButtonClick();
  void PlayButtonClick(bool sender = false);
  void RewindButtonClick(bool sender = false);
  void PauseButtonClick();

  // Stop's requests. After terminatePlayback the ending thread hands nothing
  // more to the decoders and leaves the transport alone.
  void resumePlayback();
  void terminatePlayback();

  // The open dialog: returns the chosen path, or an empty text when cancelled.
  std::function<QString(const QString& title, const QString& directory, const QString& filter)> openFileDialog;

  // The thread of the playback that owns the transport; null without one.
  TReadCycle* currentCycle() const { return current_; }

 private:
  // Play's work at the given speed: resume, start or only change the speed.
  void play(bool normalSpeed);
  bool startPlayback(bool normalSpeed);
  bool handOverBlock(TReadCycle* cycle, const uint8_t* bytes, int32_t length);
  void endPlayback(TReadCycle* cycle);

  AppContext& app_;
  QPointer<TReadCycle> current_;
  // Every thread not yet freed, the ending ones too.
  QList<QPointer<TReadCycle>> threads_;
  bool closing_ = false;
};

// "File reading... " with the percentage of the file handed over.
QString playbackProgressText(int64_t receivedTotal, int64_t fileLength);

}  // namespace veltrano

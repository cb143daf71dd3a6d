#include "mainwindow/sound_alert.h"

#include "mainwindow/sound_panel.h"

namespace veltrano {

namespace {

const QColor kLime(0, 255, 0);
const QColor kRed(255, 0, 0);

}  // namespace

SoundAlert::SoundAlert(TransportFields& transport, SoundPanel& panel,
                       std::function<void(int frequency, int durationMs)> sound)
    : transport_(transport), panel_(panel), sound_(std::move(sound)) {}

void SoundAlert::SoundButtonClick(bool sender) {
  if (sender) transport_.soundEnabled = !transport_.soundEnabled;
  if (transport_.soundEnabled)
    panel_.showSound(QStringLiteral("sound on"), kLime);
  else
    panel_.showSound(QStringLiteral("sound off"), kRed);
}

void SoundAlert::receiverLost() { alert(1000, 100); }

void SoundAlert::positionStale() { alert(500, 50); }

void SoundAlert::alert(int frequency, int durationMs) {
  if (transport_.soundEnabled) sound_(frequency, durationMs);
}

}  // namespace veltrano

#pragma once
// The sound alerts: SoundButton switches them on and off and SoundLabel shows
// the setting; a silent receiver that stopped a recording and a position
// update without a valid solution each sound a short tone while they are on.
#include <QObject>
#include <functional>

#include "decoding/transport_fields.h"

namespace veltrano {

class SoundPanel;

class SoundAlert : public QObject {
  Q_OBJECT
 public:
  // `sound` plays a tone of the frequency and duration and the system beep with it.
  SoundAlert(TransportFields& transport, SoundPanel& panel, std::function<void(int frequency, int durationMs)> sound);

  // A press by the user (`sender`) switches the alerts on or off; with or
  // without one, SoundLabel shows the setting.
  void SoundButtonClick(bool sender = false);
  // The watchdog stopped a recording whose receiver fell silent.
  void receiverLost();
  // The Position window shows "OLD": the update found no valid solution.
  void positionStale();

 private:
  void alert(int frequency, int durationMs);

  TransportFields& transport_;
  SoundPanel& panel_;
  std::function<void(int frequency, int durationMs)> sound_;
};

}  // namespace veltrano

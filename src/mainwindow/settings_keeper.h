#pragma once
// Keeps the program's settings in "veltrano.ini" of the current directory: read
// when the main window is first shown, written when the program closes, while
// every window still exists.
#include <cstdint>

#include "decoding/transport_fields.h"

namespace veltrano {

class PointRing;
class ProtocolSwitch;
class SoundAlert;
class TMainForm;
class TVisualForm;

class SettingsKeeper {
 public:
  SettingsKeeper(TMainForm& main, TransportFields& transport, ProtocolSwitch& protocols, TVisualForm& visual,
                 SoundAlert& sound, PointRing& points);

  void loadSettings();
  // A directory that cannot be written loses the settings silently.
  void saveSettings();

 private:
  TMainForm& main_;
  TransportFields& transport_;
  ProtocolSwitch& protocols_;
  TVisualForm& visual_;
  SoundAlert& sound_;
  PointRing& points_;
};

}  // namespace veltrano

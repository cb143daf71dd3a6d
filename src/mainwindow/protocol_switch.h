#pragma once
// The protocol list: a change tells the receiver on the selected port to speak
// the chosen protocol (in the protocol it speaks now), and adapts the main
// window, the Satellites window and the Control window to it.
#include <functional>

#include "decoding/transport_fields.h"

namespace veltrano {

class CommandWriter;
class SerialLink;
class TControlForm;
class TSatellitesForm;
class TransportPanel;

class ProtocolSwitch {
 public:
  // `sleepMs` is the program's fixed wait before the port is closed again.
  ProtocolSwitch(TransportPanel& panel, TransportFields& transport, SerialLink& link, CommandWriter& commands,
                 TSatellitesForm& satellites, TControlForm& control, std::function<void(int ms)> sleepMs);

  // The list shows another protocol (`sender`: the user chose it).
  void ProtComboBoxChange(bool sender = false);
  // A recording the user named is of `protocol`: the program switches to it
  // without telling the receiver, which a file says nothing about.
  void selectForFile(ReceiverProtocol protocol);

 private:
  void switchTo(ReceiverProtocol protocol, bool tellReceiver);
  void tellReceiver(ReceiverProtocol from, ReceiverProtocol to);

  TransportPanel& panel_;
  TransportFields& transport_;
  SerialLink& link_;
  CommandWriter& commands_;
  TSatellitesForm& satellites_;
  TControlForm& control_;
  std::function<void(int ms)> sleepMs_;
};

}  // namespace veltrano

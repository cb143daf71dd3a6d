#include "mainwindow/protocol_switch.h"

#include "control/control_form.h"
#include "displays/satellites_form.h"
#include "link/baud_text.h"
#include "link/command_writer.h"
#include "link/protocol_profile.h"
#include "link/serial_link.h"
#include "mainwindow/transport_panel.h"

namespace veltrano {

namespace {
constexpr int kSwitchWaitMs = 200;
}  // namespace

ProtocolSwitch::ProtocolSwitch(TransportPanel& panel, TransportFields& transport, SerialLink& link,
                               CommandWriter& commands, TSatellitesForm& satellites, TControlForm& control,
                               std::function<void(int ms)> sleepMs)
    : panel_(panel),
      transport_(transport),
      link_(link),
      commands_(commands),
      satellites_(satellites),
      control_(control),
      sleepMs_(std::move(sleepMs)) {}

void ProtocolSwitch::ProtComboBoxChange(bool) { switchTo(panel_.chosenProtocol(), true); }

void ProtocolSwitch::selectForFile(ReceiverProtocol protocol) {
  panel_.showProtocol(protocol);
  switchTo(protocol, false);
}

void ProtocolSwitch::switchTo(ReceiverProtocol protocol, bool tell) {
  const ReceiverProtocol old = transport_.receiverProtocol;
  if (protocol == old) return;
  panel_.applyProtocol(protocol);
  if (tell) tellReceiver(old, protocol);
  transport_.receiverProtocol = protocol;
  satellites_.showNotAvailable(protocol == ReceiverProtocol::NMEA);
  control_.applyProtocol(protocol);
  transport_.fileNameFixed = false;
}

// Without a port (none selected, or it does not open) the receiver is not told.
void ProtocolSwitch::tellReceiver(ReceiverProtocol from, ReceiverProtocol to) {
  const std::optional<int32_t> baud = baudFromText(panel_.baudText());
  const ProtocolProfile& profile = protocolProfile(from);
  if (!baud || !link_.openPort(panel_.portName(), *baud, profile.oddParity, true)) return;
  commands_.sendSteps(from, profile.switchTo[size_t(to)], false, 0, sleepMs_);
  sleepMs_(kSwitchWaitMs);
  link_.closePort();
}

}  // namespace veltrano

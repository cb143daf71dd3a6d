#pragma once
// The Control window: reconfigures the receiver while recording (restart, the
// satellite systems, elevation mask, maximum position error, dynamic filter,
// solution rate and options), each command in the form of the selected
// protocol, and sends a free line of text as an NMEA or a BINR command.
#include <string_view>

#include "control/control_commands.h"
#include "control/control_form_controls.h"
#include "decoding/transport_fields.h"
#include "displays/tool_form.h"

class QKeyEvent;

namespace veltrano {

class CommandWriter;

class TControlForm : public ToolForm {
  Q_OBJECT
 public:
  // Every NMEA command `writer` sends shows in SendEdit from now on.
  TControlForm(CommandWriter& writer, const TransportFields& transport);

  const ControlFormControls& controls() const { return c_; }

  // The free-text line for `protocol`: its labels, an empty SendEdit, and
  // SendButton enabled unless the protocol has no free-text commands (BINR2).
  void applyProtocol(ReceiverProtocol protocol);

  // The configuration send buttons: nothing happens outside REC.
  void RestartSpeedButtonClick();
  void SatSystemSpeedButtonClick();
  void ElevationSpeedButtonClick();
  void MaxRMSSpeedButtonClick();
  void FilterSpeedButtonClick();
  void PVTRateSpeedButtonClick();
  void PVTSetSpeedButtonClick();

  // Sends SendEdit's text as an NMEA or BINR command, in any transport state. A
  // text that does not fit its command is not sent and turns red.
  void SendButtonClick();
  // A key for SendEdit before the edit takes it: Enter sends the line while
  // SendButton is enabled. True when the key was used up here.
  bool SendEditKeyPress(const QKeyEvent& key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ControlSettings settings() const;
  void sendConfiguration(ControlButton button);
  // After the user changed SendEdit's text.
  void SendEditChange();
  void showSentCommand(std::string_view text);
  void setSendTextColor(const QColor& color);

  CommandWriter& writer_;
  const TransportFields& transport_;
  ControlFormControls c_;
};

}  // namespace veltrano

#include "mainwindow/transport_enabling.h"

namespace veltrano {

namespace {

enum Switch : char { Keep, On, Off, OnForBinary };

struct Row {
  TransportState state;
  Switch synchro, eject, play, fastPlay, pause, stop, record, lists, debugData, control;
};

constexpr Row kRows[] = {
    {TransportState::SYNC, Off, Off, Off, Off, Off, On, Off, Off, Off, Keep},
    {TransportState::PLAY, Off, Off, Off, On, On, On, Off, Off, Off, Keep},
    {TransportState::FF, Off, Off, On, Off, On, On, Off, Off, Off, Keep},
    {TransportState::PAUSE, Off, Off, On, On, Off, On, Off, Off, Off, Keep},
    {TransportState::REC, Off, Off, Off, Off, Off, On, Off, Off, Off, On},
    {TransportState::STOP, On, On, On, On, Off, Off, On, On, OnForBinary, Keep},
};

void apply(QWidget* control, Switch s, bool binary) {
  if (s == On || (s == OnForBinary && binary)) control->setEnabled(true);
  if (s == Off) control->setEnabled(false);
}

}  // namespace

void enableControlsForState(const MainFormControls& c, TransportState state, ReceiverProtocol protocol) {
  const bool binary = protocol == ReceiverProtocol::BINR || protocol == ReceiverProtocol::BINR2;
  for (const Row& row : kRows) {
    if (row.state != state) continue;
    apply(c.synchroButton, row.synchro, binary);
    apply(c.ejectButton, row.eject, binary);
    apply(c.playButton, row.play, binary);
    apply(c.rewindButton, row.fastPlay, binary);
    apply(c.pauseButton, row.pause, binary);
    apply(c.stopButton, row.stop, binary);
    apply(c.recordButton, row.record, binary);
    apply(c.protComboBox, row.lists, binary);
    apply(c.portComboBox, row.lists, binary);
    apply(c.baudComboBox, row.lists, binary);
    apply(c.rawDataCheckBox, row.debugData, binary);
    apply(c.controlCheckBox, row.control, binary);
  }
}

}  // namespace veltrano

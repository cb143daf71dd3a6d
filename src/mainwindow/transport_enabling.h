#pragma once
// Which of the main window's controls may be used in each transport state.
#include "decoding/transport_fields.h"
#include "mainwindow/main_form_controls.h"

namespace veltrano {

// Enables and disables the controls as entering `state` requires; controls the
// state does not concern keep their enabled state. `protocol` decides whether
// STOP enables "DBG data".
void enableControlsForState(const MainFormControls& controls, TransportState state, ReceiverProtocol protocol);

}  // namespace veltrano

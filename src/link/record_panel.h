#pragma once
// What Record reads and shows beside what the synchronisation does: the record
// file name, the counters, the transport state, the watchdog and the "DBG data"
// box. The main window is one; the command-line tool's headless session another.
#include <QString>

#include "decoding/transport_fields.h"
#include "link/sync_panel.h"

namespace veltrano {

class RecordPanel : public SyncPanel {
 public:
  // The record or playback file name as FileLabel shows it.
  virtual QString fileName() const = 0;
  // The byte and error counters back to "0 kB" and "0", with their labels.
  virtual void resetCounters() = 0;
  // Shows the state and enables the controls of it.
  virtual void enterState(TransportState state) = 0;
  // Starts the watchdog of a recording with no data ticks counted.
  virtual void startWatchdog() = 0;
  virtual bool debugDataWanted() const = 0;
};

}  // namespace veltrano

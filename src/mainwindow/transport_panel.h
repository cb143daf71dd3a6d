#pragma once
// What Record and playback read and show on the main window, beside what the
// synchronisation does: the file name, the counters, the transport state, the
// watchdog and the "DBG data" box.
#include <QString>

#include "decoding/transport_fields.h"
#include "link/sync_panel.h"

class QWidget;

namespace veltrano {

class TransportPanel : public SyncPanel {
 public:
  // The record or playback file name as FileLabel shows it.
  virtual QString fileName() const = 0;
  // A file the user chose: shown, and no longer replaced by the synchronisation.
  virtual void fixFileName(const QString& text) = 0;
  // The byte and error counters back to "0 kB" and "0", with their labels.
  virtual void resetCounters() = 0;
  // Shows the state and enables the controls of it; showState only shows it.
  virtual void enterState(TransportState state) = 0;
  virtual void showState(TransportState state) = 0;
  // Starts the watchdog of a recording with no data ticks counted.
  virtual void startWatchdog() = 0;
  virtual bool debugDataWanted() const = 0;
  // The parent of the dialogs the transport opens.
  virtual QWidget* dialogParent() = 0;

  // The protocol the list shows, and the list set to one without announcing it.
  virtual ReceiverProtocol chosenProtocol() const = 0;
  virtual void showProtocol(ReceiverProtocol protocol) = 0;
  // What the main window changes with the protocol: the default record name,
  // the search tick, the NMEA source menu and the "DBG data" box.
  virtual void applyProtocol(ReceiverProtocol protocol) = 0;
};

}  // namespace veltrano

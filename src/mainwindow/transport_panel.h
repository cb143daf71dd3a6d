#pragma once
// What playback and the protocol list read and show on the main window, beside
// what the synchronisation and Record do: the chosen file, the state display, the
// dialogs' parent and the protocol.
#include <QString>

#include "decoding/transport_fields.h"
#include "link/record_panel.h"

class QWidget;

namespace veltrano {

class TransportPanel : public RecordPanel {
 public:
  // A file the user chose: shown, and no longer replaced by the synchronisation.
  virtual void fixFileName(const QString& text) = 0;
  // Shows the state without enabling the controls of it.
  virtual void showState(TransportState state) = 0;
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

#pragma once
// Port discovery and the search for the receiver: the port list, the custom rate,
// Synchronise and the search timer that tries the rates of the protocol's table.
// A receiver on the network has no rate to search: the selected rate is kept and
// the receiver asked at each tick. The byte handlers recognise the replies and
// end a successful search.
#include <QSerialPortInfo>
#include <QString>
#include <cstdint>
#include <functional>

#include "decoding/fan_out_sinks.h"
#include "decoding/receiver.h"
#include "decoding/transport_fields.h"
#include "link/sync_panel.h"

namespace veltrano {

class CommandWriter;
class SerialLink;

class Synchronisation : public SyncSink {
 public:
  // `sleepMs` is the program's fixed wait before a recording after success.
  Synchronisation(SyncPanel& panel, TransportFields& transport, Receiver& receiver, SerialLink& link,
                  CommandWriter& commands, std::function<void(int ms)> sleepMs);

  // One entry per serial port that can be opened now, the first one selected.
  void refreshPortList();
  // Starts a search from STOP at the selected rate; also called by the watchdog.
  // A search that resumes a recording (recordAfterSync) never gives up: it waits
  // for the port to come back and tries the rates again until the receiver
  // answers or the user stops it.
  void SynchroButtonClick(bool sender = false);
  // One step of the search.
  void SynchroTimerTimer();
  // Stop during the search: the port closes; the user's Stop also ends a resume.
  void stopSearch(bool sender);

  // What the receiver answered during the search.
  void receiverHeard() override;
  void receiverStatusReported() override;
  void rateAcknowledged() override;
  void receiverIdentified(const char* recordExtension, bool connected) override;

 private:
  // The request of the protocol, asking the receiver to move to the selected rate.
  void sendRequest();
  // A resumed recording's search starts over at the selected rate, reopening the
  // port first where it went away; the next tick tries again while it cannot be opened.
  void restartResume();
  bool resuming() const { return transport_.recordAfterSync; }

  SyncPanel& panel_;
  TransportFields& transport_;
  Receiver& receiver_;
  SerialLink& link_;
  CommandWriter& commands_;
  std::function<void(int ms)> sleepMs_;
  // The rate selected when the search started.
  int32_t selectedBaud_ = 0;
  // False for a port on the network, which has no rate of its own.
  bool searchesRates_ = true;
};

// "name - device", with two more spaces after a name of fewer than 5 characters.
QString portListEntry(const QString& portName, const QString& deviceName);

// The port's description, or where it has none the name of its driver (or its
// manufacturer).
QString portDeviceName(const QSerialPortInfo& port);

}  // namespace veltrano

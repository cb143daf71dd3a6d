#pragma once
// The main window against the receiver simulator: a test fixture with a fresh
// program in a scratch folder, the simulator's command log, and the received
// stream cut into its frames or sentences.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QThread>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "../link/pty_fixture.h"
#include "decoding/nmea_kind.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "link/recording.h"
#include "receiver_log.h"
#include "sim_process.h"
#include "stream_check.h"
#include "test_protocols.h"

namespace veltrano::live {

using P = ReceiverProtocol;
using S = TransportState;
using sim::hexOf;
using sim::ScratchDir;
using sim::SimProcess;
using sim::SimProtocol;
using test::Bytes;
using namespace receiver_log;

constexpr int kGuardMs = 10000;  // only a failing test waits this long
inline const QDateTime kStart(QDate(2024, 5, 1), QTime(10, 0, 0));

inline SimProtocol simProtocol(P protocol) { return SimProtocol(int(protocol)); }
constexpr auto optionName = test::protocolOption;
constexpr auto extension = test::recordExtension;
// The receiver's answer to the identification request.
inline int identificationId(P protocol) {
  static const int kIds[] = {int(NmeaKind::VER), 0x70, 0xC0};
  return kIds[int(protocol)];
}

inline Bytes le32(int32_t value) {
  return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

// A byte stream cut into its frames or sentences, each with the id the decoder gave it.
struct Pieces {
  std::vector<Bytes> pieces;
  std::vector<int> ids;
  Bytes rest;  // after the last complete one
  int errors = 0;
};

inline Pieces cut(const Bytes& stream, P protocol) {
  sim::StreamCheck check(simProtocol(protocol));
  Pieces p;
  size_t begin = 0;
  for (size_t i = 0; i < stream.size(); ++i) {
    const int result = check.push(stream[i]);
    if (result < 0) ++p.errors;
    if (result <= 0) continue;
    p.pieces.emplace_back(stream.begin() + long(begin), stream.begin() + long(i + 1));
    p.ids.push_back(result);
    begin = i + 1;
  }
  p.rest.assign(stream.begin() + long(begin), stream.end());
  return p;
}

// Saves a picture of `window` into VELTRANO_GRAB_DIR, when that is set, to look at.
inline void grabIfAsked(QWidget& window, const std::string& name) {
  const char* dir = std::getenv("VELTRANO_GRAB_DIR");
  if (dir == nullptr) return;
  window.grab().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

inline int countOf(const Bytes& stream, P protocol, int id) {
  sim::StreamCheck check(simProtocol(protocol));
  check.feed(stream);
  return check.count(id);
}

class LiveReceiverTest : public ::testing::Test {
 protected:
  LiveReceiverTest() {
    QDir::setCurrent(QString::fromStdString(scratch.path()));
    app.recording->currentTime = [this] { return kStart.addSecs(60 * clockReads++); };
    app.sleepMs = [this](int ms) {
      events.push_back("sleep " + std::to_string(ms));
      if (realWaits) QThread::msleep(ms);
    };
  }
  ~LiveReceiverTest() override {
    form().StopButtonClick(true);
    QDir::setCurrent(previousDirectory);
  }

  TMainForm& form() { return *app.mainForm; }
  MainFormControls c() { return test::probeControls(form()); }
  void select(P protocol, const char* baud, const std::string& port) {
    app.transport.receiverProtocol = protocol;
    c().protComboBox->setCurrentIndex(int(protocol));
    c().baudComboBox->setCurrentIndex(c().baudComboBox->findText(QString::fromLatin1(baud)));
    c().portComboBox->clear();
    c().portComboBox->addItem(QString::fromStdString(port) + QStringLiteral("  - sim"));
  }
  std::string log() const { return scratch.file("commands.log"); }
  // The receiver's port as a path relative to the current directory: its name
  // "tty" + portNumber gives the record name's port part portNumber, and it
  // differs between test processes.
  std::string portLink() const { return scratch.file("tty" + portNumber); }
  std::string relativePort() const { return "./tty" + portNumber; }

  QString previousDirectory = QDir::currentPath();
  ScratchDir scratch;
  AppContext app;
  int clockReads = 0;
  std::vector<std::string> events;
  // The waits are only noted unless a test needs them to pass.
  bool realWaits = false;
  const std::string portNumber = std::to_string(::getpid());
};

}  // namespace veltrano::live

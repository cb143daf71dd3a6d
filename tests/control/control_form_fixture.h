#pragma once
// The Control window on a pseudo-terminal, with its protocol and transport
// state chosen, and what its buttons put on the line read back from the far end.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <string>

#include "../link/pty_fixture.h"
#include "control/control_form.h"
#include "control_command_cases.h"
#include "link/command_writer.h"
#include "link/serial_link.h"

namespace veltrano::control_cases {

using S = TransportState;

constexpr int kGuardMs = 10000;  // only a failing test waits this long

class ControlFormTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pty.isOpen()); }

  // The protocol and the transport state selected, the window set for the protocol.
  void select(P protocol, S state = S::REC) {
    if (!link.isOpen()) {
      ASSERT_TRUE(link.openPort(QString::fromStdString(pty.path()), 115200, protocol == P::BINR, false));
    }
    transport.receiverProtocol = protocol;
    transport.transportState = state;
    form.applyProtocol(protocol);
  }

  // Everything put on the line since the last call. A marker frame follows the
  // test's commands, so the read ends when it arrives and no wait is timed.
  std::string sent() {
    const uint8_t marker[] = {0xEE, 0x5A};
    writer.writeBinr2Command(marker, 2);
    const std::string end = binr2({0xEE, 0x5A});
    std::string line;
    while (!line.ends_with(end)) {
      const std::string more = pty.readMaster(kGuardMs);
      if (more.empty()) {
        ADD_FAILURE() << "the marker never arrived";
        return line;
      }
      line += more;
    }
    return line.substr(0, line.size() - end.size());
  }

  void press(Qt::Key key, const QString& text = QString()) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(c.sendEdit, &event);
  }
  void type(const char* keys) {
    for (const char* k = keys; *k; ++k) {
      const QChar ch = QChar::fromLatin1(*k);
      press(Qt::Key(ch.toUpper().unicode()), QString(ch));
    }
  }

  test::PseudoTerminal pty;
  test::PatternReceiver receiver;
  SerialLink link{receiver};
  bool binrCommandCrc = true;
  CommandWriter writer{link, binrCommandCrc};
  TransportFields transport;
  TControlForm form{writer, transport};
  const ControlFormControls& c = form.controls();
};

}  // namespace veltrano::control_cases

// The link on a TCP port: the same reader and hand-off as on a serial port, the
// connection's end as an unplugged port, commands sent over the connection, and
// a clear reason when the connection cannot be made.
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QThread>
#include <string>

#include "link/serial_link.h"
#include "pty_fixture.h"

namespace veltrano {
namespace {

using test::PatternReceiver;
using test::PatternWriter;
using test::serveFor;
using test::serveUntil;
using test::threadCount;

constexpr int kGuardMs = 30000;  // only a failing link ever waits this long

// A listening socket on the loopback; the test plays the receiver (or the
// serial-to-network server) on the connection it accepts.
class LoopbackServer {
 public:
  // `backlog` 0 holds one connection that is never accepted; the next is not answered.
  explicit LoopbackServer(int family = AF_INET, int backlog = 4) {
    listener_ = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_storage address{};
    socklen_t length = 0;
    if (family == AF_INET6) {
      auto& v6 = reinterpret_cast<sockaddr_in6&>(address);
      v6.sin6_family = AF_INET6;
      v6.sin6_addr = in6addr_loopback;
      length = sizeof v6;
    } else {
      auto& v4 = reinterpret_cast<sockaddr_in&>(address);
      v4.sin_family = AF_INET;
      v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      length = sizeof v4;
    }
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener_, backlog) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      ::close(listener_);
      listener_ = -1;
      return;
    }
    port_ = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(address).sin6_port
                                     : reinterpret_cast<sockaddr_in&>(address).sin_port);
  }
  ~LoopbackServer() {
    closePeer();
    if (listener_ >= 0) ::close(listener_);
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  bool isListening() const { return listener_ >= 0; }
  int port() const { return port_; }
  // Takes the link's connection.
  bool accept(int ms) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, ms) <= 0) return false;
    peer_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    return peer_ >= 0;
  }
  int peer() const { return peer_; }
  void closePeer() {
    if (peer_ >= 0) ::close(peer_);
    peer_ = -1;
  }
  std::string readPeer(int ms) const { return test::readWritten(peer_, ms); }

 private:
  int listener_ = -1;
  int peer_ = -1;
  int port_ = 0;
};

bool ipv6LoopbackWorks() { return LoopbackServer(AF_INET6).isListening(); }

// A loopback port that nothing listens on: one that was just given up.
int closedPort() { return LoopbackServer().port(); }

class TcpLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.isListening());
    baselineThreads = threadCount();
  }
  QString url(const char* host = "127.0.0.1") const {
    return QStringLiteral("tcp://%1:%2").arg(host).arg(server.port());
  }
  bool openLink(bool startReader = true) { return link.openPort(url(), 115200, false, startReader); }
  void expectAllReceived(uint64_t total) { test::expectAllReceived(receiver, total, kGuardMs); }
  void expectNoThreadLeft() { test::expectThreadsBackTo(baselineThreads); }

  LoopbackServer server;
  PatternReceiver receiver;
  SerialLink link{receiver};
  int baselineThreads = 0;
};

TEST_F(TcpLinkTest, StreamArrivesCompleteInOrderAndCommandsGoOverTheConnection) {
  ASSERT_TRUE(openLink());
  ASSERT_TRUE(server.accept(kGuardMs));
  EXPECT_TRUE(link.isOpen());
  {
    PatternWriter writer(server.peer(), 3'000'000);
    expectAllReceived(3'000'000);
  }
  const uint8_t command[] = {0x10, 0x1B, 0x10, 0x03};
  EXPECT_EQ(link.writePort(command, 4), 4);
  EXPECT_EQ(server.readPeer(kGuardMs), std::string("\x10\x1B\x10\x03", 4));
  // There is no line rate to change; the connection and its reader stay.
  EXPECT_TRUE(link.setPortBaud(9600));
  EXPECT_TRUE(link.isOpen());
  link.closePort();
  EXPECT_FALSE(link.isOpen());
  expectNoThreadLeft();
}

// The server's end of the connection is an unplugged adapter: what came before it
// is handed over, then the link closes itself.
TEST_F(TcpLinkTest, ClosedConnectionClosesTheLinkQuietly) {
  ASSERT_TRUE(openLink());
  ASSERT_TRUE(server.accept(kGuardMs));
  {
    PatternWriter writer(server.peer(), 64000);
    EXPECT_TRUE(serveUntil([&] { return writer.done(); }, kGuardMs));
  }
  server.closePeer();
  EXPECT_TRUE(serveUntil([&] { return !link.isOpen(); }, kGuardMs));
  EXPECT_EQ(receiver.received, 64000u);
  EXPECT_EQ(receiver.mismatches, 0u);
  expectNoThreadLeft();
  const uint8_t command[] = {0x10, 0x1B, 0x10, 0x03};
  EXPECT_EQ(link.writePort(command, 4), 0);
}

// Writing into a connection the server has closed fails; it does not end the
// program with SIGPIPE.
TEST_F(TcpLinkTest, WritesIntoAClosedConnectionFailWithoutEndingTheProgram) {
  ASSERT_TRUE(openLink(false));
  ASSERT_TRUE(server.accept(kGuardMs));
  server.closePeer();
  const uint8_t command[] = {0x10, 0x1B, 0x10, 0x03};
  int result = 4;
  for (int attempt = 0; attempt < 100 && result != 0; ++attempt) {
    result = link.writePort(command, 4);
    QThread::msleep(10);
  }
  EXPECT_EQ(result, 0);
  link.closePort();
}

struct NameCase {
  const char* name;
  const char* host;  // as written in the port
  int family;
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.name; }

class TcpLinkNameTest : public ::testing::TestWithParam<NameCase> {};

// An IPv4 or IPv6 address, or a name that resolves to one or both.
TEST_P(TcpLinkNameTest, ConnectsToWhatTheNameResolvesTo) {
  const NameCase& c = GetParam();
  if (c.family == AF_INET6 && !ipv6LoopbackWorks()) GTEST_SKIP() << "no IPv6 loopback here";
  LoopbackServer server(c.family);
  ASSERT_TRUE(server.isListening());
  PatternReceiver receiver;
  SerialLink link(receiver);
  const QString port = QStringLiteral("tcp://%1:%2").arg(QString::fromLatin1(c.host)).arg(server.port());
  ASSERT_TRUE(link.openPort(port, 115200, true, true)) << link.openFailureText(port).toStdString();
  ASSERT_TRUE(server.accept(kGuardMs));
  const char hello[] = "$GPGGA";
  ASSERT_EQ(::send(server.peer(), hello, 6, 0), 6);
  EXPECT_TRUE(serveUntil([&] { return receiver.received == 6; }, kGuardMs));
}

INSTANTIATE_TEST_SUITE_P(Names, TcpLinkNameTest,
                         ::testing::Values(NameCase{"Ipv4", "127.0.0.1", AF_INET}, NameCase{"Ipv6", "[::1]", AF_INET6},
                                           NameCase{"Localhost", "localhost", AF_INET}),
                         [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

// A connection that cannot be made leaves nothing open and says why.
TEST(TcpLinkFailureTest, SaysWhyTheConnectionFailed) {
  struct Case {
    QString port;
    QString message;
  };
  const int closed = closedPort();
  // The one connection that fits its queue is never accepted; a second gets no answer.
  LoopbackServer full(AF_INET, 0);
  ASSERT_TRUE(full.isListening());
  const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(uint16_t(full.port()));
  ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  const Case cases[] = {
      {QStringLiteral("tcp://127.0.0.1:%1").arg(closed),
       QStringLiteral("Cannot connect to 127.0.0.1:%1: Connection refused").arg(closed)},
      {QStringLiteral("tcp://127.0.0.1:%1").arg(full.port()),
       QStringLiteral("Cannot connect to 127.0.0.1:%1: Connection timed out").arg(full.port())},
      {QStringLiteral("tcp://127.0.0.1"),
       QStringLiteral("\"tcp://127.0.0.1\" is not tcp://HOST:PORT: no port after the host")},
      {QStringLiteral("tcp://[::1:4001"),
       QStringLiteral("\"tcp://[::1:4001\" is not tcp://HOST:PORT: the \"[\" of the IPv6 address is not closed")},
  };
  PatternReceiver receiver;
  SerialLink link(receiver);
  const int threads = threadCount();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.port.toStdString());
    EXPECT_FALSE(link.openPort(c.port, 115200, false, true));
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.openFailureText(c.port), c.message);
  }
  EXPECT_EQ(threadCount(), threads);
  ::close(filler);
  // A serial port that fails afterwards says no more than before.
  EXPECT_FALSE(link.openPort(QStringLiteral("/nonexistent/tty0"), 115200, false, true));
  EXPECT_EQ(link.openFailureText(QStringLiteral("/nonexistent/tty0")), QStringLiteral("Connection failed"));
}

}  // namespace
}  // namespace veltrano

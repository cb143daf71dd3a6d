// "tcp://HOST:PORT" and "HOST:PORT": what they name, what is wrong with a bad
// one, and how an address is written back and put into a file name.
#include "util/host_port.h"

#include <gtest/gtest.h>

namespace veltrano {
namespace {

struct NameCase {
  const char* name;
  HostPort address;   // when the name is good
  const char* error;  // else the whole message
};

TEST(TcpPortName, NamesAHostAndPortOrSaysWhatIsWrong) {
  const NameCase cases[] = {
      {"tcp://127.0.0.1:4001", {"127.0.0.1", 4001}, nullptr},
      {"tcp://gps.example.org:2101", {"gps.example.org", 2101}, nullptr},
      {"TCP://receiver-7:1", {"receiver-7", 1}, nullptr},
      {"tcp://localhost:65535", {"localhost", 65535}, nullptr},
      {"tcp://[::1]:4001", {"::1", 4001}, nullptr},
      {"tcp://[fe80::1%eth0]:23", {"fe80::1%eth0", 23}, nullptr},
      {"tcp://gps.local", {}, "\"tcp://gps.local\" is not tcp://HOST:PORT: no port after the host"},
      {"tcp://gps.local:", {}, "\"tcp://gps.local:\" is not tcp://HOST:PORT: no port after the host"},
      {"tcp://", {}, "\"tcp://\" is not tcp://HOST:PORT: no host and no port"},
      {"tcp://:4001", {}, "\"tcp://:4001\" is not tcp://HOST:PORT: no host before the port"},
      {"tcp://host:0", {}, "\"tcp://host:0\" is not tcp://HOST:PORT: the port is a number from 1 to 65535"},
      {"tcp://host:65536", {}, "\"tcp://host:65536\" is not tcp://HOST:PORT: the port is a number from 1 to 65535"},
      {"tcp://host:4001/", {}, "\"tcp://host:4001/\" is not tcp://HOST:PORT: the port is a number from 1 to 65535"},
      {"tcp://host:-1", {}, "\"tcp://host:-1\" is not tcp://HOST:PORT: the port is a number from 1 to 65535"},
      {"tcp://host:0004001", {}, "\"tcp://host:0004001\" is not tcp://HOST:PORT: the port is a number from 1 to 65535"},
      {"tcp://::1:4001",
       {},
       "\"tcp://::1:4001\" is not tcp://HOST:PORT: an IPv6 address goes in brackets, as in [::1]:4001"},
      {"tcp://[::1:4001",
       {},
       "\"tcp://[::1:4001\" is not tcp://HOST:PORT: the \"[\" of the IPv6 address is not closed"},
      {"tcp://[::1]4001", {}, "\"tcp://[::1]4001\" is not tcp://HOST:PORT: no port after the host"},
      {"tcp://[gps]:4001", {}, "\"tcp://[gps]:4001\" is not tcp://HOST:PORT: \"gps\" is not an IPv6 address"},
      {"tcp://user@gps:4001",
       {},
       "\"tcp://user@gps:4001\" is not tcp://HOST:PORT: \"user@gps\" is not a host name or address"},
      {"tcp://a b:4001", {}, "\"tcp://a b:4001\" is not tcp://HOST:PORT: \"a b\" is not a host name or address"},
      {"udp://host:4001", {}, "\"udp://host:4001\" is not tcp://HOST:PORT: it does not start with tcp://"},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto parsed = parseTcpPortName(c.name);
    if (c.error) {
      ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
      EXPECT_EQ(std::get<std::string>(parsed), c.error);
    } else {
      ASSERT_TRUE(std::holds_alternative<HostPort>(parsed)) << std::get<std::string>(parsed);
      EXPECT_EQ(std::get<HostPort>(parsed), c.address);
      EXPECT_TRUE(isTcpPortName(c.name));
    }
  }
}

TEST(TcpPortName, OnlyTheSchemeMakesATcpSource) {
  EXPECT_TRUE(isTcpPortName("tcp://"));
  EXPECT_TRUE(isTcpPortName("Tcp://x:1"));
  for (const char* serial : {"ttyUSB0", "/dev/pts/3", "./tcp://x:1", "tcp:/x:1", "tcp", ""}) {
    EXPECT_FALSE(isTcpPortName(serial)) << serial;
  }
}

TEST(HostPort, TheLowestPortIsTheCallersChoice) {
  const auto any = parseHostPort("127.0.0.1:0", 0);
  ASSERT_TRUE(std::holds_alternative<HostPort>(any));
  EXPECT_EQ(std::get<HostPort>(any), (HostPort{"127.0.0.1", 0}));
  const auto refused = parseHostPort("127.0.0.1:0", 1);
  ASSERT_TRUE(std::holds_alternative<std::string>(refused));
  EXPECT_EQ(std::get<std::string>(refused), "the port is a number from 1 to 65535");
}

TEST(HostPort, IsWrittenBackAndIntoAFileName) {
  struct Case {
    HostPort address;
    const char* text;
    const char* filePart;
  };
  const Case cases[] = {
      {{"127.0.0.1", 4001}, "127.0.0.1:4001", "127-0-0-1-4001"},
      {{"gps.example.org", 2101}, "gps.example.org:2101", "gps-example-org-2101"},
      {{"::1", 5000}, "[::1]:5000", "--1-5000"},
      {{"fe80::1%eth0", 23}, "[fe80::1%eth0]:23", "fe80--1-eth0-23"},
      {{"my_gps", 7}, "my_gps:7", "my-gps-7"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(hostPortText(c.address), c.text);
    EXPECT_EQ(hostPortFilePart(c.address), c.filePart);
    // What is written back reads as the same address.
    const auto again = parseHostPort(c.text, 1);
    ASSERT_TRUE(std::holds_alternative<HostPort>(again)) << c.text;
    EXPECT_EQ(std::get<HostPort>(again), c.address);
  }
}

}  // namespace
}  // namespace veltrano

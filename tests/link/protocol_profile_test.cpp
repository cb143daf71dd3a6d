#include "link/protocol_profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace veltrano {
namespace {

constexpr ReceiverProtocol kProtocols[] = {ReceiverProtocol::NMEA, ReceiverProtocol::BINR, ReceiverProtocol::BINR2};

// Every step is one its protocol's writer can send: NMEA steps carry a text,
// binary steps data that fits with the rate where they want it.
TEST(ProtocolProfile, EveryStepFitsItsWriter) {
  for (ReceiverProtocol protocol : kProtocols) {
    const ProtocolProfile& profile = protocolProfile(protocol);
    ASSERT_EQ(profile.protocol, protocol);
    for (CommandSteps steps : {profile.requestRate, profile.identify, profile.startRecording, profile.stopRecording}) {
      for (const CommandStep& step : steps) {
        SCOPED_TRACE(std::string(profile.name) + " step of size " + std::to_string(step.size));
        EXPECT_LE(step.size, step.data.size());
        if (step.rateAt >= 0) {
          EXPECT_LE(step.rateAt + 4, step.size);
        }
        EXPECT_EQ(step.text != nullptr, protocol == ReceiverProtocol::NMEA);
        EXPECT_EQ(step.id != 0, protocol == ReceiverProtocol::BINR);
        if (protocol == ReceiverProtocol::BINR2) {
          EXPECT_GE(step.size, 1);
        }
      }
    }
  }
}

TEST(ProtocolProfile, SearchTriesEveryRateOnceInTheProtocolsOrder) {
  for (ReceiverProtocol protocol : kProtocols) {
    SCOPED_TRACE(protocolProfile(protocol).name);
    EXPECT_EQ(searchBaud(protocol, 0), 0);
    EXPECT_EQ(searchBaud(protocol, 10), 0);
    std::vector<int32_t> rates;
    for (int32_t k = 1; k <= 9; ++k) rates.push_back(searchBaud(protocol, k));
    std::vector<int32_t> sorted = rates;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int32_t>{4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600}));
    // NMEA receivers mostly talk slowly; binary ones mostly at 115200.
    EXPECT_EQ(rates[1], protocol == ReceiverProtocol::NMEA ? 9600 : 115200);
  }
}

}  // namespace
}  // namespace veltrano

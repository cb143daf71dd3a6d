#pragma once
// The receiver protocols as the tests name them: in the options of the
// simulator and the command-line tool, in record file names, in test names.
#include <gtest/gtest.h>

#include <string>

#include "decoding/transport_fields.h"

namespace veltrano::test {

inline const char* protocolOption(ReceiverProtocol protocol) {
  static const char* const kNames[] = {"nmea", "binr", "binr2"};
  return kNames[int(protocol)];
}

inline const char* recordExtension(ReceiverProtocol protocol) {
  static const char* const kExtensions[] = {".nme", ".dat", ".b2"};
  return kExtensions[int(protocol)];
}

inline std::string protocolTitle(ReceiverProtocol protocol) {
  static const char* const kNames[] = {"Nmea", "Binr", "Binr2"};
  return kNames[int(protocol)];
}

// For INSTANTIATE_TEST_SUITE_P over the protocols.
inline std::string protocolTestName(const ::testing::TestParamInfo<ReceiverProtocol>& info) {
  return protocolTitle(info.param);
}

}  // namespace veltrano::test

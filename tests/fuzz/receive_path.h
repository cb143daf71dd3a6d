#pragma once
// The program's receive path for the fuzz targets: the stream intake and the
// per-message fan-out, the NMEA conversion written to a file, and the display
// sink of the target. The first two bytes of an input say how the rest is
// played: byte 0 the size of the slices handed to the intake (1 to 256), bits
// 0 and 1 of byte 1 the transport state, bits 2 and 3 the NMEA position
// source, and bits 4 to 7 are the display sink's options. After the input the
// conversion is read back and every line checked.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "decoding/fan_out_sinks.h"
#include "decoding/message_fan_out.h"
#include "decoding/nmea_assembler.h"
#include "decoding/nmea_conversion_writer.h"
#include "decoding/nmea_position_source.h"
#include "decoding/receiver.h"
#include "decoding/stream_intake.h"
#include "fuzz_check.h"

namespace veltrano::fuzz {

// One line of the conversion, without its CR LF, as NMEA readers take it:
// "$", no character that NMEA reserves for the framing, "*" and the two
// upper-case hex digits of the exclusive-or of the characters between.
inline void checkSentence(std::string_view line) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  FUZZ_CHECK(line.size() >= 4 && line.front() == '$' && line[line.size() - 3] == '*');
  uint8_t sum = 0;
  for (size_t i = 1; i + 3 < line.size(); ++i) {
    const char c = line[i];
    FUZZ_CHECK(c != '$' && c != '*' && c != '\r' && c != '\n');
    sum ^= uint8_t(c);
  }
  FUZZ_CHECK(line[line.size() - 2] == kHex[sum >> 4] && line[line.size() - 1] == kHex[sum & 15]);
}

// The whole conversion: lines ending in CR LF, each short enough for the
// program's own NMEA reader, which then recognises every one of them.
inline void checkConversion(std::string_view text) {
  size_t lines = 0;
  for (size_t at = 0; at < text.size(); ++lines) {
    const size_t end = text.find("\r\n", at);
    FUZZ_CHECK(end != std::string_view::npos);
    FUZZ_CHECK(end + 2 - at < size_t(NmeaAssembler::kLineSize));
    checkSentence(text.substr(at, end - at));
    at = end + 2;
  }
  NmeaAssembler reader;
  size_t read = 0;
  for (const char c : text) {
    const NmeaKind kind = reader.pushNmeaChar(uint8_t(c));
    FUZZ_CHECK(kind != NmeaKind::Error);
    read += kind != NmeaKind::None;
  }
  FUZZ_CHECK(read == lines);
}

class ReceivePath : private IntakeSink {
 public:
  ReceivePath(ReceiverProtocol protocol, DisplaySink& display)
      : fanOut_(*receiver_, transport_, display, writer_), intake_(transport_, fanOut_, *this) {
    transport_.receiverProtocol = protocol;
  }
  ~ReceivePath() override {
    writer_.closeConversionFile();
    std::filesystem::remove(conversionPath());
  }

  // The bits of the control bytes that the display sink reads.
  static uint8_t options(const uint8_t* data, size_t size) { return size >= 2 ? data[1] >> 4 : 0; }

  // Plays one input and checks its conversion.
  void play(const uint8_t* data, size_t size) {
    if (size < 2) return;
    static constexpr TransportState kStates[] = {TransportState::PLAY, TransportState::FF, TransportState::REC,
                                                 TransportState::SYNC};
    static constexpr NmeaPositionSource kSources[] = {NmeaPositionSource::Auto, NmeaPositionSource::GGA,
                                                      NmeaPositionSource::RMC, NmeaPositionSource::GNS};
    const size_t slice = size_t(data[0]) + 1;
    transport_.transportState = kStates[data[1] & 3];
    receiver_->nmea.positionSource = int32_t(kSources[(data[1] >> 2) & 3]);
    FUZZ_CHECK(writer_.openOutput(conversionPath()));
    for (size_t at = 2; at < size; at += slice) intake_.receiveBlock(data + at, int32_t(std::min(slice, size - at)));
    writer_.closeConversionFile();
    FUZZ_CHECK(!writer_.writeFailed());
    std::ifstream in(conversionPath(), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // Nothing is converted while the program searches for the receiver.
    FUZZ_CHECK(transport_.transportState != TransportState::SYNC || text.empty());
    checkConversion(text);
  }

 private:
  static const std::string& conversionPath() {
    static const std::string path = (std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                         : std::filesystem::temp_directory_path()) /
                                    ("veltrano-fuzz-" + std::to_string(::getpid()) + ".nme");
    return path;
  }

  void blockRecorded(int32_t) override {}
  void showReceivedTotal(int64_t) override {}
  void repaintWindows() override {}

  std::unique_ptr<Receiver> receiver_ = std::make_unique<Receiver>();
  TransportFields transport_;
  NmeaConversionWriter writer_;
  MessageFanOut fanOut_;
  StreamIntake intake_;
};

}  // namespace veltrano::fuzz

// Frames arbitrary commands of the three protocols and reads every frame back
// with the program's own decoders. Byte 0 of an input is the BINR id, bit 0 of
// byte 1 asks for the BINR CRC trailer; the rest is the data of the BINR and
// BINR2 commands and the text of the NMEA command. A command is refused only
// when it does not fit its frame (or, in BINR, no frame can begin with its id),
// and a frame built holds exactly the command.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "decoding/binr2_decoder.h"
#include "decoding/binr_decoder.h"
#include "decoding/nmea_assembler.h"
#include "fuzz_check.h"
#include "link/command_framing.h"

namespace {

using namespace veltrano;

// The ids whose payload the BINR decoder checks for length and may so reject.
bool lengthChecked(uint8_t id) {
  return id == 0x88 || id == 0x90 || id == 0x60 || id == 0x70 || id == 0x93 || id == 0x52;
}

// The data of a BINR frame: the bytes after the id up to the trailer, undoubled.
std::vector<uint8_t> binrData(const uint8_t* frame, int length) {
  std::vector<uint8_t> data;
  for (int i = 2; i < length; ++i) {
    if (frame[i] == 0x10) {
      if (frame[i + 1] != 0x10) break;  // DLE ETX or DLE 0xFF
      ++i;
    }
    data.push_back(frame[i]);
  }
  return data;
}

void checkBinr(uint8_t id, const uint8_t* data, int n, bool withCrc) {
  uint8_t frame[kCommandFrameSize];
  const int length = buildBinrFrame(id, data, n, withCrc, frame);
  int stuffed = n;
  for (int i = 0; i < n; ++i) stuffed += data[i] == 0x10;
  FUZZ_CHECK((length > 0) == (stuffed <= kMaxBinrStuffedData && id != 0x03 && id != 0x10 && id != 0xFF));
  if (length == 0) return;
  FUZZ_CHECK(length <= kCommandFrameSize);
  FUZZ_CHECK(binrData(frame, length) == std::vector<uint8_t>(data, data + n));
  static BinrState state;
  BinrDecoder decoder(state);
  int result = 0;
  for (int i = 0; i < length; ++i) {
    FUZZ_CHECK(result == 0);
    result = decoder.pushBinrByte(frame[i]);
  }
  FUZZ_CHECK(result == id || (result == -1 && lengthChecked(id)));
}

void checkBinr2(const uint8_t* data, int n) {
  uint8_t frame[kCommandFrameSize];
  const int length = buildBinr2Frame(data, n, frame);
  FUZZ_CHECK((length > 0) == (n <= kMaxBinr2Data));
  if (length == 0) return;
  FUZZ_CHECK(length == n + 8);
  // BINR2 has no stuffing: data holding a sync word may hold a whole frame,
  // which the decoder then reads instead of the command.
  static constexpr uint8_t kSync[] = {0xA5, 0x5A, 0xB5, 0x5B};
  if (std::search(data, data + n, kSync, kSync + 4) != data + n) return;
  static Binr2State state;
  Binr2Decoder decoder(state);
  uint8_t result = 0;
  for (int i = 0; i < length; ++i) result = decoder.pushBinr2Byte(frame[i]);
  FUZZ_CHECK(result == (n > 0 ? data[0] : 0));
}

// A text that is one sentence body: "$", then nothing that ends or splits a sentence.
bool isSentenceBody(std::string_view text) {
  return !text.empty() && text[0] == '$' && text.find_first_of(std::string_view("$*\r\n", 4), 1) == text.npos;
}

void checkNmea(std::string_view text) {
  char command[kNmeaCommandSize];
  const int length = buildNmeaCommand(text, command);
  FUZZ_CHECK((length > 0) == (text.size() <= size_t(kMaxNmeaCommandText)));
  if (length == 0) return;
  FUZZ_CHECK(length == int(text.size()) + 5 && std::string_view(command, text.size()) == text);
  if (!isSentenceBody(text) || length >= NmeaAssembler::kLineSize) return;
  NmeaAssembler reader;
  NmeaKind kind = NmeaKind::None;
  for (int i = 0; i < length; ++i) {
    FUZZ_CHECK(kind == NmeaKind::None);
    kind = reader.pushNmeaChar(uint8_t(command[i]));
  }
  FUZZ_CHECK(kind != NmeaKind::None && kind != NmeaKind::Error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t* command = data + 2;
  const int n = int(size - 2);
  checkBinr(data[0], command, n, data[1] & 1);
  checkBinr2(command, n);
  checkNmea(std::string_view(reinterpret_cast<const char*>(command), size_t(n)));
  return 0;
}

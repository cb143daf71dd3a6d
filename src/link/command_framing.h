#pragma once
// Builds the command frames of the three protocols into fixed buffers: BINR
// (DLE-stuffed, optional CRC trailer), BINR2 (sync, length, CRC) and NMEA
// ("*" checksum and CR LF). A command that does not fit its buffer is refused.
#include <cstdint>
#include <string_view>

namespace veltrano {

constexpr int kCommandFrameSize = 128;
constexpr int kNmeaCommandSize = 160;
// The stuffed data of a BINR command, the data of a BINR2 command, the text of an NMEA command.
constexpr int kMaxBinrStuffedData = 120;
constexpr int kMaxBinr2Data = 120;
constexpr int kMaxNmeaCommandText = 154;

// DLE id stuffed-data [DLE 0xFF crc-lo crc-hi] DLE ETX; the CRC covers the id and
// the stuffed data. Returns the frame length, or 0 when the command is refused:
// also when its id is ETX, DLE or 0xFF, with which no frame can begin.
int buildBinrFrame(uint8_t id, const uint8_t* data, int n, bool withCrc, uint8_t (&frame)[kCommandFrameSize]);

// A5 5A B5 5B, n (16-bit little-endian), data, CRC of the data (little-endian).
// Returns the frame length n + 8, or 0 when the command is refused.
int buildBinr2Frame(const uint8_t* data, int n, uint8_t (&frame)[kCommandFrameSize]);

// The text (starting with "$", without checksum) followed by "*", the exclusive OR of
// all characters after the first as two upper-case hex digits, CR and LF. Returns the
// number of characters (no terminating zero), or 0 when the text is too long.
int buildNmeaCommand(std::string_view text, char (&command)[kNmeaCommandSize]);

}  // namespace veltrano

#pragma once
// The JSON objects of decoded messages, one per completed sentence or frame.
#include <cstdint>

#include "decoding/receiver.h"
#include "json_writer.h"

namespace veltrano {

void writeNmeaMessage(JsonWriter& out, int64_t offset, NmeaKind kind, const NmeaFieldTable& fields);
void writeBinrMessage(JsonWriter& out, int64_t offset, int id, const BinrState& state);
void writeBinr2Message(JsonWriter& out, int64_t offset, int id, const Binr2State& state);
void writeErrorMessage(JsonWriter& out, int64_t offset, const char* protocol);

}  // namespace veltrano

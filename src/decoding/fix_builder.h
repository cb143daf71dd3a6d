#pragma once
// The adapters from each protocol's receiver state to the normalized fix: one
// call per navigation-solution message, right after it was decoded.
#include "decoding/binr2_state.h"
#include "decoding/binr_state.h"
#include "decoding/fix.h"

namespace veltrano {

class NmeaAssembler;

// Messages 0x88/0x90 with the last DOP (0x60) and status (0x93) records.
void buildBinrFix(const BinrState& binr, Fix& fix);
// Message 0x90 with the last satellite masks (0xA1) and time record (0xB2).
void buildBinr2Fix(const Binr2State& binr2, Fix& fix);
// The position sentence just completed, with the stored RMC, GSA and $PORZD.
void buildNmeaFix(const NmeaAssembler& nmea, Fix& fix);

}  // namespace veltrano

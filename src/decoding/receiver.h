#pragma once
// The decoders of the three protocols and the receiver state records they fill;
// one of these lives for the whole run.
#include "decoding/binr2_decoder.h"
#include "decoding/binr2_state.h"
#include "decoding/binr_decoder.h"
#include "decoding/binr_state.h"
#include "decoding/nmea_assembler.h"

namespace veltrano {

struct Receiver {
  NmeaAssembler nmea;
  BinrState binr{};
  BinrDecoder binrDecoder{binr};
  Binr2State binr2{};
  Binr2Decoder binr2Decoder{binr2};

  // What the synchronisation, playback and recording do before they start.
  void resetDecoders() {
    nmea.resetNmeaCounts();
    binrDecoder.resetBinrDecoder();
    binr2Decoder.resetBinr2Decoder();
  }
};

}  // namespace veltrano

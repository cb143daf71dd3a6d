#pragma once
// A fan-out target without windows or link whose conversion writers go to an
// NmeaConversionWriter. Converting a recording through it writes what playback
// of that recording writes.
#include "decoding/headless_fan_out_target.h"
#include "mainwindow/nmea_conversion_writer.h"

namespace veltrano {

class ConversionFanOutTarget : public HeadlessFanOutTarget {
 public:
  explicit ConversionFanOutTarget(NmeaConversionWriter& writer) : writer_(writer) {}

  void writeGgaBinr() override { writer_.writeGgaBinr(); }
  void writeRmcBinr() override { writer_.writeRmcBinr(); }
  void writeGsaBinr() override { writer_.writeGsaBinr(); }
  void writePorzdBinr() override { writer_.writePorzdBinr(); }
  void writeGsvBinr() override { writer_.writeGsvBinr(); }
  void writeAlverBinr() override { writer_.writeAlverBinr(); }
  void writeGgaBinr2() override { writer_.writeGgaBinr2(); }
  void writeRmcBinr2() override { writer_.writeRmcBinr2(); }
  void writeGsaBinr2() override { writer_.writeGsaBinr2(); }
  void writePorzdBinr2() override { writer_.writePorzdBinr2(); }
  void writeGsvBinr2() override { writer_.writeGsvBinr2(); }
  void writeAlverBinr2() override { writer_.writeAlverBinr2(); }

 private:
  NmeaConversionWriter& writer_;
};

}  // namespace veltrano

#pragma once
// veltrano-cli convert: the NMEA conversion of a BINR or BINR2 recording, as
// fast playback writes it beside the file.

namespace veltrano {

int runConvert(int argc, char** argv);

}  // namespace veltrano

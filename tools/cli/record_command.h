#pragma once
// veltrano-cli record: the program's Synchronise and Record without a window, until
// Ctrl-C or a set duration.

namespace veltrano {

int runRecord(int argc, char** argv);

}  // namespace veltrano

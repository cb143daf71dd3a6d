#pragma once

namespace veltrano {

// veltrano-cli report: plays recordings through the program's own windows,
// offscreen, and writes the Visual window's report picture, the sky view, the
// S/N ratio window and what the windows show.
int runReport(int argc, char** argv);

}  // namespace veltrano

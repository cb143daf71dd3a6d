#pragma once
// veltrano-cli report draws the program's windows, so it runs in an executable
// of its own, veltrano-cli-report beside veltrano-cli: the other commands then
// start without loading the window libraries.
namespace veltrano {

// Replaces this process with veltrano-cli-report given the arguments after
// "report". Returns only when that cannot start: 1, after a message naming it.
int runReportProcess(int argc, char** argv);

}  // namespace veltrano

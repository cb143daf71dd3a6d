#pragma once
// veltrano-cli stats: the Statistic window's filters and figures over a recording.

namespace veltrano {

int runStats(int argc, char** argv);

}  // namespace veltrano

#pragma once
// veltrano-cli sync: the program's search for the receiver on a port, the result as JSON.

namespace veltrano {

int runSync(int argc, char** argv);

}  // namespace veltrano

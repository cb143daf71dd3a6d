#pragma once
// veltrano-cli send: one command of the Control window, framed as the program frames it.

namespace veltrano {

int runSend(int argc, char** argv);

}  // namespace veltrano

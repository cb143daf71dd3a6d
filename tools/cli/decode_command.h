#pragma once
// veltrano-cli decode: every completed message of a recording as JSON Lines.

namespace veltrano {

int runDecode(int argc, char** argv);

}  // namespace veltrano

#pragma once
// The arguments the commands that need Qt's application object make it with:
// the tool's name alone, so that Qt takes none of the command's own options.

namespace veltrano {

struct QtArguments {
  int argc = 1;
  char name[13] = "veltrano-cli";
  char* argv[2] = {name, nullptr};
};

}  // namespace veltrano

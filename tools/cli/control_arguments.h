#pragma once
// The Control window's commands as veltrano-cli send names them: COMMAND and its
// ARGS become the window's settings of that row, the rows left alone keeping the
// window's design-time settings.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/control_commands.h"

namespace veltrano {

struct ControlRequest {
  bool freeText = false;  // the free-text line, else the send button of `button`
  ControlButton button = ControlButton::Restart;
  ControlSettings settings;
  std::string text;
};

// Nothing for an unknown command or an argument its row cannot hold.
std::optional<ControlRequest> controlRequest(const std::vector<std::string_view>& words);

// The commands and their arguments, for the usage text.
extern const char kControlCommandsHelp[];

}  // namespace veltrano

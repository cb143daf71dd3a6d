#pragma once
// The rate that BaudComboBox shows, read as a whole decimal number.
#include <QString>
#include <cstdint>
#include <optional>

namespace veltrano {

// Nothing when `text` is not a positive whole decimal number ("custom", "96OO", "").
inline std::optional<int32_t> baudFromText(const QString& text) {
  bool ok = false;
  const int baud = text.toInt(&ok, 10);
  if (!ok || baud <= 0) return std::nullopt;
  return baud;
}

}  // namespace veltrano

#pragma once
// Leading-number parses of NMEA text fields: the longest numeric prefix is read,
// anything after it is ignored, and a field without one reads as 0.
#include <cstdint>
#include <string_view>

namespace veltrano {

// Optional sign and decimal digits; the value saturates at the 32-bit limits.
int32_t leadingInt(std::string_view text);

// Optional sign, digits, optional fraction and optional exponent.
double leadingReal(std::string_view text);

// Substring by 1-based start and count: a start before 1 counts as 1, a start
// beyond the end or a count of 0 or less gives an empty text, a count past the
// end stops at the end.
std::string_view fieldPiece(std::string_view text, int start, int count);

}  // namespace veltrano

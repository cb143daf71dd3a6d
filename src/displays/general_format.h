#pragma once
// Numbers in the general format of a given count of significant digits: fixed
// notation without trailing zeros while the integer part fits the digits,
// otherwise a mantissa, "E" and the exponent (negative exponents keep their
// sign; no "+" and no leading zeros).
#include <string>

namespace veltrano {

// For example 0.01, 20000 and 1.8E5 with precision 5.
std::string formatGeneral(double value, int precision);

}  // namespace veltrano

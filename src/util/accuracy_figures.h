#pragma once
// The accuracy figures that receiver testers publish, over a set of positions
// about a centre: horizontal CEP50, CEP95 (R95), 2DRMS and the largest error,
// and the vertical 50 % and 95 % errors. Horizontal errors are distances on the
// Visual plot's plane about the centre, vertical errors absolute height
// differences. Percentiles are exact nearest-rank values: the smallest error
// with at least p % of the positions within it.
//
// The errors of one axis are kept as one number per position: a caller with
// the positions at hand feeds them once per axis (see ErrorSample).
#include <array>
#include <cstddef>
#include <vector>

namespace veltrano {

struct PositionCentre {
  double latitude = 0;   // radians
  double longitude = 0;  // radians
  double height = 0;     // metres
};

struct AccuracyFigures {
  double cep50 = 0;  // metres; 0 without positions
  double cep95 = 0;
  double drms2 = 0;  // 2 sqrt(mean(dE^2 + dN^2))
  double v50 = 0;
  double v95 = 0;
  double hmax = 0;  // the largest horizontal error
};

// How the figures are named where they are shown: the label of a text line
// and the JSON key, in the order above.
struct AccuracyFigureName {
  const char* label;
  const char* key;
  double AccuracyFigures::*value;
};
inline constexpr std::array<AccuracyFigureName, 6> kAccuracyFigureNames{{
    {"CEP50", "cep50_m", &AccuracyFigures::cep50},
    {"CEP95", "cep95_m", &AccuracyFigures::cep95},
    {"2DRMS", "drms2_m", &AccuracyFigures::drms2},
    {"V50", "v50_m", &AccuracyFigures::v50},
    {"V95", "v95_m", &AccuracyFigures::v95},
    {"Hmax", "hmax_m", &AccuracyFigures::hmax},
}};

// The horizontal distance of a position from the centre and the absolute
// difference of its height from the centre's.
double horizontalError(double latitude, double longitude, const PositionCentre& centre);
double verticalError(double height, const PositionCentre& centre);

// The errors of one axis, one number per position. An error that is not a
// number (a position of NaNs) counts as infinitely large, so that the order is
// total and such a position lies beyond every percentile it does not decide.
class ErrorSample {
 public:
  // Room for `count` errors, taken at once.
  explicit ErrorSample(size_t count);

  void add(double error);
  // Empties the sample for the next axis, keeping its room.
  void clear();

  size_t size() const { return errors_.size(); }
  // The nearest-rank percentile for a whole percent from 1 to 100: the
  // ceil(percent * n / 100)-th smallest error; 0 for an empty sample. Reorders
  // the errors.
  double percentile(int percent);
  double largest() const { return largest_; }
  double rootMeanSquare() const;

 private:
  std::vector<double> errors_;
  double sumOfSquares_ = 0;
  double largest_ = 0;
};

// The horizontal figures (CEP50, CEP95, 2DRMS, largest) of a sample of
// horizontal errors, and the vertical ones (V50, V95) of vertical errors.
void readHorizontalFigures(ErrorSample& horizontal, AccuracyFigures& figures);
void readVerticalFigures(ErrorSample& vertical, AccuracyFigures& figures);

}  // namespace veltrano

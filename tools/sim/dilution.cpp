#include "sim/dilution.h"

#include <cmath>
#include <utility>

namespace veltrano::sim {

bool dilutionOfPrecision(const LineOfSight* directions, int count, Dilution& out) {
  if (count < 4) return false;
  // Normal matrix of the rows (-e, -n, -u, 1), augmented with the identity.
  double m[4][8] = {};
  for (int k = 0; k < count; ++k) {
    const double row[4] = {-directions[k].east, -directions[k].north, -directions[k].up, 1.0};
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) m[i][j] += row[i] * row[j];
  }
  for (int i = 0; i < 4; ++i) m[i][4 + i] = 1.0;
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r)
      if (std::fabs(m[r][col]) > std::fabs(m[pivot][col])) pivot = r;
    if (std::fabs(m[pivot][col]) < 1e-12) return false;
    if (pivot != col)
      for (int j = 0; j < 8; ++j) std::swap(m[pivot][j], m[col][j]);
    const double p = m[col][col];
    for (int j = 0; j < 8; ++j) m[col][j] /= p;
    for (int r = 0; r < 4; ++r) {
      if (r == col) continue;
      const double f = m[r][col];
      for (int j = 0; j < 8; ++j) m[r][j] -= f * m[col][j];
    }
  }
  const double qe = m[0][4], qn = m[1][5], qu = m[2][6];
  if (qe < 0 || qn < 0 || qu < 0) return false;
  out.hdop = std::sqrt(qe + qn);
  out.vdop = std::sqrt(qu);
  out.pdop = std::sqrt(qe + qn + qu);
  return true;
}

}  // namespace veltrano::sim

#include "sim/recording_writer.h"

#include <cstdio>

#include "sim/fault_plan.h"
#include "sim/output_buffer.h"
#include "sim/sim_receiver.h"

namespace veltrano::sim {

int writeRecording(const SimOptions& options) {
  std::FILE* file = std::fopen(options.writePath.c_str(), "wb");
  if (!file) {
    std::perror(options.writePath.c_str());
    return 1;
  }
  SimReceiver receiver(options);
  const FaultPlan faults(options);
  OutputBuffer epochBytes(16 * 1024, 256);
  unsigned long long total = 0;
  bool ok = true;
  for (long long k = 0; k < faults.epochLimit() && ok; ++k) {
    const double t = double(k) / options.rate;
    if (faults.vanishedAt(t)) break;
    epochBytes.clear();
    receiver.nextEpoch(!faults.silentAt(t), epochBytes);
    ok = std::fwrite(epochBytes.data(), 1, epochBytes.size(), file) == epochBytes.size();
    total += epochBytes.size();
  }
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    std::perror(options.writePath.c_str());
    return 1;
  }
  std::fprintf(stderr, "veltrano-sim: wrote %llu bytes to %s (%llu frames, %llu corrupted)\n", total,
               options.writePath.c_str(), static_cast<unsigned long long>(receiver.corruption().frames()),
               static_cast<unsigned long long>(receiver.corruption().corrupted()));
  return 0;
}

}  // namespace veltrano::sim

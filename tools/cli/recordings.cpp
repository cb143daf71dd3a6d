#include "recordings.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "headless_playback.h"
#include "input_files.h"

namespace veltrano {

namespace {

const char kStandardInput[] = "standard input";

// The Statistic window as the only shown window, or its filters alone
// without a window.
class FilteredDisplay : public NoDisplay {
 public:
  FilteredDisplay(const StatisticSettings& settings, StatisticFilter* window, const Recordings::AcceptedFix& accepted)
      : settings_(settings), window_(window), accepted_(accepted) {}
  void showSolution(const Fix& fix, const SolutionSatellites*) override {
    if (window_ ? window_->update(fix) : acceptedBy(settings_, fix)) accepted_(fix);
  }

 private:
  const StatisticSettings& settings_;
  StatisticFilter* window_;
  const Recordings::AcceptedFix& accepted_;
};

}  // namespace

Recordings::~Recordings() {
  if (keptInput_ != nullptr) std::fclose(keptInput_);
}

bool Recordings::add(const std::string& path, std::optional<ReceiverProtocol> protocol) {
  if (!protocol) protocol = protocolFromExtension(path);
  if (!protocol) {
    std::fprintf(stderr, "veltrano-cli: no --protocol and no known extension for %s\n",
                 path.empty() ? kStandardInput : path.c_str());
    return false;
  }
  recordings_.push_back({path, *protocol});
  return true;
}

template <typename Consume>
bool Recordings::readStandardInput(Consume&& consume) {
  if (keptInput_ != nullptr) {
    std::rewind(keptInput_);
    return readStream(keptInput_, kStandardInput, consume);
  }
  keptInput_ = std::tmpfile();
  if (keptInput_ == nullptr) {
    std::fprintf(stderr, "veltrano-cli: cannot keep standard input to play it again: %s\n", std::strerror(errno));
    return false;
  }
  bool kept = true;
  const bool read = readStream(stdin, kStandardInput, [&](const unsigned char* bytes, size_t n) {
    kept = kept && std::fwrite(bytes, 1, n, keptInput_) == n;
    consume(bytes, n);
  });
  if (read && !(kept && std::fflush(keptInput_) == 0)) {
    std::fprintf(stderr, "veltrano-cli: cannot keep standard input to play it again: %s\n", std::strerror(errno));
    return false;
  }
  return read;
}

bool Recordings::play(DisplaySink& display, NmeaPositionSource source) {
  NoConversion conversion;
  const auto playback = std::make_unique<HeadlessPlayback>(display, conversion);
  playback->receiver().nmea.positionSource = int32_t(source);
  const auto consume = [&](const unsigned char* bytes, size_t n) { playback->playChunk(bytes, n); };
  for (const Recording& recording : recordings_) {
    playback->startFile(recording.protocol);
    if (!(recording.path.empty() ? readStandardInput(consume) : readInput(recording.path, consume))) return false;
  }
  return true;
}

bool Recordings::playThroughWindow(const StatisticOptions& options, StatisticFilter& window,
                                   const AcceptedFix& accepted) {
  window.settings = options.settings;
  FilteredDisplay display(options.settings, &window, accepted);
  return play(display, options.source);
}

bool Recordings::playAccepted(const StatisticOptions& options, const AcceptedFix& accepted) {
  FilteredDisplay display(options.settings, nullptr, accepted);
  return play(display, options.source);
}

}  // namespace veltrano

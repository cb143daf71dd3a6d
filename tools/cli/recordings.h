#pragma once
// The recordings a command plays, in order, each with its protocol, played as
// often as the command needs: every playback starts from a freshly made
// receiver state, so each gives the same solutions. Standard input is kept in
// an unnamed temporary file as it is first read, so that it can be played
// again.
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "decoding/fan_out_sinks.h"
#include "decoding/statistic_filter.h"
#include "decoding/transport_fields.h"
#include "statistic_options.h"

namespace veltrano {

// A Statistic window's filter of its own, with the statistics it accumulates.
struct FreshFilter {
  PositionStatistics statistics;
  StatisticFilter filter{statistics};
};

class Recordings {
 public:
  using AcceptedFix = std::function<void(const Fix&)>;

  Recordings() = default;
  ~Recordings();
  Recordings(const Recordings&) = delete;
  Recordings& operator=(const Recordings&) = delete;

  // Adds a recording ("" is standard input) in `protocol` or, without one, in
  // the protocol its extension tells; false after a message when it tells none.
  bool add(const std::string& path, std::optional<ReceiverProtocol> protocol);

  // Plays every recording, each from freshly reset decoders, through
  // `display` with the NMEA position source. False after a message naming a
  // recording that could not be read.
  bool play(DisplaySink& display, NmeaPositionSource source);

  // Plays them with the Statistic window as the only shown window: every
  // solution goes through `window`, with the options' settings, and each
  // accepted one on to `accepted`.
  bool playThroughWindow(const StatisticOptions& options, StatisticFilter& window, const AcceptedFix& accepted);
  // Plays them through the window's filters alone, without its statistics and
  // texts: each solution they accept goes to `accepted`.
  bool playAccepted(const StatisticOptions& options, const AcceptedFix& accepted);

 private:
  struct Recording {
    std::string path;
    ReceiverProtocol protocol;
  };
  // Reads standard input the first time, keeping it, and the kept copy after.
  template <typename Consume>
  bool readStandardInput(Consume&& consume);

  std::vector<Recording> recordings_;
  std::FILE* keptInput_ = nullptr;
};

}  // namespace veltrano

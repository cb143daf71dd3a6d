#include "sim/sim_options.h"

#include <cmath>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <variant>

#include "sim/epoch.h"
#include "sim/gnss_time.h"

namespace veltrano::sim {

namespace {

bool toDouble(std::string_view text, double& value) {
  std::string copy(text);
  char* end = nullptr;
  value = std::strtod(copy.c_str(), &end);
  return !copy.empty() && end == copy.c_str() + copy.size() && std::isfinite(value);
}

bool toInteger(std::string_view text, long long minimum, long long maximum, long long& value) {
  std::string copy(text);
  char* end = nullptr;
  value = std::strtoll(copy.c_str(), &end, 10);
  return !copy.empty() && end == copy.c_str() + copy.size() && value >= minimum && value <= maximum;
}

// Calls `item` for each comma-separated item; false if any item is refused.
template <typename F>
bool forEachItem(std::string_view list, F item) {
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const std::string_view piece = list.substr(0, comma);
    if (!item(piece)) return false;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return true;
}

bool parseSentences(std::string_view list, uint16_t& sentences) {
  struct Name {
    std::string_view name;
    uint16_t bit;
  };
  static constexpr Name kNames[] = {{"GGA", kSentenceGga}, {"RMC", kSentenceRmc}, {"GSA", kSentenceGsa},
                                    {"GSV", kSentenceGsv}, {"GNS", kSentenceGns}, {"GBS", kSentenceGbs},
                                    {"BSS", kSentenceBss}, {"RZD", kSentenceRzd}};
  sentences = 0;
  return forEachItem(list, [&](std::string_view piece) {
    for (const Name& n : kNames)
      if (piece == n.name) {
        sentences |= n.bit;
        return true;
      }
    return false;
  });
}

bool parseSystems(std::string_view list, uint8_t& systems) {
  struct Name {
    std::string_view name;
    GnssSystem system;
  };
  static constexpr Name kNames[] = {{"GPS", GnssSystem::Gps}, {"GLN", GnssSystem::Glonass},
                                    {"GAL", GnssSystem::Galileo}, {"BDS", GnssSystem::Beidou},
                                    {"SBAS", GnssSystem::Sbas}};
  systems = 0;
  return forEachItem(list, [&](std::string_view piece) {
    for (const Name& n : kNames)
      if (piece == n.name) {
        systems |= systemBit(n.system);
        return true;
      }
    return false;
  }) && systems != 0;
}

// "H,V": two standard deviations in metres, 0 to 1000.
bool parseNoise(std::string_view text, SimOptions& options) {
  const size_t comma = text.find(',');
  double h = 0, v = 0;
  if (comma == std::string_view::npos || !toDouble(text.substr(0, comma), h) || !toDouble(text.substr(comma + 1), v))
    return false;
  if (h < 0 || h > 1000 || v < 0 || v > 1000) return false;
  options.noiseHorizontal = h;
  options.noiseVertical = v;
  return true;
}

bool validFirmware(std::string_view text) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return text.size() == 5 && digit(text[0]) && digit(text[1]) && text[2] == '.' && digit(text[3]) &&
         digit(text[4]);
}

bool validDevice(std::string_view text) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text)
    if (c <= ' ' || c > '~' || c == ',' || c == '*' || c == '$') return false;
  return true;
}

}  // namespace

const char* simUsage() {
  return "usage: veltrano-sim [options]\n"
         "A simulated GNSS receiver on a pseudo-terminal or a TCP port (or writing a recording).\n"
         "  --protocol nmea|binr|binr2   output protocol (nmea)\n"
         "  --baud N                     the receiver's line rate (115200)\n"
         "  --rate N                     solutions per second, 1 to 20 (1)\n"
         "  --seed N                     seed of the noise (1)\n"
         "  --lat DEG --lon DEG --height M   position (55.7522, 37.6156, 150)\n"
         "  --speed M/S --course DEG --turn DEG/S   movement along a track (static)\n"
         "  --noise H,V                  plain white noise of these standard deviations in metres,\n"
         "                               north and east H, up V, instead of the receiver's errors\n"
         "  --start YYYY-MM-DDTHH:MM:SS  UTC time of the first epoch (2024-05-01T10:00:00)\n"
         "  --talker GP|GN               NMEA talker of GGA, RMC, GNS, GBS and GSA (GP)\n"
         "  --sentences LIST             NMEA sentences of an epoch, from GGA,RMC,GSA,GSV,GNS,GBS,BSS,RZD\n"
         "                               (GGA,RMC,GSA,GSV,RZD)\n"
         "  --binr-nav 88|90             BINR navigation solution message (88)\n"
         "  --systems LIST               satellite systems, from GPS,GLN,GAL,BDS,SBAS (all)\n"
         "  --diff                       differential solution\n"
         "  --device NAME                device name, at most 5 characters (VSIM1)\n"
         "  --firmware NN.NN             firmware version (02.05)\n"
         "  --link PATH                  symbolic link to the terminal\n"
         "  --tcp [HOST:]PORT            serve on a TCP port instead, as a receiver behind a serial-to-network\n"
         "                               server at --baud; HOST 127.0.0.1, [::1] for IPv6, PORT 0 for a free\n"
         "                               one; prints tcp://HOST:PORT; one client at a time, the next when one\n"
         "                               leaves (as --reopen)\n"
         "  --log FILE                   record every received command\n"
         "  --copy PREFIX                copy the bytes sent to each opening of the terminal into\n"
         "                               PREFIX.1, PREFIX.2, ...\n"
         "  --write FILE                 write the output to FILE at once instead (needs --duration)\n"
         "  --duration S                 seconds of output\n"
         "  --silent-after S             output stops S seconds after the other side opened the terminal\n"
         "  --silent-for S               ... and resumes S seconds later\n"
         "  --vanish-after S             close the terminal S seconds after it was opened, and exit\n"
         "  --unplug-after S             the terminal goes away S seconds after it was opened (the\n"
         "                               receiver runs on unheard) ...\n"
         "  --unplug-for S               ... and a new one comes back S seconds later at --link (or --tcp)\n"
         "  --drop-after S               close the client's connection once, S seconds after the first client\n"
         "                               connected (needs --tcp)\n"
         "  --corrupt P                  fraction of frames sent with a bad checksum (0)\n"
         "  --flood                      send as fast as the reader takes; prints bytes and CRC-32 sent\n"
         "  --reopen                     when the other side closes, wait for it to open again\n"
         "  --help\n";
}

bool parseSimOptions(int argc, char** argv, SimOptions& options, std::string& error) {
  if (!parseUtcStart("2024-05-01T10:00:00", options.startGpsMillis)) return false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view value;
    bool hasValue = false;
    if (const size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      hasValue = true;
    }
    const auto flag = [&](std::string_view name) { return arg == name && !hasValue; };
    const auto option = [&](std::string_view name) {
      if (arg != name) return false;
      if (!hasValue) {
        if (i + 1 >= argc) return false;
        value = argv[++i];
        hasValue = true;
      }
      return true;
    };
    const auto bad = [&]() {
      error = "bad value for " + std::string(arg) + ": " + std::string(value);
      return false;
    };
    long long n = 0;
    double d = 0;
    if (flag("--help") || flag("-h")) {
      options.help = true;
    } else if (flag("--diff")) {
      options.differential = true;
    } else if (flag("--flood")) {
      options.flood = true;
    } else if (flag("--reopen")) {
      options.reopen = true;
    } else if (option("--protocol")) {
      if (value == "nmea") options.protocol = SimProtocol::Nmea;
      else if (value == "binr") options.protocol = SimProtocol::Binr;
      else if (value == "binr2") options.protocol = SimProtocol::Binr2;
      else return bad();
    } else if (option("--baud")) {
      if (!toInteger(value, 50, 4000000, n)) return bad();
      options.baud = int32_t(n);
    } else if (option("--rate")) {
      if (!toInteger(value, 1, 20, n)) return bad();
      options.rate = int(n);
    } else if (option("--seed")) {
      if (!toInteger(value, 0, INT64_MAX, n)) return bad();
      options.seed = uint64_t(n);
    } else if (option("--lat")) {
      if (!toDouble(value, d) || std::fabs(d) > 89.0) return bad();
      options.latitude = d;
    } else if (option("--lon")) {
      if (!toDouble(value, d) || std::fabs(d) > 180.0) return bad();
      options.longitude = d;
    } else if (option("--height")) {
      if (!toDouble(value, d) || std::fabs(d) > 20000.0) return bad();
      options.height = d;
    } else if (option("--speed")) {
      if (!toDouble(value, d) || d < 0 || d > 300.0) return bad();
      options.speed = d;
    } else if (option("--course")) {
      if (!toDouble(value, d)) return bad();
      options.course = d;
    } else if (option("--turn")) {
      if (!toDouble(value, d) || std::fabs(d) > 90.0) return bad();
      options.turnRate = d;
    } else if (option("--noise")) {
      if (!parseNoise(value, options)) return bad();
    } else if (option("--start")) {
      if (!parseUtcStart(value, options.startGpsMillis)) return bad();
    } else if (option("--talker")) {
      if (value != "GP" && value != "GN") return bad();
      options.talker = std::string(value);
    } else if (option("--sentences")) {
      if (!parseSentences(value, options.sentences)) return bad();
    } else if (option("--binr-nav")) {
      if (value == "88") options.binrNavId = 0x88;
      else if (value == "90") options.binrNavId = 0x90;
      else return bad();
    } else if (option("--systems")) {
      if (!parseSystems(value, options.systems)) return bad();
    } else if (option("--device")) {
      if (!validDevice(value)) return bad();
      options.device = std::string(value);
    } else if (option("--firmware")) {
      if (!validFirmware(value)) return bad();
      options.firmware = std::string(value);
    } else if (option("--link")) {
      options.link = std::string(value);
    } else if (option("--tcp")) {
      std::string text(value);
      if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) text = "127.0.0.1:" + text;
      auto address = parseHostPort(text, 0);
      if (const std::string* reason = std::get_if<std::string>(&address)) {
        error = "bad value for --tcp: " + std::string(value) + " (" + *reason + ")";
        return false;
      }
      options.tcp = true;
      options.reopen = true;
      options.tcpAddress = std::get<HostPort>(std::move(address));
    } else if (option("--log")) {
      options.logPath = std::string(value);
    } else if (option("--copy")) {
      if (value.empty()) return bad();
      options.copyPrefix = std::string(value);
    } else if (option("--write")) {
      options.writePath = std::string(value);
    } else if (option("--duration")) {
      if (!toDouble(value, d) || d < 0 || d > 1e7) return bad();
      options.duration = d;
    } else if (option("--silent-after")) {
      if (!toDouble(value, d) || d < 0) return bad();
      options.silentAfter = d;
    } else if (option("--silent-for")) {
      if (!toDouble(value, d) || d < 0) return bad();
      options.silentFor = d;
    } else if (option("--vanish-after")) {
      if (!toDouble(value, d) || d < 0) return bad();
      options.vanishAfter = d;
    } else if (option("--unplug-after")) {
      if (!toDouble(value, d) || d < 0) return bad();
      options.unplugAfter = d;
    } else if (option("--unplug-for")) {
      if (!toDouble(value, d) || d < 0) return bad();
      options.unplugFor = d;
    } else if (option("--drop-after")) {
      if (!toDouble(value, d) || d < 0) return bad();
      options.dropAfter = d;
    } else if (option("--corrupt")) {
      if (!toDouble(value, d) || d < 0 || d > 1) return bad();
      options.corrupt = d;
    } else {
      error = "unknown or incomplete option: " + std::string(argv[i]);
      return false;
    }
  }
  if ((options.unplugAfter >= 0) != (options.unplugFor >= 0) ||
      (options.unplugAfter >= 0 && options.link.empty() && !options.tcp)) {
    error = "--unplug-after and --unplug-for go together, with --link or --tcp";
    return false;
  }
  if (options.tcp && !options.link.empty()) {
    error = "--tcp does not go with --link";
    return false;
  }
  if (options.dropAfter >= 0 && !options.tcp) {
    error = "--drop-after needs --tcp";
    return false;
  }
  if (options.silentFor >= 0 && options.silentAfter < 0) {
    error = "--silent-for needs --silent-after";
    return false;
  }
  if (!options.writePath.empty() && options.duration < 0) {
    error = "--write needs --duration";
    return false;
  }
  if (!options.writePath.empty() &&
      (options.flood || !options.link.empty() || !options.logPath.empty() || !options.copyPrefix.empty() ||
       options.tcp)) {
    error = "--write does not go with --flood, --link, --log, --copy or --tcp";
    return false;
  }
  return true;
}

}  // namespace veltrano::sim

// The comparison reader of scripts/bench.sh: a minimal NMEA parser built the way
// the minmea library works, since minmea itself is not packaged in Debian. It
// reads a recording line by line with fgets, checks each line (printable
// characters, the optional "*hh" checksum, nothing but CR LF after it), takes
// the sentence id from the address field and scans the fields of GGA, RMC, GSA,
// GSV, GLL, GST, GBS, VTG and ZDA with a format string into fixed-point numbers,
// times and dates, as minmea_scan does. It prints how many sentences of each id
// parsed and how many lines did not.
//
// usage: minmea_style_reader FILE
#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxSentenceLength = 80;

struct Fixed {
  int_least32_t value, scale;
};
struct Date {
  int day, month, year;
};
struct Time {
  int hours, minutes, seconds, microseconds;
};

enum SentenceId { kInvalid = -1, kUnknown, kGbs, kGga, kGll, kGsa, kGst, kGsv, kRmc, kVtg, kZda, kIds };
const char* const kNames[kIds] = {"unknown", "GBS", "GGA", "GLL", "GSA", "GST", "GSV", "RMC", "VTG", "ZDA"};

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The C locale's isprint and isdigit, inline as C's ctype macros are.
bool isPrintable(char c) { return static_cast<unsigned char>(c) - 0x20u < 0x5Fu; }
bool isDigit(char c) { return static_cast<unsigned char>(c) - unsigned('0') < 10u; }

bool isField(char c) { return isPrintable(c) && c != ',' && c != '*'; }

bool checkSentence(const char* sentence) {
  if (std::strlen(sentence) > kMaxSentenceLength + 3) return false;
  if (*sentence++ != '$') return false;
  uint8_t checksum = 0;
  while (*sentence && *sentence != '*' && isPrintable(*sentence)) checksum ^= uint8_t(*sentence++);
  if (*sentence == '*') {
    ++sentence;
    const int upper = hexValue(*sentence++);
    if (upper == -1) return false;
    const int lower = hexValue(*sentence++);
    if (lower == -1) return false;
    if (checksum != (upper << 4 | lower)) return false;
  }
  while (*sentence == '\r' || *sentence == '\n') ++sentence;
  return *sentence == '\0';
}

bool sixDigits(const char* p) {
  for (int k = 0; k < 6; ++k)
    if (!isDigit(p[k])) return false;
  return true;
}

int twoDigits(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

// The fields one format character each: c char, d direction, f fixed-point,
// i integer, s text, t address, D date, T time, _ skipped; after ";" the rest
// may be missing.
bool scan(const char* sentence, const char* format, ...) {
  bool result = false;
  bool optional = false;
  va_list ap;
  va_start(ap, format);
  const char* field = sentence;
  while (*format) {
    const char type = *format++;
    if (type == ';') {
      optional = true;
      continue;
    }
    if (!field && !optional) goto done;
    switch (type) {
      case 'c': {
        char value = '\0';
        if (field && isField(*field)) value = *field;
        *va_arg(ap, char*) = value;
        break;
      }
      case 'd': {
        int value = 0;
        if (field && isField(*field)) {
          switch (*field) {
            case 'N':
            case 'E':
              value = 1;
              break;
            case 'S':
            case 'W':
              value = -1;
              break;
            default:
              goto done;
          }
        }
        *va_arg(ap, int*) = value;
        break;
      }
      case 'f': {
        int sign = 0;
        int_least32_t value = -1, scale = 0;
        if (field) {
          for (; isField(*field); ++field) {
            if (*field == '+' && !sign && value == -1) {
              sign = 1;
            } else if (*field == '-' && !sign && value == -1) {
              sign = -1;
            } else if (isDigit(*field)) {
              const int digit = *field - '0';
              if (value == -1) value = 0;
              if (value > (INT_LEAST32_MAX - digit) / 10) {
                if (scale) break;  // extra precision dropped
                goto done;
              }
              value = 10 * value + digit;
              if (scale) scale *= 10;
            } else if (*field == '.' && scale == 0) {
              scale = 1;
            } else if (*field == ' ') {
              if (sign != 0 || value != -1 || scale != 0) goto done;
            } else {
              goto done;
            }
          }
        }
        if ((sign || scale) && value == -1) goto done;
        if (value == -1) {
          value = 0;
          scale = 0;
        } else if (scale == 0) {
          scale = 1;
        }
        if (sign) value *= sign;
        *va_arg(ap, Fixed*) = Fixed{value, scale};
        break;
      }
      case 'i': {
        int value = 0;
        if (field) {
          char* end;
          value = int(std::strtol(field, &end, 10));
          if (isField(*end)) goto done;
        }
        *va_arg(ap, int*) = value;
        break;
      }
      case 's': {
        char* text = va_arg(ap, char*);
        if (field)
          while (isField(*field)) *text++ = *field++;
        *text = '\0';
        break;
      }
      case 't': {
        if (!field || field[0] != '$') goto done;
        for (int k = 0; k < 5; ++k)
          if (!isField(field[1 + k])) goto done;
        char* address = va_arg(ap, char*);
        std::memcpy(address, field + 1, 5);
        address[5] = '\0';
        break;
      }
      case 'D': {
        Date* date = va_arg(ap, Date*);
        *date = Date{-1, -1, -1};
        if (field && isField(*field)) {
          if (!sixDigits(field)) goto done;
          *date = Date{twoDigits(field), twoDigits(field + 2), twoDigits(field + 4)};
        }
        break;
      }
      case 'T': {
        Time* time = va_arg(ap, Time*);
        *time = Time{-1, -1, -1, -1};
        if (field && isField(*field)) {
          if (!sixDigits(field)) goto done;
          *time = Time{twoDigits(field), twoDigits(field + 2), twoDigits(field + 4), 0};
          field += 6;
          if (*field++ == '.') {
            uint32_t value = 0, scale = 1000000;
            while (isDigit(*field) && scale > 1) {
              value = value * 10 + uint32_t(*field++ - '0');
              scale /= 10;
            }
            time->microseconds = int(value * scale);
          }
        }
        break;
      }
      case '_':
        break;
      default:
        goto done;
    }
    // On to the next field.
    while (isField(*sentence)) ++sentence;
    if (*sentence == ',') {
      field = ++sentence;
    } else {
      field = nullptr;
    }
  }
  result = true;
done:
  va_end(ap);
  return result;
}

SentenceId sentenceId(const char* line) {
  if (!checkSentence(line)) return kInvalid;
  char address[6];
  if (!scan(line, "t", address)) return kInvalid;
  for (int id = kGbs; id < kIds; ++id)
    if (std::strcmp(address + 2, kNames[id]) == 0) return SentenceId(id);
  return kUnknown;
}

// The parsed sentences, each with every field minmea keeps of it.
struct Parsed {
  char address[6];
  Time time;
  Date date;
  Fixed latitude, longitude, speed, course, variation, hdop, pdop, vdop, altitude, height, dgpsAge;
  Fixed errors[8];
  int directions[4], quality, satellites, sats[12], gsv[19];
  char validity, mode, fixType, units[2], faa;
};

bool parse(SentenceId id, const char* line, Parsed& p) {
  int* d = p.directions;
  int* s = p.sats;
  int* g = p.gsv;
  Fixed* e = p.errors;
  switch (id) {
    case kRmc:
      return scan(line, "tTcfdfdffDfd", p.address, &p.time, &p.validity, &p.latitude, &d[0], &p.longitude, &d[1],
                  &p.speed, &p.course, &p.date, &p.variation, &d[2]);
    case kGga:
      return scan(line, "tTfdfdiiffcfcf_", p.address, &p.time, &p.latitude, &d[0], &p.longitude, &d[1], &p.quality,
                  &p.satellites, &p.hdop, &p.altitude, &p.units[0], &p.height, &p.units[1], &p.dgpsAge);
    case kGsa:
      return scan(line, "tciiiiiiiiiiiiifff", p.address, &p.mode, &p.quality, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5],
                  &s[6], &s[7], &s[8], &s[9], &s[10], &s[11], &p.pdop, &p.hdop, &p.vdop);
    case kGsv:
      return scan(line, "tiii;iiiiiiiiiiiiiiii", p.address, &g[0], &g[1], &g[2], &g[3], &g[4], &g[5], &g[6], &g[7],
                  &g[8], &g[9], &g[10], &g[11], &g[12], &g[13], &g[14], &g[15], &g[16], &g[17], &g[18]);
    case kGll:
      return scan(line, "tfdfdTc;c", p.address, &p.latitude, &d[0], &p.longitude, &d[1], &p.time, &p.validity, &p.mode);
    case kGst:
      return scan(line, "tTfffffff", p.address, &p.time, &e[0], &e[1], &e[2], &e[3], &e[4], &e[5], &e[6]);
    case kGbs:
      return scan(line, "tTfffifff", p.address, &p.time, &e[0], &e[1], &e[2], &p.quality, &e[3], &e[4], &e[5]);
    case kVtg:
      return scan(line, "t;fcfcfcfcc", p.address, &p.course, &p.units[0], &p.variation, &p.units[1], &p.speed, &p.mode,
                  &p.hdop, &p.fixType, &p.faa);
    case kZda:
      return scan(line, "tTiiiii", p.address, &p.time, &d[0], &d[1], &d[2], &d[3], &p.quality);
    default:
      return true;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: minmea_style_reader FILE\n", stderr);
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "rb");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  long long counts[kIds] = {}, unparsed = 0;
  char line[kMaxSentenceLength + 4];
  Parsed parsed;
  while (std::fgets(line, sizeof line, file) != nullptr) {
    const SentenceId id = sentenceId(line);
    if (id != kInvalid && parse(id, line, parsed))
      ++counts[id];
    else
      ++unparsed;
  }
  std::fclose(file);
  for (int id = 0; id < kIds; ++id) std::printf("%s %lld\n", kNames[id], counts[id]);
  std::printf("unparsed %lld\n", unparsed);
  return 0;
}

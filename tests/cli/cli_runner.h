#pragma once
// Runs veltrano-cli as a separate process and collects what it printed.
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace veltrano::test {

struct CliRun {
  int status = -1;
  std::string output;              // standard output (and standard error when merged)
  std::vector<std::string> lines;  // the output split at line feeds
};

// Runs a shell command and collects what reaches its standard output.
inline CliRun runCommand(const std::string& command) {
  CliRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::istringstream text(run.output);
  for (std::string line; std::getline(text, line);) run.lines.push_back(line);
  return run;
}

inline CliRun runCli(const std::string& arguments, bool mergeErrors = false) {
  return runCommand(std::string(VELTRANO_CLI_PATH) + " " + arguments + (mergeErrors ? " 2>&1" : " 2>/dev/null"));
}

// Runs veltrano-cli with its standard output sent to the file `output`; the
// run's output is then what the tool wrote on standard error.
inline CliRun runCliInto(const std::string& arguments, const std::string& output) {
  return runCommand(std::string(VELTRANO_CLI_PATH) + " " + arguments + " 2>&1 >" + output);
}

// The number after "key": in a JSON object, or NaN without the key.
inline double jsonNumber(const std::string& json, const std::string& key) {
  const size_t at = json.find("\"" + key + "\":");
  if (at == std::string::npos) return std::nan("");
  return std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

// The text after "key": in a JSON object, escapes as written.
inline std::string jsonText(const std::string& json, const std::string& key) {
  const size_t at = json.find("\"" + key + "\":\"");
  if (at == std::string::npos) return "<missing>";
  const size_t start = at + key.size() + 4;
  return json.substr(start, json.find('"', start) - start);
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace veltrano::test

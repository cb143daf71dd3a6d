// veltrano-sim: a GNSS receiver on a pseudo-terminal or a TCP port, speaking NMEA,
// BINR or BINR2, for testing the link, synchronisation, recording, protocol
// switching and control without hardware; or, with --write, a generator of
// recordings.
#include <signal.h>

#include <cstdio>
#include <memory>
#include <string>

#include "sim/command_log.h"
#include "sim/pty_port.h"
#include "sim/recording_writer.h"
#include "sim/sim_options.h"
#include "sim/tcp_port.h"
#include "sim/terminal_session.h"

namespace {
volatile sig_atomic_t stopRequested = 0;

void onStopSignal(int) { stopRequested = 1; }
}  // namespace

int main(int argc, char** argv) {
  using namespace veltrano::sim;
  SimOptions options;
  std::string error;
  if (!parseSimOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "veltrano-sim: %s\n%s", error.c_str(), simUsage());
    return 2;
  }
  if (options.help) {
    if (std::fputs(simUsage(), stdout) == EOF || std::fflush(stdout) != 0) {
      std::perror("veltrano-sim: cannot write standard output");
      return 1;
    }
    return 0;
  }
  if (!options.writePath.empty()) return writeRecording(options);

  // The stop signals are blocked except while the session waits, so none is lost
  // between a check of the flag and the wait.
  sigset_t stopSignals, waitMask;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
  sigdelset(&waitMask, SIGINT);
  sigdelset(&waitMask, SIGTERM);
  sigdelset(&waitMask, SIGHUP);
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);

  CommandLog log;
  if (!options.logPath.empty() && !log.open(options.logPath)) {
    std::perror(options.logPath.c_str());
    return 1;
  }
  std::unique_ptr<SimPort> port;
  if (options.tcp) {
    port = std::make_unique<TcpPort>(options.tcpAddress, options.baud);
  } else {
    port = std::make_unique<PtyPort>(options.link);
  }
  if (!port->open(error)) {
    std::fprintf(stderr, "veltrano-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", port->path().c_str());
  std::fflush(stdout);

  TerminalSession session(options, *port, log);
  const int status = session.run(stopRequested, waitMask);
  session.reportFlood();
  port->close();
  std::fprintf(stderr, "veltrano-sim: sent %llu bytes (%llu frames, %llu corrupted)\n",
               static_cast<unsigned long long>(session.bytesSent()),
               static_cast<unsigned long long>(session.simReceiver().corruption().frames()),
               static_cast<unsigned long long>(session.simReceiver().corruption().corrupted()));
  return status;
}

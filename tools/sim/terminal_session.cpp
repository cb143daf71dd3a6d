#include "sim/terminal_session.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "sim/crc32.h"
#include "sim/line_settings.h"

namespace veltrano::sim {

namespace {
constexpr size_t kQueueBytes = 256 * 1024;
constexpr size_t kQueueFrames = 8192;
constexpr size_t kEpochBytes = 16 * 1024;
constexpr size_t kEpochFrames = 256;
constexpr size_t kFloodBacklog = 64 * 1024;
constexpr int kIdleWaitMs = 10;
constexpr int kPacingWaitMs = 5;

double monotonicSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

timespec millisecondsSpec(int ms) { return timespec{ms / 1000, long(ms % 1000) * 1000000L}; }

// A terminal whose other side closed, or a connection that its client closed or reset.
bool otherSideGone(int error) { return error == EIO || error == EPIPE || error == ECONNRESET; }
}  // namespace

TerminalSession::TerminalSession(const SimOptions& opts, SimPort& p, CommandLog& l)
    : options(opts),
      port(p),
      log(l),
      copy(opts.copyPrefix),
      receiver(opts),
      faults(opts),
      queue(kQueueBytes, kQueueFrames),
      scratch(kEpochBytes, kEpochFrames),
      reply(kEpochBytes, kEpochFrames) {}

CommandParser& TerminalSession::parser() {
  switch (receiver.protocol()) {
    case SimProtocol::Nmea: return nmeaParser;
    case SimProtocol::Binr: return binrParser;
    case SimProtocol::Binr2: return binr2Parser;
  }
  return nmeaParser;
}

void TerminalSession::restartPacer(double now) {
  pacer.reset(receiver.baud(), receiver.protocol() == SimProtocol::Binr ? 11 : 10, now);
}

int TerminalSession::run(volatile sig_atomic_t& stop, const sigset_t& waitMask) {
  bool connected = false;
  bool everConnected = false;
  double start = 0;
  while (!stop) {
    const double now = monotonicSeconds();
    if (everConnected && faults.vanishedAt(now - start)) {
      std::fprintf(stderr, "veltrano-sim: vanished after %.1f s\n", now - start);
      return 0;
    }
    if (everConnected && faults.unpluggedAt(now - start)) {
      if (port.isOpen()) {
        std::fprintf(stderr, "veltrano-sim: unplugged after %.1f s\n", now - start);
        port.close();
        connected = false;
        queue.clear();
        parser().reset();
      }
      produceEpochs(now - start);  // the receiver runs on; nobody listens
      const timespec wait = millisecondsSpec(kIdleWaitMs);
      ppoll(nullptr, 0, &wait, &waitMask);
      continue;
    }
    if (!port.isOpen()) {
      std::string error;
      if (!port.open(error)) {
        std::fprintf(stderr, "veltrano-sim: %s\n", error.c_str());
        return 1;
      }
      std::fprintf(stderr, "veltrano-sim: plugged in again at %s\n", port.path().c_str());
    }
    if (!connected) {
      if (!port.peerOpen()) {
        if (everConnected) produceEpochs(now - start);  // the receiver runs on; nobody listens
        const timespec wait = millisecondsSpec(kIdleWaitMs);
        ppoll(nullptr, 0, &wait, &waitMask);
        continue;
      }
      connected = true;
      if (!copy.startOpening()) {
        std::perror(("veltrano-sim: " + options.copyPrefix).c_str());
        return 1;
      }
      if (!everConnected) start = now;
      everConnected = true;
      restartPacer(now);
    }
    const double elapsed = now - start;
    if (!dropped && faults.dropDueAt(elapsed)) {
      std::fprintf(stderr, "veltrano-sim: dropped the connection after %.1f s\n", elapsed);
      dropped = true;
      connected = false;
      port.dropPeer();
      queue.clear();
      parser().reset();
      continue;
    }
    if (options.flood) produceFlood();
    else produceEpochs(elapsed);
    if (pending && queue.empty()) {
      receiver.apply(*pending);
      pending.reset();
      parser().reset();
      restartPacer(now);
    }
    Io io = writeOutput(now);
    if (options.flood && queue.empty() && faults.epochLimit() >= 0 && nextEpoch >= faults.epochLimit())
      reportFlood();

    pollfd p{port.fd(), POLLIN, 0};
    if (!queue.empty() && options.flood) p.events |= POLLOUT;
    const timespec wait = millisecondsSpec(waitMilliseconds(elapsed));
    if (io == Io::Ok && ppoll(&p, 1, &wait, &waitMask) < 0 && errno != EINTR) {
      std::perror("veltrano-sim: poll");
      return 1;
    }
    if (io == Io::Ok && (p.revents & POLLIN)) io = readInput(monotonicSeconds() - start);
    if (io == Io::Ok && (p.revents & POLLHUP)) io = Io::HungUp;
    if (io == Io::Failed) return 1;
    if (io == Io::HungUp) {
      if (!options.reopen) {
        std::fprintf(stderr, "veltrano-sim: the other side closed the terminal\n");
        return 0;
      }
      connected = false;
      queue.clear();
      parser().reset();
      port.dropPeer();
    }
  }
  return 0;
}

void TerminalSession::produceEpochs(double elapsed) {
  const long long limit = faults.epochLimit();
  while ((limit < 0 || nextEpoch < limit) && double(nextEpoch + 1) / options.rate <= elapsed) {
    const double epochTime = double(nextEpoch) / options.rate;
    // Whole epochs are left out when the line cannot carry them (backlog above a
    // second's worth) or while the receiver is changing its settings.
    const bool emit = !faults.silentAt(epochTime) && !pending && port.peerOpen() &&
                      double(queue.size()) <= pacer.bytesPerSecond();
    scratch.clear();
    receiver.nextEpoch(emit, scratch);
    if (emit) queue.pushFrames(scratch);
    ++nextEpoch;
  }
}

void TerminalSession::produceFlood() {
  const long long limit = faults.epochLimit();
  while ((limit < 0 || nextEpoch < limit) && queue.size() < kFloodBacklog && !pending) {
    const bool emit = !faults.silentAt(double(nextEpoch) / options.rate);
    scratch.clear();
    receiver.nextEpoch(emit, scratch);
    if (emit) queue.pushFrames(scratch);
    ++nextEpoch;
  }
}

TerminalSession::Io TerminalSession::readInput(double elapsed) {
  const ssize_t n = read(port.fd(), ioBuffer, sizeof ioBuffer);
  if (n < 0) {
    if (errno == EAGAIN || errno == EINTR) return Io::Ok;
    return otherSideGone(errno) ? Io::HungUp : Io::Failed;
  }
  if (n == 0) return Io::HungUp;
  if (!port.lineMatches(receiver.baud())) {
    parser().reset();  // at a wrong rate the receiver understands nothing
    return Io::Ok;
  }
  const bool silent = faults.silentAt(elapsed);
  for (ssize_t i = 0; i < n; ++i) {
    CommandParser& current = parser();
    if (!current.push(ioBuffer[i])) continue;
    const Command& command = current.command();
    if (silent) {
      log.record(command, "muted");
      continue;
    }
    reply.clear();
    const CommandOutcome outcome = receiver.handleCommand(command, reply);
    log.record(command, outcome.verdict);
    queue.pushFrames(reply);
    if (outcome.changesSettings) pending = outcome;
  }
  return Io::Ok;
}

// The queued frames go out together, as many as the budget and the buffer
// take, in one write: a line at the rate of a flood cannot carry a write per
// frame. Each frame is garbled or not as a whole, as the line is set when its
// first byte goes out; the frames are contiguous in the queue.
TerminalSession::Io TerminalSession::writeOutput(double now) {
  while (!queue.empty()) {
    const size_t budget = options.flood ? sizeof ioBuffer : pacer.allowance(now);
    if (budget == 0) break;
    const bool lineGarbles = !port.lineMatches(receiver.baud());
    const size_t n = std::min({queue.size(), budget, sizeof ioBuffer});
    std::memcpy(ioBuffer, queue.frontData(), n);
    const size_t front = std::min(n, queue.frontRemaining());
    if (queue.frontStarted() ? queue.frontGarbled() : lineGarbles)
      for (size_t i = 0; i < front; ++i) ioBuffer[i] = garbleByte(ioBuffer[i]);
    if (lineGarbles)
      for (size_t i = front; i < n; ++i) ioBuffer[i] = garbleByte(ioBuffer[i]);
    const ssize_t written = write(port.fd(), ioBuffer, n);
    if (written < 0) {
      if (errno == EAGAIN || errno == EINTR) break;
      return otherSideGone(errno) ? Io::HungUp : Io::Failed;
    }
    copy.write(ioBuffer, size_t(written));
    for (size_t left = size_t(written); left > 0;) {
      if (!queue.frontStarted()) queue.startFront(lineGarbles);
      const size_t taken = std::min(left, queue.frontRemaining());
      queue.consume(taken);
      left -= taken;
    }
    if (!options.flood) pacer.spend(size_t(written));
    sentBytes += uint64_t(written);
    sentCrc = crc32Update(sentCrc, ioBuffer, size_t(written));
  }
  return Io::Ok;
}

int TerminalSession::waitMilliseconds(double elapsed) const {
  if (!queue.empty()) return options.flood ? 100 : kPacingWaitMs;
  // A flood that the reader has taken up makes its next epochs at once; its
  // epochs run ahead of the clock, which would wait up to 50 ms for each.
  const long long limit = faults.epochLimit();
  if (options.flood && !pending && (limit < 0 || nextEpoch < limit)) return 0;
  const double untilEpoch = double(nextEpoch + 1) / options.rate - elapsed;
  return std::clamp(int(std::ceil(untilEpoch * 1000.0)), 1, 50);
}

void TerminalSession::reportFlood() {
  if (!options.flood || floodReported) return;
  floodReported = true;
  std::printf("flood: %llu bytes, crc32 %08x\n", static_cast<unsigned long long>(sentBytes), sentCrc);
  std::fflush(stdout);
}

}  // namespace veltrano::sim

#include "stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace veltrano {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM};

int pipeEnds[2] = {-1, -1};
struct sigaction previous[std::size(kStopSignals)];
struct sigaction previousPipe;

void onStopSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
  errno = saved;
}

}  // namespace

StopSignals::StopSignals(std::function<void()> stop) : stop_(std::move(stop)) {
  if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
    char bytes[16];
    while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
    }
    stop_();
  });
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < std::size(kStopSignals); ++i) ::sigaction(kStopSignals[i], &action, &previous[i]);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &previousPipe);
}

StopSignals::~StopSignals() {
  if (!notifier_) return;
  for (size_t i = 0; i < std::size(kStopSignals); ++i) ::sigaction(kStopSignals[i], &previous[i], nullptr);
  ::sigaction(SIGPIPE, &previousPipe, nullptr);
  notifier_.reset();
  for (int& end : pipeEnds) {
    ::close(end);
    end = -1;
  }
}

}  // namespace veltrano

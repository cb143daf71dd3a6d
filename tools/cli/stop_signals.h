#pragma once
// Ctrl-C (SIGINT) and SIGTERM as a call on the main thread. The handler only
// writes one byte into a pipe, which is safe in a signal handler; a socket
// notifier on the pipe's other end runs the call from the event loop, where
// stopping a recording may send commands and close files. SIGPIPE is ignored
// meanwhile, so that a reader of standard output that went away shows as a
// failed write instead of ending the recording unclean.
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace veltrano {

class StopSignals {
 public:
  // One at a time; the previous dispositions come back when it goes.
  explicit StopSignals(std::function<void()> stop);
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  std::function<void()> stop_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace veltrano

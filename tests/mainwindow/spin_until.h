#pragma once
// Waiting on the main thread while it goes on serving its event loop, so that
// the playback thread's hand-offs, which wait for it, are delivered.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QTimer>
#include <functional>

namespace veltrano::test {

// Runs the event loop until done() holds or the time is up; objects deleted
// later are freed on the way, as the event loop would.
inline bool spinUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
  QTimer tick;
  tick.start(5);
  const QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (done()) return true;
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

inline void spinFor(int ms) {
  const QDeadlineTimer deadline(ms);
  spinUntil([&] { return deadline.hasExpired(); });
}

}  // namespace veltrano::test

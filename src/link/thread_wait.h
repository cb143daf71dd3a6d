#pragma once
// Waiting on the main thread for a thread that hands its work over with blocking
// queued calls: a plain wait could deadlock, the thread waiting in a hand-off that
// only the waiting main thread can deliver.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QThread>

namespace veltrano {

// Returns once `thread` has ended, delivering between short waits the calls it has
// queued for the calling thread, so that a hand-off it waits in can return.
inline void waitServingHandOffs(QThread& thread) {
  while (!thread.wait(QDeadlineTimer(5))) QCoreApplication::sendPostedEvents(&thread, QEvent::MetaCall);
}

}  // namespace veltrano

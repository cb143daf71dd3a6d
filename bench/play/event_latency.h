#pragma once
// How long the main thread takes to answer input while it is busy: a prober
// thread posts an event to the main thread every few tens of milliseconds,
// as a click would arrive, and the main thread notes how long each waited.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace veltrano::bench {

class EventLatency : public QObject {
 public:
  EventLatency() { clock_.start(); }
  ~EventLatency() override { stop(); }

  void start() {
    running_ = true;
    prober_ = std::thread([this] {
      int n = 0;
      std::unique_lock lock(mutex_);
      // 30 to 50 ms apart, so that the probes do not fall into step with the
      // frames; stop wakes the prober at once, so that it posts no probe late.
      while (!wake_.wait_for(lock, std::chrono::milliseconds(30 + (n++ * 7) % 21), [this] { return !running_; }))
        QCoreApplication::postEvent(this, new Probe(clock_.nsecsElapsed()));
    });
  }
  void stop() {
    {
      const std::lock_guard lock(mutex_);
      running_ = false;
    }
    wake_.notify_all();
    if (prober_.joinable()) prober_.join();
    QCoreApplication::sendPostedEvents(this, kProbeType);
  }
  // Milliseconds: the median and the largest wait, 0 without probes.
  double medianMs() const { return percentile(0.5); }
  double maxMs() const { return percentile(1.0); }
  size_t count() const { return waitsMs_.size(); }

 protected:
  bool event(QEvent* event) override {
    if (event->type() != kProbeType) return QObject::event(event);
    waitsMs_.push_back(double(clock_.nsecsElapsed() - static_cast<Probe*>(event)->postedNs) * 1e-6);
    return true;
  }

 private:
  static constexpr QEvent::Type kProbeType = QEvent::Type(QEvent::User + 17);
  struct Probe : QEvent {
    explicit Probe(qint64 at) : QEvent(kProbeType), postedNs(at) {}
    qint64 postedNs;
  };
  double percentile(double p) const {
    if (waitsMs_.empty()) return 0;
    std::vector<double> sorted = waitsMs_;
    std::sort(sorted.begin(), sorted.end());
    return sorted[size_t(p * double(sorted.size() - 1))];
  }

  QElapsedTimer clock_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool running_ = false;
  std::thread prober_;
  std::vector<double> waitsMs_;
};

}  // namespace veltrano::bench

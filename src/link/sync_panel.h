#pragma once
// What the synchronisation reads and shows on the main window: the selected
// port and rate, the device, file and message labels, the search timer and the
// transport actions it starts.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace veltrano {

class SyncPanel {
 public:
  virtual ~SyncPanel() = default;

  // The selected port: a device name ("ttyS0") or a typed path ("/dev/pts/3").
  virtual QString portName() const = 0;
  // The port list ("ttyS0   - 16550A"), rebuilt before it drops down; the first entry is selected.
  virtual void setPortEntries(const QStringList& entries) = 0;
  // The rate text as selected or typed, and the selection of a listed rate.
  virtual QString baudText() const = 0;
  virtual void selectBaudItem(int32_t baud) = 0;

  virtual QString deviceText() const = 0;
  virtual void showDevice(const QString& text) = 0;
  virtual void showFileName(const QString& text) = 0;
  virtual void showInfo(const QString& text) = 0;
  virtual void showErrorCount(const QString& text) = 0;

  // The search timer: one step of the search at each tick.
  virtual void startSearchTimer(int intervalMs) = 0;
  virtual void stopSearchTimer() = 0;
  // Enters SYNC; Stop and Record without sender.
  virtual void enterSync() = 0;
  virtual void stop() = 0;
  virtual void record() = 0;
};

}  // namespace veltrano

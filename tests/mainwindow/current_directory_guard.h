#pragma once
// Restores the process's current directory when it goes.
#include <QDir>
#include <QString>

namespace veltrano::test {

class CurrentDirectoryGuard {
 public:
  CurrentDirectoryGuard() : saved_(QDir::currentPath()) {}
  ~CurrentDirectoryGuard() { QDir::setCurrent(saved_); }
  CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
  CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

 private:
  QString saved_;
};

}  // namespace veltrano::test

#pragma once
#include <QComboBox>
#include <QStringList>

namespace veltrano {

// The serial-port list: the ports found ("ttyS0   - 16550A"), the paths the user
// typed in this session (a pseudo-terminal, a /dev/serial/by-id/ name,
// tcp://HOST:PORT) and "Other…", which asks for such a path. Announces that its
// list is about to drop down so the owner can rebuild the found entries first.
class PortComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit PortComboBox(QWidget* parent = nullptr);

  void showPopup() override;

  // The found ports, then the typed paths and "Other…"; the first entry is selected.
  void setFoundEntries(const QStringList& entries);
  // A typed path, kept in the list for the session and selected.
  void addTypedPort(const QString& path);
  // The selected port: a typed path, or a found entry's text up to its first
  // space; empty for "Other…" or an entry without a space.
  QString portName() const;

 signals:
  void dropDown();
  // "Other…" was chosen: the owner asks for a path (addTypedPort) or calls
  // otherDeclined to go back to the port selected before.
  void otherChosen();

 public slots:
  void otherDeclined();

 private:
  void appendTypedAndOther();
  void addTypedItem(int index, const QString& path);

  QStringList typedPorts_;
  int lastChosen_ = 0;
};

// The caption of the entry that asks for a port by its path.
QString otherPortCaption();

// What is wrong with a typed port, empty when nothing is: only the form of a
// TCP source ("tcp://HOST:PORT") can be judged before the port is opened.
QString typedPortProblem(const QString& port);

}  // namespace veltrano

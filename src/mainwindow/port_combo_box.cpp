#include "mainwindow/port_combo_box.h"

#include "util/host_port.h"

namespace veltrano {

namespace {
// Item data: the typed path of an entry, or this marker for "Other…".
constexpr int kPathRole = Qt::UserRole;
constexpr int kOtherRole = Qt::UserRole + 1;
}  // namespace

QString otherPortCaption() { return QStringLiteral("Other…"); }

QString typedPortProblem(const QString& port) {
  const std::string name = port.toStdString();
  if (!isTcpPortName(name)) return {};
  const auto address = parseTcpPortName(name);
  const std::string* problem = std::get_if<std::string>(&address);
  return problem ? QString::fromStdString(*problem) : QString();
}

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::activated, this, [this](int index) {
    if (itemData(index, kOtherRole).toBool()) {
      emit otherChosen();
      return;
    }
    lastChosen_ = index;
  });
}

void PortComboBox::showPopup() {
  emit dropDown();
  QComboBox::showPopup();
}

void PortComboBox::setFoundEntries(const QStringList& entries) {
  clear();
  addItems(entries);
  appendTypedAndOther();
  setCurrentIndex(0);
  lastChosen_ = 0;
}

void PortComboBox::appendTypedAndOther() {
  for (const QString& path : std::as_const(typedPorts_)) addTypedItem(count(), path);
  addItem(otherPortCaption());
  setItemData(count() - 1, true, kOtherRole);
}

void PortComboBox::addTypedPort(const QString& path) {
  if (!typedPorts_.contains(path)) {
    typedPorts_.append(path);
    // The typed paths stand between the found ports and "Other…".
    addTypedItem(count() - (count() > 0 && itemData(count() - 1, kOtherRole).toBool() ? 1 : 0), path);
  }
  setCurrentIndex(findData(path, kPathRole));
  lastChosen_ = currentIndex();
}

// A long path shows whole in its hint.
void PortComboBox::addTypedItem(int index, const QString& path) {
  insertItem(index, path, path);
  setItemData(index, path, Qt::ToolTipRole);
}

void PortComboBox::otherDeclined() {
  setCurrentIndex(lastChosen_ < count() ? lastChosen_ : 0);
}

QString PortComboBox::portName() const {
  const QVariant path = currentData(kPathRole);
  if (path.isValid()) return path.toString();
  const QString text = currentText();
  const qsizetype space = text.indexOf(QLatin1Char(' '));
  return space < 0 ? QString() : text.left(space);
}

}  // namespace veltrano

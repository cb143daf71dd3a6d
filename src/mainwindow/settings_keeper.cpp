#include "mainwindow/settings_keeper.h"

#include <QDir>
#include <QFile>

#include "displays/visual_form.h"
#include "mainwindow/main_form.h"
#include "mainwindow/protocol_switch.h"
#include "mainwindow/sound_alert.h"
#include "util/point_ring.h"
#include "util/settings_file.h"

namespace veltrano {

namespace {

constexpr ToolWindow kKeptBoxes[6] = {ToolWindow::Position, ToolWindow::Statistic, ToolWindow::Satellites,
                                      ToolWindow::Visual,   ToolWindow::Profile,   ToolWindow::SNR};

std::string settingsPath() {
  return QFile::encodeName(QDir::current().filePath(QString::fromLatin1(kSettingsFileName))).toStdString();
}

}  // namespace

SettingsKeeper::SettingsKeeper(TMainForm& main, TransportFields& transport, ProtocolSwitch& protocols,
                               TVisualForm& visual, SoundAlert& sound, PointRing& points)
    : main_(main), transport_(transport), protocols_(protocols), visual_(visual), sound_(sound), points_(points) {}

void SettingsKeeper::loadSettings() {
  const Settings s = readSettings(settingsPath());
  main_.move(s.left.value_or(main_.x()), s.top.value_or(main_.y()));
  main_.selectBaudIndex(s.baudItem);
  main_.showProtocol(ReceiverProtocol(s.protocolItem));
  main_.setDebugData(s.debugData, transport_.receiverProtocol != ReceiverProtocol::NMEA);
  protocols_.ProtComboBoxChange(false);
  transport_.maxAltValue = s.maxAltValue;
  transport_.radiusValue = s.radiusValue;
  visual_.refLat = s.refLat;
  visual_.refLon = s.refLon;
  visual_.refHeight = s.refHeight;
  transport_.soundEnabled = s.soundEnabled;
  sound_.SoundButtonClick(false);
  points_.maxPoints = s.maxPoints;
  for (size_t i = 0; i < s.shown.size(); ++i) main_.setTicked(kKeptBoxes[i], s.shown[i]);
}

void SettingsKeeper::saveSettings() {
  Settings s;
  s.left = main_.x();
  s.top = main_.y();
  s.baudItem = main_.baudIndex();
  s.protocolItem = int32_t(main_.chosenProtocol());
  s.debugData = main_.debugDataWanted();
  s.maxAltValue = transport_.maxAltValue;
  s.radiusValue = transport_.radiusValue;
  s.refLat = visual_.refLat;
  s.refLon = visual_.refLon;
  s.refHeight = visual_.refHeight;
  s.soundEnabled = transport_.soundEnabled;
  s.maxPoints = points_.maxPoints;
  for (size_t i = 0; i < s.shown.size(); ++i) s.shown[i] = main_.isTicked(kKeptBoxes[i]);
  writeSettings(settingsPath(), s);
}

}  // namespace veltrano

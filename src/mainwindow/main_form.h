#pragma once
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPoint>
#include <QWidgetList>

#include "decoding/transport_fields.h"
#include "link/sync_panel.h"
#include "mainwindow/main_form_controls.h"
#include "mainwindow/tool_window_tiler.h"

namespace veltrano {

class AppContext;

// The borderless control panel of the program: its own title bar, the port,
// rate and protocol lists, the information panel, the transport buttons and
// the boxes that show and tile the tool windows. It owns the transport state.
class TMainForm : public QFrame, public SyncPanel {
  Q_OBJECT
 public:
  explicit TMainForm(AppContext& app);

  const MainFormControls& controls() const { return c_; }
  QLabel* topPanel() const { return c_.topPanel; }
  const QImage& stateIcon() const { return stateIcon_; }
  // PortComboBox's text up to its first space; empty without a space.
  QString portName() const override;

  // Transport: the state display, the control enabling on entering a state
  // (the actions that enter a state call it), Stop and the watchdog.
  void setTransportState(TransportState state);
  void enableControlsForState(TransportState state);
  void StopButtonClick(bool sender = false);
  void WatchTimerTimer();

  // "custom" makes BaudComboBox an editable field; any other rate a fixed list again.
  void BaudComboBoxCloseUp();

  // SyncPanel
  QString portEntry() const override;
  void setPortEntries(const QStringList& entries) override;
  QString baudText() const override;
  void selectBaudItem(int32_t baud) override;
  QString deviceText() const override;
  void showDevice(const QString& text) override;
  void showFileName(const QString& text) override;
  void showInfo(const QString& text) override;
  void showErrorCount(const QString& text) override;
  void startSearchTimer(int intervalMs) override;
  void stopSearchTimer() override;
  void enterSync() override;
  void stop() override;
  void record() override;

  // Whether NMEAPopupMenu opens on ProtComboBox (only while the protocol is NMEA).
  void setNmeaPopupAttached(bool attached);

  // Title bar.
  void TopPanelMouseDown(QPoint position);
  void TopPanelMouseMove(QPoint position);
  void TopPanelMouseUp();
  void CloseSpeedButtonClick();
  void MinimizeSpeedButtonClick();
  void TitleImageClick();

  // Tool-window boxes, run whenever a box changes its tick.
  void PositionCheckBoxClick();
  void StatisticCheckBoxClick();
  void SatellitesCheckBoxClick();
  void VisualCheckBoxClick();
  void ProfileCheckBoxClick();
  void SNRCheckBoxClick();
  void ControlCheckBoxClick();

  // NMEA position source.
  void AutoItemClick();
  void GGAItemClick();
  void RMCItemClick();
  void GNSItemClick();

  // The first dropped file: the current directory, and an .nme file as the
  // file to play. Refused outside STOP.
  void acceptDroppedFile(const QString& path);
  // Before the tool windows go: the tone device, the point store, the settings.
  void FormDestroy();

  TransportFields transport;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void connectControls();
  void FormShow();
  // Selects NMEA without the protocol-switching actions and shows the file name.
  void selectNmeaFile(const QString& fileName);

  AppContext& app_;
  MainFormControls c_;
  ToolWindowTiler tiler_;
  QImage stateIcon_;
  bool dragging_ = false;
  QPoint dragOrigin_;
  bool shown_ = false;
  QWidgetList minimizedWithMain_;
};

// "VELTRANO " + version + " (RTK)".
QString applicationCaption(const QString& versionString);

}  // namespace veltrano

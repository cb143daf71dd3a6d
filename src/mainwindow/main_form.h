#pragma once
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPoint>
#include <QWidgetList>

#include "decoding/nmea_position_source.h"
#include "decoding/transport_fields.h"
#include "displays/held_drawing.h"
#include "mainwindow/main_form_controls.h"
#include "mainwindow/off_taskbar.h"
#include "mainwindow/sound_panel.h"
#include "mainwindow/start_link.h"
#include "mainwindow/tool_window_tiler.h"
#include "mainwindow/transport_panel.h"

namespace veltrano {

class TTimerForm;

// The borderless control panel of the program: its own title bar, the port,
// rate and protocol lists, the information panel, the transport buttons and
// the boxes that show and tile the tool windows. What its buttons and lists
// start elsewhere it announces by signals.
class TMainForm : public QFrame, public TransportPanel, public SoundPanel, public HeldDrawing {
  Q_OBJECT
 public:
  // `arguments`: the command line; its first one may name a recording to play.
  TMainForm(TransportFields& transport, QStringList arguments);

  // The tool windows it shows and tiles, and the About box. The windows that go
  // with it become its tool windows: one taskbar entry for the group, and the
  // window manager minimises and restores them with the main window.
  void attachWindows(const ToolWindows& tiled, QWidget* about, const QWidgetList& group);
  // The Timer window that ClockButton shows and whose schedule it reports.
  void attachTimer(TTimerForm* timer) { timer_ = timer; }

  QLabel* topPanel() const { return c_.topPanel; }
  const QImage& stateIcon() const { return stateIcon_; }
  // The selected port: a typed path, or a found entry's text up to its first space.
  QString portName() const override;
  // The port, rate and protocol named on the command line, selected after the
  // settings are read at the first show.
  void setStartLink(const StartLink& link) { startLink_ = link; }

  // Transport: the state display, the control enabling on entering a state
  // (the actions that enter a state call it) and Stop.
  void setTransportState(TransportState state);
  void enableControlsForState(TransportState state);
  void StopButtonClick(bool sender = false);

  // The schedule: ClockButton shows the Timer window until it closes and then
  // tells whether the schedule is armed; the window's start and stop minutes
  // start a recording from STOP and end a running one.
  void ClockButtonClick();
  void scheduledStart();
  void scheduledStop();

  // Whether a tool-window box is ticked: the decoded data goes only to shown
  // windows. Asked for every message, so kept as bits beside the boxes.
  bool isTicked(ToolWindow window) const { return (ticked_ >> int(window)) & 1u; }
  // Ticks or unticks a box as the user would: its window shows or hides in its tile.
  void setTicked(ToolWindow window, bool ticked);
  // The rate list's item, and its selection; an item outside the listed rates selects the first.
  int baudIndex() const;
  void selectBaudIndex(int index);
  // The "DBG data" box, ticked or not and enabled or not.
  void setDebugData(bool ticked, bool enabled);
  // ReceiveBytesLabel; while the drawing is held, the last text is kept for it.
  void showReceivedTotal(int64_t total);

  // "custom" makes BaudComboBox an editable field; any other rate a fixed list again.
  void BaudComboBoxCloseUp();

  // SyncPanel
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

  // TransportPanel
  QString fileName() const override;
  void fixFileName(const QString& text) override;
  void resetCounters() override;
  void enterState(TransportState state) override;
  void showState(TransportState state) override;
  void startWatchdog() override;
  bool debugDataWanted() const override;
  QWidget* dialogParent() override { return this; }
  ReceiverProtocol chosenProtocol() const override;
  void showProtocol(ReceiverProtocol protocol) override;
  void applyProtocol(ReceiverProtocol protocol) override;

  // SoundPanel
  void showSound(const QString& text, const QColor& color) override;

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

  // The first dropped file: the current directory, and an .nme, .dat or .b2
  // file as the file to play in its protocol. Refused outside STOP.
  void acceptDroppedFile(const QString& path);

 signals:
  // The buttons and lists; `sender` is true when the user acted.
  void synchroClicked(bool sender);
  void ejectClicked();
  void playClicked(bool sender);
  void rewindClicked(bool sender);
  void pauseClicked();
  void recordClicked(bool sender);
  void soundClicked(bool sender);
  void protocolChosen(bool sender);
  // A file named on the command line or dropped chose the protocol of its kind.
  void fileProtocolChosen(ReceiverProtocol protocol);
  // The port list is about to drop down.
  void portListWanted();
  void searchTick();
  void watchdogTick();
  void positionSourceChosen(NmeaPositionSource source);
  // The first show, in the directory the settings are read from.
  void settingsWanted();
  // The Statistic box was ticked: the statistics start afresh.
  void statisticTicked();
  // What Stop ends, by the state it leaves.
  void searchStopped(bool sender);
  void playbackStopped();
  void recordingStopped();

 protected:
  void drawKept() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void connectControls();
  void FormShow();
  // Selects the protocol of a recording the user named, without telling the
  // receiver, and shows the file name; false for a file of no known kind.
  bool selectNamedFile(const QString& fileName);
  void showTimerArmed(bool armed);
  void selectStartLink();
  void askForPortPath();
  QCheckBox* tickBox(ToolWindow window) const;

  TransportFields& transport_;
  const QStringList arguments_;
  MainFormControls c_;
  ToolWindowTiler tiler_;
  QImage stateIcon_;
  bool dragging_ = false;
  QPoint dragOrigin_;
  bool shown_ = false;
  QWidget* about_ = nullptr;
  TTimerForm* timer_ = nullptr;
  OffTaskbar offTaskbar_;
  StartLink startLink_;
  // A bit for each ticked tool-window box, by ToolWindow.
  unsigned ticked_ = 0;
  // The received total kept for the next drawing.
  bool receivedBytesKept_ = false;
  int64_t keptReceivedTotal_ = 0;
};

// "VELTRANO " + version + " (RTK)".
QString applicationCaption(const QString& versionString);

}  // namespace veltrano

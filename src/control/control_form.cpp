#include "control/control_form.h"

#include <QKeyEvent>
#include <QPointer>
#include <QValidator>
#include <algorithm>

#include "control/control_sender.h"
#include "link/command_writer.h"

namespace veltrano {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

// The free-text line's frame around the edit, per protocol.
struct FreeTextLook {
  const char* begin;
  const char* end;
  bool sendEnabled;
};
constexpr FreeTextLook kFreeTextLooks[] = {
    {"NMEA Send    $", "*XX", true},
    {"BINR Send    10", "1003", true},
    {"BINR2 Send  ", "", false},
};

bool isHexDigit(QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'); }

// In BINR and BINR2 the line takes hexadecimal digits only, turned to upper
// case, whether typed or pasted; in NMEA it takes anything.
class SendTextValidator : public QValidator {
 public:
  SendTextValidator(const TransportFields& transport, QObject* parent) : QValidator(parent), transport_(transport) {}

  State validate(QString& input, int&) const override {
    if (transport_.receiverProtocol == ReceiverProtocol::NMEA) return Acceptable;
    input = input.toUpper();
    return std::all_of(input.cbegin(), input.cend(), isHexDigit) ? Acceptable : Invalid;
  }

 private:
  const TransportFields& transport_;
};

// The program's texts are 8-bit: a character beyond Latin-1 cannot be sent.
bool isLatin1(const QString& text) {
  return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}

}  // namespace

TControlForm::TControlForm(CommandWriter& writer, const TransportFields& transport)
    : ToolForm("TControlForm", 427, 335), writer_(writer), transport_(transport), c_(buildControlFormControls(this)) {
  addTitleStrip(QStringLiteral("CONTROL"), QRect(4, 2, 419, 17));

  const auto onClick = [this](QToolButton* button, void (TControlForm::*handler)()) {
    connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
  };
  onClick(c_.restartSpeedButton, &TControlForm::RestartSpeedButtonClick);
  onClick(c_.satSystemSpeedButton, &TControlForm::SatSystemSpeedButtonClick);
  onClick(c_.elevationSpeedButton, &TControlForm::ElevationSpeedButtonClick);
  onClick(c_.maxRmsSpeedButton, &TControlForm::MaxRMSSpeedButtonClick);
  onClick(c_.filterSpeedButton, &TControlForm::FilterSpeedButtonClick);
  onClick(c_.pvtRateSpeedButton, &TControlForm::PVTRateSpeedButtonClick);
  onClick(c_.pvtSetSpeedButton, &TControlForm::PVTSetSpeedButtonClick);
  onClick(c_.sendButton, &TControlForm::SendButtonClick);

  c_.sendEdit->setValidator(new SendTextValidator(transport_, c_.sendEdit));
  c_.sendEdit->installEventFilter(this);
  connect(c_.sendEdit, &QLineEdit::textEdited, this, [this] { SendEditChange(); });
  // The writer may outlive the window.
  writer_.showSentCommand = [form = QPointer<TControlForm>(this)](std::string_view text) {
    if (form) form->showSentCommand(text);
  };
  applyProtocol(ReceiverProtocol::NMEA);
}

void TControlForm::applyProtocol(ReceiverProtocol protocol) {
  const FreeTextLook& look = kFreeTextLooks[int(protocol)];
  c_.beginSendLabel->setCaption(QString::fromLatin1(look.begin));
  c_.endSendLabel->setCaption(QString::fromLatin1(look.end));
  c_.sendEdit->clear();
  setSendTextColor(kBlack);
  c_.sendButton->setEnabled(look.sendEnabled);
}

void TControlForm::RestartSpeedButtonClick() { sendConfiguration(ControlButton::Restart); }
void TControlForm::SatSystemSpeedButtonClick() { sendConfiguration(ControlButton::SatSystem); }
void TControlForm::ElevationSpeedButtonClick() { sendConfiguration(ControlButton::Elevation); }
void TControlForm::MaxRMSSpeedButtonClick() { sendConfiguration(ControlButton::MaxRms); }
void TControlForm::FilterSpeedButtonClick() { sendConfiguration(ControlButton::Filter); }
void TControlForm::PVTRateSpeedButtonClick() { sendConfiguration(ControlButton::PvtRate); }
void TControlForm::PVTSetSpeedButtonClick() { sendConfiguration(ControlButton::PvtSet); }

ControlSettings TControlForm::settings() const {
  ControlSettings s;
  s.cold = c_.coldRadioButton->isChecked();
  s.gps = c_.gpsCheckBox->isChecked();
  s.gln = c_.glnCheckBox->isChecked();
  s.sbas = c_.sbasCheckBox->isChecked();
  s.gll = c_.gllCheckBox->isChecked();
  s.elevationMask = c_.elevationUpDown->position();
  s.maxRms = c_.maxRmsUpDown->position();
  // Empty places read as nothing: "2." is 2, ".5" is 0.5, "." is 0.
  s.filter = c_.filterMaskEdit->text().toDouble();
  s.rate = c_.pvtRateComboBox->currentText().toInt();
  s.twoD = c_.twoDCheckBox->isChecked();
  s.raim = c_.raimCheckBox->isChecked();
  return s;
}

void TControlForm::sendConfiguration(ControlButton button) {
  if (transport_.transportState != TransportState::REC) return;
  ControlCommand command;
  if (buildControlCommand(button, transport_.receiverProtocol, settings(), command))
    sendControlCommand(writer_, transport_.receiverProtocol, command);
}

void TControlForm::SendButtonClick() {
  const QString line = c_.sendEdit->text();
  const QByteArray text = line.toLatin1();
  const bool refused = !isLatin1(line) ||
                       sendFreeText(writer_, transport_.receiverProtocol,
                                    std::string_view(text.constData(), size_t(text.size()))) == FreeTextSent::Refused;
  if (refused) setSendTextColor(kRed);
}

bool TControlForm::SendEditKeyPress(const QKeyEvent& key) {
  if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return false;
  if (c_.sendButton->isEnabled()) SendButtonClick();
  return true;
}

// In BINR and BINR2 a whole number of bytes enables SendButton in black; half a
// byte disables it and shows red.
void TControlForm::SendEditChange() {
  if (transport_.receiverProtocol == ReceiverProtocol::NMEA) {
    setSendTextColor(kBlack);
    return;
  }
  const bool wholeBytes = c_.sendEdit->text().size() % 2 == 0;
  c_.sendButton->setEnabled(wholeBytes);
  setSendTextColor(wholeBytes ? kBlack : kRed);
}

bool TControlForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == c_.sendEdit && event->type() == QEvent::KeyPress)
    return SendEditKeyPress(static_cast<const QKeyEvent&>(*event));
  return ToolForm::eventFilter(watched, event);
}

void TControlForm::showSentCommand(std::string_view text) {
  c_.sendEdit->setText(QString::fromLatin1(text.data(), qsizetype(text.size())));
  setSendTextColor(kBlack);
}

void TControlForm::setSendTextColor(const QColor& color) {
  QPalette palette = c_.sendEdit->palette();
  palette.setColor(QPalette::Text, color);
  c_.sendEdit->setPalette(palette);
}

}  // namespace veltrano

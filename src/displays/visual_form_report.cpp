// Copy: the Visual window's report picture, to the clipboard.
#include <QClipboard>
#include <QGuiApplication>

#include "displays/visual_form.h"

namespace veltrano {

void TVisualForm::CopyButtonClick() { QGuiApplication::clipboard()->setImage(reportPicture()); }

QImage TVisualForm::reportPicture() const { return drawReportPicture(layers.plotLayer, reportCaptions()); }

ReportCaptions TVisualForm::reportCaptions() const {
  ReportCaptions captions;
  captions.quoted = sources_.quotedCaptions();
  captions.lat = c_.latEdit->displayText();
  captions.lon = c_.lonEdit->displayText();
  captions.alt = c_.altEdit->displayText();
  captions.dMb = c_.dMbLabel->text();
  captions.dMl = c_.dMlLabel->text();
  captions.dMh = c_.dMhLabel->text();
  return captions;
}

}  // namespace veltrano

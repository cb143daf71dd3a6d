#include "displays/satellites_form.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "displays/auto_label.h"
#include "util/nmea_numbers.h"

namespace veltrano {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

enum Row {
  kGpsRow = SolutionSatellites::kGpsRow,
  kGlnRow = SolutionSatellites::kGlnRow,
  kGllRow = SolutionSatellites::kGllRow,
  kBdsRow = SolutionSatellites::kBdsRow,
};

// Status flag labels from left to right.
struct FlagPlace {
  const char* name;
  int left;
  const char* text;
};
constexpr FlagPlace kFlags[TSatellitesForm::kFlagCount] = {
    {"obsLabel", 44, "obs"},    {"_2dLabel", 72, "2d"},     {"_1dLabel", 92, "1d"},   {"rtcmLabel", 112, "rtcm"},
    {"raimLabel", 140, "raim"}, {"rsLabel", 168, "rs"},     {"extLabel", 182, "ext"}, {"anomLabel", 204, "anom"},
    {"gpsLabel", 238, "gps"},   {"glnLabel", 262, "gln"},   {"sbasLabel", 284, "sbas"}, {"gllLabel", 315, "gll"},
    {"bdsLabel", 333, "bds"},   {"dsbasLabel", 357, "dsbas"}, {"rmsLabel", 395, "rms"},
};
enum Flag { kGpsFlag = 8, kGlnFlag, kSbasFlag, kGllFlag, kBdsFlag, kDsbasFlag, kRmsFlag };

struct RowPlace {
  const char* caption;
  const char* captionText;
  const char* quant;
  const char* num;
  const char* bad;
  int badLeft;
  int top;
};
constexpr RowPlace kRows[TSatellitesForm::kRowCount] = {
    {"Label1", "GPS:", "GPSquantLabel", "GPSnumLabel", "BadGPSnumLabel", 68, 32},
    {"Label2", "GLN:", "GLNquantLabel", "GLNnumLabel", "BadGLNnumLabel", 75, 44},
    {"Label3", "GLL:", "GLLquantLabel", "GLLnumLabel", "BadGLLnumLabel", 68, 56},
    {"Label5", "BDS:", "BDSquantLabel", "BDSnumLabel", "BadBDSnumLabel", 75, 68},
};

constexpr int kCaptionLeft = 8;
constexpr int kFlagTop = 20;
constexpr int kQuantRight = 52;
constexpr int kNumLeft = 64;
const QRect kStatusInfoPlace(44, 20, 369, 13);

// The row of a SatSystem code, or -1 for a system without a row.
int rowOf(uint8_t system) {
  switch (system) {
    case kSatGps: return kGpsRow;
    case kSatGlonass: return kGlnRow;
    case kSatGalileo: return kGllRow;
    case kSatBeidou: return kBdsRow;
    default: return -1;
  }
}

bool bit(uint32_t mask, int i) { return (mask >> i) & 1u; }

// Black while enabled; a disabled label keeps the toolkit's greyed look.
void lightBlack(QLabel* label) {
  QPalette p = label->palette();
  p.setColor(QPalette::Active, QPalette::WindowText, kBlack);
  p.setColor(QPalette::Inactive, QPalette::WindowText, kBlack);
  label->setPalette(p);
}

}  // namespace

TSatellitesForm::TSatellitesForm() : ToolForm("TSatellitesForm", 421, 83) {
  addTitleStrip(QStringLiteral("PVT STATUS & USED SATELLITES"), QRect(2, 2, 416, 17));
  lightBlack(AutoLabel::left(this, "Label4", kCaptionLeft, kFlagTop, QStringLiteral("Status:"), false));
  for (int f = 0; f < kFlagCount; ++f) {
    const FlagPlace& place = kFlags[f];
    flags_[f] = AutoLabel::left(this, place.name, place.left, kFlagTop, QString::fromLatin1(place.text), true);
    lightBlack(flags_[f]);
    flags_[f]->setEnabled(false);
  }
  // Created after the flags, so that it covers them while shown.
  statusInfoLabel_ = new QLabel(this);
  statusInfoLabel_->setObjectName(QStringLiteral("StatusInfoLabel"));
  statusInfoLabel_->setFont(smallFont(true));
  statusInfoLabel_->setTextFormat(Qt::PlainText);
  statusInfoLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  statusInfoLabel_->setAutoFillBackground(true);
  lightBlack(statusInfoLabel_);
  statusInfoLabel_->setGeometry(kStatusInfoPlace);
  setStatusInfo(QStringLiteral("not available"));
  for (int r = 0; r < kRowCount; ++r) {
    const RowPlace& place = kRows[r];
    const QString caption = QString::fromLatin1(place.captionText);
    lightBlack(AutoLabel::left(this, place.caption, kCaptionLeft, place.top, caption, false));
    quantLabels_[r] = AutoLabel::right(this, place.quant, kQuantRight, place.top, QStringLiteral("0"), true);
    quantLabels_[r]->setTextColor(kBlack);
    numLabels_[r] = AutoLabel::left(this, place.num, kNumLeft, place.top, QString(), true);
    numLabels_[r]->setTextColor(kBlack);
    badLabels_[r] = AutoLabel::left(this, place.bad, place.badLeft, place.top, QString(), true);
    badLabels_[r]->setTextColor(kRed);
  }
}

void TSatellitesForm::clearSatelliteStatus() {
  clearRows();
  if (!drawingHeld()) drawKept();
}

void TSatellitesForm::clearRows() {
  litFlags_ = 0;
  flagsKept_ = true;
  for (int r : {kGpsRow, kGlnRow, kGllRow}) {
    rowsKept_[r].used = ListShown::Empty;
    rowsKept_[r].rejected = ListShown::Empty;
    rowsKept_[r].placed = false;
  }
  used.clear();
}

void TSatellitesForm::lightFlags(uint8_t flags1, uint8_t flags2, bool beidouFlag) {
  for (int b = 0; b < 8; ++b)
    if (bit(flags1, b)) litFlags_ |= uint16_t(1u << b);
  constexpr std::pair<int, int> kSecond[] = {{1, kGpsFlag},   {2, kGlnFlag},   {3, kSbasFlag},
                                             {4, kGllFlag},   {5, kDsbasFlag}, {7, kRmsFlag}};
  for (auto [b, flag] : kSecond)
    if (bit(flags2, b)) litFlags_ |= uint16_t(1u << flag);
  if (beidouFlag) litFlags_ |= uint16_t(1u << kBdsFlag);
}

void TSatellitesForm::showRow(int row) {
  rowsKept_[row].used = ListShown::List;
  rowsKept_[row].rejected = ListShown::List;
  rowsKept_[row].placed = true;
}

void TSatellitesForm::showSolutionSatellites(const SolutionSatellites& satellites) {
  clearRows();
  lightFlags(satellites.flags1, satellites.flags2, satellites.beidouFlag);
  for (int r = 0; r < kRowCount; ++r) {
    const SatelliteRow& row = satellites.rows[r];
    if (row.updateCount) {
      rowsKept_[r].count = true;
      rowsKept_[r].countShown = row.count;
    }
    switch (row.lists) {
      case SatelliteRow::Lists::Keep:
        break;
      case SatelliteRow::Lists::Clear:
        rowsKept_[r].used = ListShown::Empty;
        rowsKept_[r].rejected = ListShown::Empty;
        rowsKept_[r].placed = false;
        break;
      case SatelliteRow::Lists::Show:
        used_[r].startUsed();
        rejected_[r].startRejected();
        for (int i = 0; i < row.usedCount; ++i) used_[r].append(row.used[i]);
        for (int i = 0; i < row.rejectedCount; ++i) rejected_[r].append(row.rejected[i]);
        showRow(r);
        break;
    }
  }
  used.assign({satellites.used, satellites.usedCount});
  if (!drawingHeld()) drawKept();
}

void TSatellitesForm::showGsaSatellites(const NmeaFieldTable& gsa) {
  if (newGsaGroup) {
    newGsaGroup = false;
    showGsaGroup();
    used.clear();
    if (!drawingHeld()) drawKept();
  }
  UsedSatellite entries[NmeaFieldTable::kFieldSlots];
  const int n = gsaSatellites(gsa, entries, NmeaFieldTable::kFieldSlots);
  for (int i = 0; i < n; ++i) used.appendToGroup(entries[i]);
}

void TSatellitesForm::showGsaGroup() {
  used.sort();
  for (SatelliteList& list : used_) list.startUsed();
  for (const UsedSatellite& satellite : used.counted()) {
    const int row = rowOf(satellite.system);
    if (row >= 0) used_[row].append(satellite.number);
  }
  for (int r = 0; r < kRowCount; ++r) {
    rowsKept_[r].count = true;
    rowsKept_[r].countShown = used_[r].count();
    rowsKept_[r].used = ListShown::List;
    rowsKept_[r].placed = true;
  }
}

// The rejected list goes after the used list once both have their new texts;
// a rewritten rejected list stands at its own place until it is placed again.
void TSatellitesForm::drawKept() {
  if (keptBss_.kept) showBssFigures(keptBss_);
  keptBss_.kept = false;
  if (flagsKept_) {
    for (int f = 0; f < kFlagCount; ++f) flags_[f]->setEnabled(bit(litFlags_, f));
    flagsKept_ = false;
  }
  for (int r = 0; r < kRowCount; ++r) {
    RowKept& kept = rowsKept_[r];
    if (kept.count) quantLabels_[r]->setCaption(QString::number(kept.countShown));
    showList(numLabels_[r], kept.used, used_[r]);
    showList(badLabels_[r], kept.rejected, rejected_[r]);
    if (kept.placed) {
      const AutoLabel* num = numLabels_[r];
      badLabels_[r]->move(num->x() + num->width(), badLabels_[r]->y());
    }
    kept = RowKept{};
  }
}

void TSatellitesForm::showList(AutoLabel* label, ListShown shown, const SatelliteList& list) {
  if (shown == ListShown::Empty) label->setCaption(QString());
  if (shown == ListShown::List) label->setCaption(list.shown());
}

void TSatellitesForm::showBssStatus(const NmeaFieldTable& bss) {
  keptBss_ = {true, bss.leadingIntOf(1), bss.leadingIntOf(2), bss.leadingIntOf(3),
              leadingReal(bss.text(4))};
  if (!drawingHeld()) drawKept();
}

void TSatellitesForm::showBssFigures(const BssKept& bss) {
  // Room for the widest distance that %7.3lf can print.
  char text[512];
  std::snprintf(text, sizeof text, "BSS  all: %5d  err: %5d  valid: %5d  dist: %7.3lf m", bss.all, bss.errors,
                bss.valid, bss.distance);
  setStatusInfo(QString::fromLatin1(text));
}

void TSatellitesForm::showNotAvailable(bool shown) {
  // A BSS sentence kept before is shown first, so that this text stands last.
  drawKept();
  if (shown) setStatusInfo(QStringLiteral("not available"));
  statusInfoLabel_->setVisible(shown);
}

// The label covers the flag row and grows for a longer text.
void TSatellitesForm::setStatusInfo(const QString& text) {
  statusInfoLabel_->setText(text);
  statusInfoLabel_->resize(std::max(kStatusInfoPlace.width(), statusInfoLabel_->sizeHint().width()),
                           kStatusInfoPlace.height());
}

}  // namespace veltrano

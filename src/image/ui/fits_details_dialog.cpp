#include "image/ui/fits_details_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "core/fits_details.h"
#include "core/messages.h"
#include "core/session.h"
#include "image/fits_details_form.h"

namespace talvor {
namespace {

constexpr int kParagraphHeight = 64;

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

std::string ToText(const QString& text) {
    return text.toStdString();
}

}  // namespace

TFITSDialog::TFITSDialog(Session& session, QWidget* parent)
    : TFITSDialog(session, session.state.Fits, session.state.UnsignedFits, parent) {}

TFITSDialog::TFITSDialog(Session& session, FitsDetails& details, bool& unsignedFits,
                         QWidget* parent)
    : QDialog(parent),
      session_(session),
      details_(details),
      unsignedFits_(unsignedFits),
      object_(AddTextField(static_cast<int>(kFitsTextLength))),
      observer_(AddTextField(static_cast<int>(kFitsTextLength))),
      origin_(AddTextField(static_cast<int>(kFitsTextLength))),
      telescope_(AddTextField(static_cast<int>(kFitsTextLength))),
      focalLength_(AddTextField(0)),
      aperture_(AddTextField(0)),
      filter_(AddTextField(static_cast<int>(kFitsTextLength))),
      instrument_(AddTextField(static_cast<int>(kFitsTextLength))),
      exposure_(AddTextField(0)),
      history_(new QPlainTextEdit(this)),
      comment_(new QPlainTextEdit(this)),
      date_(AddTextField(static_cast<int>(kFormDateLength))),
      time_(AddTextField(static_cast<int>(kFormTimeLength))),
      utBar_(new QScrollBar(Qt::Horizontal, this)),
      utValue_(new QLineEdit(this)),
      eightBit_(new QCheckBox(QStringLiteral("8 bit integer (16 bit default)"), this)),
      unsigned_(new QCheckBox(QStringLiteral("Unsigned Integer Format"), this)) {
    setWindowTitle(QStringLiteral("FITS DETAILS"));
    const FitsDetailsForm form = FitsDetailsFormFor(details_, session_.settings.UtOffsetHours);
    object_->setText(ToQString(form.object));
    observer_->setText(ToQString(form.observer));
    origin_->setText(ToQString(form.origin));
    telescope_->setText(ToQString(form.telescope));
    focalLength_->setText(ToQString(form.focalLength));
    aperture_->setText(ToQString(form.aperture));
    filter_->setText(ToQString(form.filter));
    instrument_->setText(ToQString(form.instrument));
    exposure_->setText(ToQString(form.exposure));
    history_->setPlainText(ToQString(form.history));
    comment_->setPlainText(ToQString(form.comment));
    date_->setText(ToQString(form.date));
    time_->setText(ToQString(form.time));
    history_->setFixedHeight(kParagraphHeight);
    comment_->setFixedHeight(kParagraphHeight);
    // A header card holds no tab: Tab moves on to the next field, as in the other fields.
    history_->setTabChangesFocus(true);
    comment_->setTabChangesFocus(true);
    utOffset_ = form.utOffsetHours;
    utBar_->setRange(kMinUtOffset, kMaxUtOffset);
    utBar_->setSingleStep(1);
    utBar_->setPageStep(1);
    utBar_->setMinimumWidth(160);
    utValue_->setReadOnly(true);
    utValue_->setMaximumWidth(48);

    auto* layout = new QGridLayout(this);
    int row = 0;
    const auto addRow = [this, layout, &row](const char* text, QWidget* field) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setBuddy(field);
        layout->addWidget(label, row, 0);
        layout->addWidget(field, row, 1, 1, 2);
        ++row;
    };
    addRow("Object:", object_);
    addRow("Observer:", observer_);
    addRow("Origin:", origin_);
    addRow("Telescope:", telescope_);
    addRow("Focal Len (ins):", focalLength_);
    addRow("Aperture (Sq. ins):", aperture_);
    addRow("Filter:", filter_);
    addRow("Instrumentation:", instrument_);
    addRow("Exposure (secs):", exposure_);
    addRow("History:", history_);
    addRow("Comments:", comment_);
    addRow("Date:", date_);
    addRow("Time:", time_);
    layout->addWidget(new QLabel(QStringLiteral("Time Difference to UT in Hrs:"), this), row, 0);
    layout->addWidget(utBar_, row, 1);
    layout->addWidget(utValue_, row, 2);
    ++row;
    layout->addWidget(eightBit_, row++, 0, 1, 3);
    layout->addWidget(unsigned_, row++, 0, 1, 3);

    auto* proceed = new QPushButton(QStringLiteral("Continue"), this);
    auto* abort = new QPushButton(QStringLiteral("Abort"), this);
    proceed->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(proceed);
    buttons->addWidget(abort);
    layout->addLayout(buttons, row, 0, 1, 3);

    connect(utBar_, &QScrollBar::actionTriggered, this, &TFITSDialog::OnScrollAction);
    connect(eightBit_, &QCheckBox::clicked, this, [this] {
        details_.eightBit = !details_.eightBit;
        ShowFormatFlags();
    });
    connect(unsigned_, &QCheckBox::clicked, this, [this] {
        unsignedFits_ = !unsignedFits_;
        ShowFormatFlags();
    });
    connect(proceed, &QPushButton::clicked, this, &TFITSDialog::Continue);
    connect(abort, &QPushButton::clicked, this, &QDialog::reject);
    ShowUtOffset();
    ShowFormatFlags();
}

QLineEdit* TFITSDialog::AddTextField(int length) {
    auto* field = new QLineEdit(this);
    if (length > 0) {
        field->setMaxLength(length);
    }
    return field;
}

void TFITSDialog::OnScrollAction(int action) {
    ScrollAction scroll = ScrollAction::ThumbTrack;
    int thumb = utBar_->sliderPosition();
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            scroll = ScrollAction::LineLeft;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            scroll = ScrollAction::LineRight;
            break;
        case QAbstractSlider::SliderPageStepSub:
            scroll = ScrollAction::PageLeft;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            scroll = ScrollAction::PageRight;
            break;
        case QAbstractSlider::SliderToMinimum:
            thumb = kMinUtOffset;
            break;
        case QAbstractSlider::SliderToMaximum:
            thumb = kMaxUtOffset;
            break;
        default:
            break;
    }
    // The bar has already moved by Qt's own rule; the offset's rule decides where it stands.
    utOffset_ = UtOffsetAfterScroll(utOffset_, scroll, thumb);
    ShowUtOffset();
}

void TFITSDialog::ShowUtOffset() {
    utBar_->setSliderPosition(utOffset_);
    utValue_->setText(QString::number(utOffset_));
}

void TFITSDialog::ShowFormatFlags() {
    eightBit_->setChecked(details_.eightBit);
    unsigned_->setChecked(unsignedFits_);
}

void TFITSDialog::Continue() {
    if (const auto problem = FitsDateProblem(ToText(date_->text()))) {
        ReportMessage(session_.ui, kCallerText, *problem);
        date_->setFocus();
        return;
    }
    FitsDetailsForm form;
    form.object = ToText(object_->text());
    form.observer = ToText(observer_->text());
    form.origin = ToText(origin_->text());
    form.telescope = ToText(telescope_->text());
    form.focalLength = ToText(focalLength_->text());
    form.aperture = ToText(aperture_->text());
    form.filter = ToText(filter_->text());
    form.instrument = ToText(instrument_->text());
    form.exposure = ToText(exposure_->text());
    form.history = ToText(history_->toPlainText());
    form.comment = ToText(comment_->toPlainText());
    form.date = ToText(date_->text());
    form.time = ToText(time_->text());
    form.utOffsetHours = utOffset_;
    ReadBackFitsDetailsForm(form, details_, session_.settings.UtOffsetHours);
    accept();
}

}  // namespace talvor

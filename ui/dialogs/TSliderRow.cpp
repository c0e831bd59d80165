#include "ui/dialogs/TSliderRow.h"

#include "protocol/CtrlSetEncoding.h"
#include "protocol/TCtrlSetItem.h"
#include "ui/widgets/TSlider.h"
#include "ui/widgets/TValueBox.h"

#include <QLabel>

namespace {

constexpr int kSliderLeft = 108;
constexpr int kSliderWidth = 201;
constexpr int kSliderHeight = 49;
constexpr int kValueBoxWidth = 37;
constexpr int kValueBoxHeight = 21;
constexpr int kUnitLeft = 352;
constexpr int kUnitWidth = 28;
// Captions and units sit level with the slider's track, which runs along its top. A caption
// wraps onto further lines rather than run under the slider, translated ones too.
constexpr int kLabelDrop = 4;
constexpr int kLabelHeight = 42;
constexpr int kMinorTicks = 4;
constexpr int kValueTextHeight = 13; // the value boxes' bold digits, in pixels

QFont Weighted(bool bold)
{
    QFont f;
    f.setBold(bold);
    return f;
}

const TCtrlSetItem& ItemNamed(const char* name)
{
    const TCtrlSetItem* item = TCtrlSetItem::Find(name);
    if (!item)
        qFatal("No item of the control set is named %s", name);
    return *item;
}

QLabel* NewLabel(QWidget* parent, const char* text, QRect place)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setFont(Weighted(true));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(place);
    return label;
}

} // namespace

TSliderRow::TSliderRow(QWidget* parent, const TSliderRowDef& def, const TRowPlace& place)
    : FDef(def)
    , FItem(ItemNamed(def.name))
{
    FCaption = NewLabel(parent, FItem.caption,
                        QRect(place.captionLeft, def.top + kLabelDrop,
                              kSliderLeft - 2 - place.captionLeft, kLabelHeight));

    FSlider = new TSlider(parent);
    FSlider->setObjectName(QString::fromLatin1(def.name));
    FSlider->setFont(Weighted(false));
    FSlider->setGeometry(kSliderLeft, def.top, kSliderWidth, kSliderHeight);
    FSlider->setRange(def.minimum, def.maximum);
    FSlider->setSmallStep(def.smallStep);
    FSlider->setLargeStep(def.largeStep);
    FSlider->setMajorTickCount(def.majorTicks);
    FSlider->setMinorTickCount(kMinorTicks);
    FSlider->setTickLabelsVisible(true);
    FSlider->setLabelDecimals(def.labelDecimals);
    // Where the value box stands over the slider's last columns, the scale keeps clear of it.
    FSlider->setRightInset(kSliderLeft + kSliderWidth - place.valueBoxLeft);

    FValueBox = new TValueBox(parent);
    FValueBox->setObjectName(QString::fromLatin1(def.valueBox));
    // A value is a number in every language.
    FValueBox->setProperty("notr", true);
    FValueBox->setGeometry(place.valueBoxLeft, def.top, kValueBoxWidth, kValueBoxHeight);
    QFont digits = Weighted(true);
    digits.setPixelSize(kValueTextHeight);
    FValueBox->setFont(digits);

    if (def.unitLabel && FItem.unit)
        FUnit = NewLabel(parent, FItem.unit,
                         QRect(kUnitLeft, def.top + kLabelDrop, kUnitWidth, kLabelHeight));
}

double TSliderRow::Position() const
{
    return FSlider->position();
}

void TSliderRow::SetPosition(double position)
{
    FSlider->setPosition(position);
}

void TSliderRow::Load(const CtrlSet& set)
{
    FSlider->setPosition(DisplayOf(FItem.Get(set)));
    ShowText(set);
}

void TSliderRow::Store(CtrlSet& set) const
{
    FItem.Set(set, FieldOf(FSlider->position()));
}

void TSliderRow::ShowText(const CtrlSet& set)
{
    switch (FDef.text) {
    case vtSlider:
        FValueBox->setText(QString::number(FSlider->value()));
        break;
    case vtField:
        FValueBox->setText(QString::number(FItem.Get(set)));
        break;
    case vtVolts:
        FValueBox->setText(QString::asprintf("%0.2f", FSlider->position()));
        break;
    }
}

void TSliderRow::SetEnabled(bool enabled)
{
    FSlider->setEnabled(enabled);
    FValueBox->setEnabled(enabled);
}

double TSliderRow::DisplayOf(int field) const
{
    return FieldToControl(FItem.encoding, field);
}

int TSliderRow::FieldOf(double position) const
{
    return ControlToField(FItem.encoding, position);
}

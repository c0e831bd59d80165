#include "ui/main/TLiveMonitor.h"

#include "protocol/CtrlSetEncoding.h"
#include "settings/TComponentTranslator.h"
#include "ui/widgets/TAngularGauge.h"
#include "ui/widgets/TGroupBox.h"
#include "ui/widgets/TLed.h"
#include "ui/widgets/TLedBar.h"
#include "ui/widgets/TPlot.h"
#include "ui/widgets/TSlider.h"
#include "ui/widgets/TValueBox.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineF>
#include <QRadioButton>

#include "settings/Gettext.h"

namespace {

const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kFuchsia(255, 0, 255);
const QColor kAqua(0, 255, 255);
const QColor kOrange(255, 128, 0);
const QColor kLambdaSimGreen(0, 204, 0);
const QColor kLime(0, 230, 0);

constexpr int kPlotLeft = 6;
constexpr int kPlotTop = 29;
constexpr int kPlotWidth = 792;
constexpr int kPlotHeight = 284;
constexpr double kSliderMax = 500;
constexpr int kSliderLeft = 76;
constexpr int kSliderWidth = 405;
constexpr int kValueBoxLeft = 480;
constexpr double kValveMarkerSize = 11;
constexpr int kLevelLabelWidth = 66; // up to the LED bars at 72
constexpr int kUnitLabelLeft = 520;
constexpr int kUnitLabelWidth = 56;  // up to the RPM gauge at 576

QFont BoldFont(QFont font)
{
    font.setBold(true);
    return font;
}

} // namespace

TLiveMonitor::TLiveMonitor(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ClientArea"));
    setFixedSize(kWidth, kHeight);
    BuildPlots();
    BuildModeAndFuel();
    BuildValve();
    BuildLevels();
}

template <class T>
T* TLiveMonitor::Place(T* control, const char* name, int left, int top, int width, int height)
{
    control->setObjectName(QLatin1String(name));
    if (width < 0 || height < 0) {
        control->adjustSize();
        width = width < 0 ? control->width() : width;
        height = height < 0 ? control->height() : height;
    }
    control->setGeometry(left, top - kTop, width, height);
    return control;
}

QLabel* TLiveMonitor::AddLabel(const char* name, const char* text, int left, int top, int width,
                               bool wrap)
{
    // As wide as the room the label has, not as its text: a translation may be longer.
    auto* label = new QLabel(QLatin1String(text), this);
    if (!wrap)
        return Place(label, name, left, top, width);
    // Beside an instrument: longer texts (and translations) go on to a second line.
    label->setWordWrap(true);
    label->setFixedWidth(width);
    return Place(label, name, left, top, width, label->heightForWidth(width));
}

TValueBox* TLiveMonitor::AddValueBox(const char* name, int left, int top, const char* label,
                                     int width)
{
    auto* box = Place(new TValueBox(this), name, left, top, width, 21);
    TP_Ignore(box);
    if (label) {
        // "VAL_Tps" gets the label "LTps".
        const QByteArray labelName = QByteArray("L") + (name + 4);
        auto* l = Place(new QLabel(QLatin1String(label), this), labelName.constData(),
                        kUnitLabelLeft, top, kUnitLabelWidth, 21);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return box;
}

void TLiveMonitor::BuildPlots()
{
    FiPlot1 = Place(new TPlot(this), "iPlot1", kPlotLeft, kPlotTop, kPlotWidth, kPlotHeight);
    FiPlot1->setXFixed(0, 8000);
    FiPlot1->setYFixed(0, kValveTop);
    FiPlot1->setLegendVisible(true);
    // Titles: TranslateTitles.
    const int actual = FiPlot1->addChannel(QString(), Qt::white);
    FiPlot1->setChannelRingBuffer(actual, 1);
    FiPlot1->setChannelMarker(actual, TPlot::TMarker::Disc, kValveMarkerSize);
    FiPlot1->setChannelLive(actual, true);
    FiPlot1->addChannel(QString(), kYellow);
    FiPlot1->addChannel(QString(), kRed);
    FiPlot1->addChannel(QString(), kFuchsia);
    for (const QColor& c : { kAqua, kOrange }) {
        const int ch = FiPlot1->addChannel(QString(), c);
        FiPlot1->setChannelRingBuffer(ch, 1);
        FiPlot1->setChannelMarker(ch, TPlot::TMarker::TriangleDown, kValveMarkerSize);
    }
    FiPlot1->addLimit(kYellow);  // liAperturaPos
    FiPlot1->addLimit(kRed);     // liAperturaPosMax
    FiPlot1->addLimit(kFuchsia); // liAperturaPosMin

    FiPlot2 = Place(new TPlot(this), "iPlot2", kPlotLeft, kPlotTop, kPlotWidth, kPlotHeight);
    FiPlot2->setXScrolling(kLambdaVisible);
    FiPlot2->setXLabelDecimals(0);
    FiPlot2->setYFollow(0, 1000, 5000);
    FiPlot2->setLegendVisible(false);
    FiPlot2->addChannel(QString(), Qt::white);
    const int sim = FiPlot2->addChannel(QString(), kLambdaSimGreen);
    FiPlot2->setChannelLineWidth(sim, 3);
    for (int ch = 0; ch < FiPlot2->channelCount(); ++ch)
        FiPlot2->setChannelXWindow(ch, kLambdaHistory);
    FiPlot2->addLimit(kFuchsia); // liSondaPobre
    FiPlot2->addLimit(kRed);     // liSondaRica
    FiPlot2->addLimit(kYellow);  // liSondaIdeal
    FiPlot2->hide();
    FiPlot1->raise();
}

void TLiveMonitor::TranslateTitles()
{
    FiPlot1->setTitle(_("Valve position / RPM"));
    FiPlot1->setChannelTitle(chActual, _("Actual position"));
    FiPlot1->setChannelTitle(chControl, _("Control position"));
    FiPlot1->setChannelTitle(chMaxLimit, _("Max limit"));
    FiPlot1->setChannelTitle(chMinLimit, _("Min limit"));
    FiPlot1->setChannelTitle(chLowerCutOff, _("Lower Cut Off"));
    FiPlot1->setChannelTitle(chUpperCutOff, _("Upper Cut Off"));
    FiPlot2->setTitle(_("Lambda probe"));
    FiPlot2->setChannelTitle(chLambda, _("Lambda probe"));
    FiPlot2->setChannelTitle(chLambdaSim, _("Lambda simulation"));
    FLEV_Rpm->setTopText(_("RPM"));
}

void TLiveMonitor::BuildModeAndFuel()
{
    FSwitchMan = Place(new TGroupBox(QStringLiteral(N_("Control Mode")), this), "SwitchMan", 4,
                       316, 141, 53);
    FSwitchMan->setFont(BoldFont(font()));
    FSwitchManItems = new QButtonGroup(FSwitchMan);
    FSwitchManItems->setObjectName(QStringLiteral("SwitchManItems"));
    const char* items[] = { N_("Automatic"), N_("Manual") };
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(QLatin1String(items[i]), FSwitchMan);
        QFont regular = FSwitchMan->font();
        regular.setBold(false); // only the caption is bold
        b->setFont(regular);
        b->setObjectName(QStringLiteral("SwitchMan%1").arg(i));
        b->setGeometry(8, 17 + 17 * i, 92, 17);
        FSwitchManItems->addButton(b, i);
    }
    FSwitchManItems->button(0)->setChecked(true);

    FLedCtrl = Place(new TLed(this), "LedCtrl", 104, 328, 37, 37);
    FLedCtrl->setOnColor(kRed);

    AddLabel("StaticText4", N_("Gasoline"), 172, 318, 76);
    FLedNafta = Place(new TLed(this), "LedNafta", 194, 341, 29, 29);
    FLedNafta->setOnColor(kLime);
    AddLabel("StaticText5", N_("Cng/Ngv"), 253, 318, 110);
    FLedGnc = Place(new TLed(this), "LedGnc", 272, 341, 29, 29);
    FLedGnc->setOnColor(kYellow);

    AddLabel("StaticText9", N_("RPM Signal setting"), 372, 320, 201); // as wide as the list
    FPulsoVuelta = Place(new QComboBox(this), "PulsoVuelta", 372, 338, 201, 21);
    for (int i = 0; i < kPulsoVueltaItems; ++i)
        FPulsoVuelta->addItem(QLatin1String(PulsoVueltaItemText(i)));
    FPulsoVuelta->setCurrentIndex(-1);
}

void TLiveMonitor::BuildValve()
{
    auto* title = Place(new QLabel(QStringLiteral(N_("Valve Position")), this), "StaticText1", 4,
                        400, 69, 45);
    title->setFont(BoldFont(font()));
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    title->setWordWrap(true);

    struct TRow {
        TSlider*& slider;
        const char* name;
        int top, height;
        QColor color;
    };
    const TRow rows[] = {
        { FSET_AperturaPos, "SET_AperturaPos", 376, 45, kYellow },
        { FSET_AperturaPosMax, "SET_AperturaPosMax", 420, 21, kRed },
        { FSET_AperturaPosMin, "SET_AperturaPosMin", 440, 21, kFuchsia },
    };
    for (const TRow& r : rows) {
        r.slider = Place(new TSlider(this), r.name, kSliderLeft, r.top, kSliderWidth, r.height);
        r.slider->setRange(0, kSliderMax);
        r.slider->setSmallStep(1);
        r.slider->setLargeStep(10);
        r.slider->setPointerColor(r.color);
    }
    FSET_AperturaPos->setMajorTickCount(6);
    FSET_AperturaPos->setMinorTickCount(9);
    FSET_AperturaPos->setTickLabelsVisible(true);
    // The value boxes cover the sliders' last column. The two sliders without a scale take the
    // first one's track ends, so that the three thumbs stand at the same x for the same value.
    for (const TRow& r : rows)
        r.slider->setRightInset(kSliderLeft + kSliderWidth - kValueBoxLeft);
    for (TSlider* s : { FSET_AperturaPosMax, FSET_AperturaPosMin })
        s->setMinimumTrackMargin(FSET_AperturaPos->trackMargin());

    FVAL_AperturaActual = AddValueBox("VAL_AperturaActual", kValueBoxLeft, 376, N_("Actual"));
    FVAL_AperturaPos = AddValueBox("VAL_AperturaPos", kValueBoxLeft, 400, N_("Control"));
    FVAL_AperturaPosMax = AddValueBox("VAL_AperturaPosMax", kValueBoxLeft, 420, N_("Max"));
    FVAL_AperturaPosMin = AddValueBox("VAL_AperturaPosMin", kValueBoxLeft, 440, N_("Min"));
}

void TLiveMonitor::BuildLevels()
{
    AddLabel("StaticText2", N_("Lambda probe"), 4, 468, kLevelLabelWidth, true);
    FLEV_Lambda = Place(new TLedBar(this), "LEV_Lambda", 72, 472, 409, 21);
    FLEV_Lambda->setMaximum(1024);
    FLEV_Lambda->setSection1Color(kYellow);
    FLEV_Lambda->setSection2Color(QColor(0, 220, 0));
    FLEV_Lambda->setSection3Color(kRed);
    FVAL_Lambda = AddValueBox("VAL_Lambda", 480, 472, N_("mV"));

    AddLabel("StaticText3", N_("TPS"), 4, 504, kLevelLabelWidth, true);
    FLEV_Tps = Place(new TLedBar(this), "LEV_Tps", 72, 504, 409, 21);
    FLEV_Tps->setMaximum(1024);
    FLEV_Tps->setSection1Color(kLime);
    FVAL_Tps = AddValueBox("VAL_Tps", 480, 504, N_("Volt's"));

    FLEV_Rpm = Place(new TAngularGauge(this), "LEV_Rpm", 576, 312, 215, 213);
    FLEV_Rpm->setRange(0, 8);
    FLEV_Rpm->setArcStart(230);
    FLEV_Rpm->setArcSpan(280);
    FLEV_Rpm->setMajorTickCount(9);
    FLEV_Rpm->setBottomText(QStringLiteral("x 1000"));
    FLEV_Rpm->setHubTextColor(kYellow);
    FLEV_Rpm->setPointerColor(Qt::white);
    FLEV_Rpm->setFaceColor(Qt::black);
    FLEV_Rpm->setSection1End(5);
    FLEV_Rpm->setSection2End(6);
    FLEV_Rpm->setSection3End(10);
    FLEV_Rpm->setSection1Color(Qt::black);
    FLEV_Rpm->setSection2Color(kYellow);
    FLEV_Rpm->setSection3Color(kRed);
    FVAL_Rpm = AddValueBox("VAL_Rpm", 664, 492, nullptr, 45);
}

std::vector<QWidget*> TLiveMonitor::ControlSetEditors() const
{
    return { FSwitchMan, FPulsoVuelta, FSET_AperturaPos, FSET_AperturaPosMin, FSET_AperturaPosMax };
}

int TLiveMonitor::SwitchManIndex() const
{
    return FSwitchManItems->checkedId();
}

void TLiveMonitor::SetSwitchManIndex(int index)
{
    if (QAbstractButton* b = FSwitchManItems->button(index))
        b->setChecked(true);
}

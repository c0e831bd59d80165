#include "tests/dialogs/DialogTables.h"

#include "protocol/TCtrlSetItem.h"
#include "ui/dialogs/TFlagBox.h"
#include "ui/dialogs/TSliderRow.h"
#include "ui/widgets/TSlider.h"
#include "ui/widgets/TUiFont.h"
#include "ui/widgets/TValueBox.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <map>
#include <sstream>

namespace {

const TDialogKind kAllKinds[] = { TDialogKind::Ctrl, TDialogKind::CutOff, TDialogKind::Lambda };

std::string KindText(TDialogKind kind)
{
    std::ostringstream os;
    os << kind;
    return os.str();
}

std::string KindName(const testing::TestParamInfo<TDialogKind>& info)
{
    return KindText(info.param);
}

// Tables with one row per dialog are named after the dialog.
template <class Row>
std::string RowKindName(const testing::TestParamInfo<Row>& info)
{
    return KindText(info.param.kind);
}

class EveryDialog : public testing::TestWithParam<TDialogKind> {};
INSTANTIATE_TEST_SUITE_P(Dialogs, EveryDialog, testing::ValuesIn(kAllKinds), KindName);

TEST_P(EveryDialog, EditsWithTheGuardOffDoNothing)
{
    TDialogHarness h(GetParam());
    std::map<QString, QString> texts;
    for (TValueBox* box : h.dialog->findChildren<TValueBox*>())
        texts[box->objectName()] = box->text();
    h.displays.editsEnabled = false;

    for (TSlider* slider : h.dialog->findChildren<TSlider*>())
        slider->setPosition(slider->minimum() + (slider->maximum() - slider->minimum()) * 0.73);
    for (TFlagBox* box : h.dialog->findChildren<TFlagBox*>())
        box->click();

    EXPECT_TRUE(h.controlSet.Working() == CtrlSet{});
    EXPECT_TRUE(h.controlSet.Device() == CtrlSet{});
    EXPECT_FALSE(h.controlSet.PendingSend());
    EXPECT_TRUE(h.displays.calls.empty());
    for (TValueBox* box : h.dialog->findChildren<TValueBox*>())
        EXPECT_EQ(box->text(), texts[box->objectName()]) << box->objectName().toStdString();
}

TEST_P(EveryDialog, CreationLoadsWithTheGuardOffThenRestoresIt)
{
    TControlSet controlSet;
    TRecordingDisplays displays;
    auto dialog = MakeDialog(GetParam(), controlSet, displays);

    EXPECT_EQ(displays.guardSets, (std::vector<bool>{ false, true }));
    EXPECT_FALSE(controlSet.PendingSend());
}

TEST_P(EveryDialog, RefreshUnderTheCallersGuardLeavesTheGuardAlone)
{
    TDialogHarness h(GetParam());
    h.displays.guardSets.clear();
    h.displays.editsEnabled = false;

    h.dialog->RefreshControls();

    EXPECT_TRUE(h.displays.guardSets.empty());
    EXPECT_FALSE(h.displays.editsEnabled);
}

TEST_P(EveryDialog, EscPressesOkWhichClosesAndKeepsTheEdits)
{
    TDialogHarness h(GetParam());
    TSlider* slider = h.dialog->findChild<TSlider*>();
    ASSERT_NE(slider, nullptr);
    h.dialog->show();
    slider->setPosition(slider->maximum());
    const CtrlSet edited = h.controlSet.Working();
    ASSERT_FALSE(edited == CtrlSet{});
    bool okClicked = false;
    QObject::connect(h.dialog->BAceptar(), &QPushButton::clicked, [&okClicked] { okClicked = true; });

    // The slider leaves Esc to its window.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(slider, &esc);

    EXPECT_TRUE(okClicked);
    EXPECT_FALSE(h.dialog->isVisible());
    EXPECT_TRUE(h.controlSet.Working() == edited);
    EXPECT_TRUE(h.controlSet.Device() == edited);
}

// Every control of a dialog shows the item of the one table of items it is named after: that
// item's caption, its unit where the row shows one, and it stores into that item's field or bit
// with that item's encoding.
TEST_P(EveryDialog, EveryControlShowsItsItemOfTheTableOfItems)
{
    TDialogHarness h(GetParam());
    uint8_t distinct[kCtrlSetSize];
    for (int i = 0; i < kCtrlSetSize; ++i)
        distinct[i] = uint8_t(0x11 * (i % 15 + 1));
    int seen = 0;
    for (TSlider* slider : h.dialog->findChildren<TSlider*>()) {
        const std::string name = slider->objectName().toStdString();
        const TSliderRow* row = h.dialog->Row(slider->objectName());
        const TCtrlSetItem* item = TCtrlSetItem::Find(name);
        ASSERT_TRUE(row && item) << name;
        EXPECT_EQ(&row->Item(), item) << name;
        EXPECT_EQ(row->Caption()->text().toStdString(), item->caption) << name;
        if (row->Unit())
            EXPECT_EQ(row->Unit()->text().toStdString(), item->unit ? item->unit : "") << name;
        // A store changes the item's own bytes and nothing else.
        CtrlSet set = CtrlSet::FromBytes(distinct);
        const CtrlSet before = set;
        slider->setPosition(slider->minimum());
        row->Store(set);
        item->Set(set, item->Get(before));
        EXPECT_EQ(set, before) << name;
        ++seen;
    }
    for (TFlagBox* box : h.dialog->findChildren<TFlagBox*>()) {
        const std::string name = box->objectName().toStdString();
        const TCtrlSetItem* item = TCtrlSetItem::Find(name);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(box->text().toStdString(), item->caption) << name;
        EXPECT_EQ(item->kind, TCtrlSetItem::ikFlag) << name;
        EXPECT_EQ(box->Mask(), item->mask) << name;
        ++seen;
    }
    EXPECT_GT(seen, 0);
}

TEST_P(EveryDialog, ValueBoxesAreNamedAfterTheirSlidersAndNotTranslated)
{
    TDialogHarness h(GetParam());
    const auto sliders = h.dialog->findChildren<TSlider*>();
    const auto boxes = h.dialog->findChildren<TValueBox*>();
    EXPECT_EQ(sliders.size(), boxes.size());
    for (TSlider* slider : sliders) {
        TValueBox* box = h.ValueBoxOf(slider->objectName());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->property("notr"), QVariant(true)) << box->objectName().toStdString();
        EXPECT_EQ(box->geometry().size(), QSize(37, 21));
        EXPECT_EQ(slider->geometry().topLeft(), QPoint(108, box->y()));
        EXPECT_EQ(slider->size(), QSize(201, 49));
        EXPECT_TRUE(slider->tickLabelsVisible());
    }
}

// Two edits between two supervision ticks give one write that carries both.
struct TTwoEditsRow {
    TDialogKind kind;
    const char* first;
    double firstTo;
    const char* second;
    double secondTo;
};
class TwoEdits : public testing::TestWithParam<TTwoEditsRow> {};
void PrintTo(const TTwoEditsRow& row, std::ostream* os) { *os << row.kind; }

TEST_P(TwoEdits, LeaveOnePendingSendCarryingBoth)
{
    const TTwoEditsRow& row = GetParam();
    TDialogHarness h(row.kind);
    h.Move(row.first, row.firstTo);
    const CtrlSet afterFirst = h.controlSet.Device();
    h.Move(row.second, row.secondTo);

    EXPECT_FALSE(h.controlSet.Device() == afterFirst) << "the second edit is not in the device copy";
    EXPECT_TRUE(h.controlSet.Device() == h.controlSet.Working());
    EXPECT_TRUE(h.controlSet.TakePendingSend());
    EXPECT_FALSE(h.controlSet.TakePendingSend());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, TwoEdits,
                         testing::Values(
                             TTwoEditsRow{ TDialogKind::Ctrl, "PosInteg", 20, "RpmReacH", 3000 },
                             TTwoEditsRow{ TDialogKind::CutOff, "CutOffLTps", 1, "CutOffHRpm", 5000 },
                             TTwoEditsRow{ TDialogKind::Lambda, "SondaRica", 900, "Sim2LTim", 700 }),
                         RowKindName<TTwoEditsRow>);

// --- window ---

struct TWindowRow {
    TDialogKind kind;
    const char* caption;
    QSize size;
    QPoint okPlace;
};
class Window : public testing::TestWithParam<TWindowRow> {};
void PrintTo(const TWindowRow& row, std::ostream* os) { *os << row.kind; }

TEST_P(Window, FixedSizeCaptionAndOkButton)
{
    const TWindowRow& row = GetParam();
    TDialogHarness h(row.kind);
    EXPECT_EQ(h.dialog->windowTitle().toStdString(), row.caption);
    EXPECT_EQ(h.dialog->size(), row.size);
    EXPECT_EQ(h.dialog->minimumSize(), row.size);
    EXPECT_EQ(h.dialog->maximumSize(), row.size);
    // The windows' 11-pixel font, which stands in for the 8-point dialog font of the layout.
    EXPECT_EQ(QFontInfo(h.dialog->font()).family(), QLatin1String(TUiFont::kFamily));
    EXPECT_EQ(h.dialog->font().pixelSize(), TUiFont::kPixelSize);

    QPushButton* ok = h.dialog->BAceptar();
    EXPECT_EQ(ok->objectName(), "BAceptar");
    EXPECT_EQ(ok->text(), "Ok");
    EXPECT_EQ(ok->geometry(), QRect(row.okPlace, QSize(75, 25)));
    EXPECT_TRUE(ok->isDefault());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Dialogs, Window, testing::Values(
    TWindowRow{ TDialogKind::Ctrl,   "CONTROL SYSTEM CONFIGURATION", { 388, 205 }, { 308, 176 } },
    TWindowRow{ TDialogKind::CutOff, "CUT-OFF CONFIGURATION",        { 388, 425 }, { 308, 396 } },
    TWindowRow{ TDialogKind::Lambda, "LAMBDA CONTROL CONFIGURATION", { 778, 468 }, { 693, 438 } }),
    RowKindName<TWindowRow>);
// clang-format on

// --- slider rows ---

struct TRowLayout {
    TDialogKind kind;
    const char* slider;
    const char* group; // title of the group box that holds the row
    const char* caption;
    int top;
    double minimum;
    double maximum;
    double smallStep;
    double largeStep;
    int majorTicks;
    int valueBoxLeft;
    const char* unit; // null: none
};
class RowLayout : public testing::TestWithParam<TRowLayout> {};
void PrintTo(const TRowLayout& row, std::ostream* os) { *os << row.slider; }

TEST_P(RowLayout, MatchesTheDialogsTable)
{
    const TRowLayout& row = GetParam();
    TDialogHarness h(row.kind);
    TSliderRow* r = h.dialog->Row(row.slider);
    ASSERT_NE(r, nullptr);
    auto* group = qobject_cast<QGroupBox*>(r->Slider()->parentWidget());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title().toStdString(), row.group);
    EXPECT_EQ(r->Caption()->text().toStdString(), row.caption);
    EXPECT_TRUE(r->Caption()->font().bold());
    EXPECT_EQ(r->Slider()->y(), row.top);
    EXPECT_EQ(r->Slider()->minimum(), row.minimum);
    EXPECT_EQ(r->Slider()->maximum(), row.maximum);
    EXPECT_EQ(r->Slider()->smallStep(), row.smallStep);
    EXPECT_EQ(r->Slider()->largeStep(), row.largeStep);
    EXPECT_EQ(r->Slider()->majorTickCount(), row.majorTicks);
    EXPECT_EQ(r->ValueBox()->x(), row.valueBoxLeft);
    EXPECT_EQ(r->ValueBox()->objectName().toStdString(), std::string("Val") + row.slider);
    EXPECT_TRUE(r->ValueBox()->font().bold());
    EXPECT_EQ(r->ValueBox()->font().pixelSize(), 13);
    if (row.unit) {
        ASSERT_NE(r->Unit(), nullptr);
        EXPECT_EQ(r->Unit()->text().toStdString(), row.unit);
        EXPECT_EQ(r->Unit()->x(), 352);
        EXPECT_TRUE(r->Unit()->font().bold());
    } else {
        EXPECT_EQ(r->Unit(), nullptr);
    }
}

constexpr TDialogKind kC = TDialogKind::Ctrl;
constexpr TDialogKind kK = TDialogKind::CutOff;
constexpr TDialogKind kL = TDialogKind::Lambda;
constexpr const char* kValve = "Positioning of modulate valve";
constexpr const char* kProbe = "Lambda probe";
constexpr const char* kEmu = "Lambda probe emulation";
constexpr const char* kHigh = "Lambda probe emulation on high regime";
constexpr const char* kEmuCut = "Emulation on Cut-Off";

// clang-format off
const TRowLayout kRowLayouts[] = {
    // dialog, slider, group, caption, top, range, small and large step, major ticks,
    //   value box left, unit
    { kC, "PosInteg", kValve, "Positioning Integration",         16,    0,   50,  1,  10, 6, 312, nullptr },
    { kC, "RpmReacL", kValve, "Rpm of reaction of slow probe",   64,  500, 1500, 10, 100, 3, 312, nullptr },
    { kC, "RpmReacH", kValve, "Rpm of reaction of quick probe", 112, 1000, 5000, 10, 100, 5, 312, nullptr },
    { kK, "CutOffLTps",     "Lower",        "TPS",             32, 0,    5,  1,  10, 6, 312, "Volt" },
    { kK, "CutOffLRpm",     "Lower",        "RPM",             80, 0, 4000, 10, 100, 5, 312, "Rpm" },
    { kK, "CutOffLPos",     "Lower",        "Valve position", 128, 0,  500,  1,  10, 6, 312, nullptr },
    { kK, "CutOffHTps",     "Cut for high", "TPS",             32, 0,    5,  1,  10, 6, 312, "Volt" },
    { kK, "CutOffHRpm",     "Cut for high", "RPM",             80, 0, 8000, 10, 100, 5, 312, "Rpm" },
    { kK, "CutOffHPos",     "Cut for high", "Valve position", 128, 0,  500,  1,  10, 6, 312, nullptr },
    { kL, "TimArrSonda",    kProbe,   "Starts up Time",  32,    0,  250,  1,  10, 6, 312, "Sec" },
    { kL, "SondaRica",      kProbe,   "Rich",            80,    0, 5000,  1,  10, 6, 312, "mV" },
    { kL, "SondaPobre",     kProbe,   "Poor",           128,    0, 5000,  1,  10, 6, 312, "mV" },
    { kL, "SondaIdeal",     kProbe,   "Ideal/Optimum",  176,    0, 5000,  1,  10, 6, 312, "mV" },
    { kL, "SimHTim",        kEmu,     "High time",       32,    0, 5000, 10, 100, 6, 312, "mS" },
    { kL, "SimLTim",        kEmu,     "Low time",        80,    0, 5000, 10, 100, 6, 312, "mS" },
    { kL, "SimHLev",        kEmu,     "High level",     128,    0, 5000,  5, 100, 6, 312, "mV" },
    { kL, "SimLLev",        kEmu,     "Low level",      176,    0, 5000,  5, 100, 6, 312, "mV" },
    { kL, "Sim2RPM",        kHigh,    "Active over",     33, 2000, 7000,  5, 100, 6, 312, "RPM" },
    { kL, "Sim2HTim",       kHigh,    "High time",       82,    0, 1500, 10, 100, 6, 312, "mS" },
    { kL, "Sim2LTim",       kHigh,    "Low time",       130,    0, 1500, 10, 100, 6, 312, "mS" },
    { kL, "SimCutOffLevel", kEmuCut,  "Level",           40,    0, 5000,  1,  10, 6, 307, "mV" },
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Dialogs, RowLayout, testing::ValuesIn(kRowLayouts),
                         [](const testing::TestParamInfo<TRowLayout>& info) {
                             return std::string(info.param.slider);
                         });

// --- check boxes ---

struct TBoxLayout {
    TDialogKind kind;
    const char* box;
    const char* group; // null: on the dialog itself
    const char* caption;
    QPoint place;
};
class BoxLayout : public testing::TestWithParam<TBoxLayout> {};
void PrintTo(const TBoxLayout& row, std::ostream* os) { *os << row.box; }

TEST_P(BoxLayout, MatchesTheDialogsTable)
{
    const TBoxLayout& row = GetParam();
    TDialogHarness h(row.kind);
    TFlagBox* box = h.Box(row.box);
    ASSERT_NE(box, nullptr);
    if (row.group) {
        auto* group = qobject_cast<QGroupBox*>(box->parentWidget());
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->title().toStdString(), row.group);
    } else {
        EXPECT_EQ(box->parentWidget(), h.dialog.get());
    }
    EXPECT_EQ(box->text().toStdString(), row.caption);
    EXPECT_EQ(box->pos(), row.place);
    EXPECT_TRUE(box->font().bold());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Dialogs, BoxLayout, testing::Values(
    TBoxLayout{ kK, "TpsInv",     nullptr,        "TPS with inverted signal (5 - 0 Volt)", { 8, 8 } },
    TBoxLayout{ kK, "CutOffLAct", "Lower",        "Active", { 8, 16 } },
    TBoxLayout{ kK, "CutOffHAct", "Cut for high", "Active", { 8, 16 } },
    TBoxLayout{ kL, "SondaInv",   kProbe,         "Inverted (alone for probes of 5 Volts)", { 8, 16 } },
    TBoxLayout{ kL, "ActSim",     kEmu,           "Active", { 8, 16 } },
    TBoxLayout{ kL, "ActSim2",    kHigh,          "Active", { 8, 16 } },
    TBoxLayout{ kL, "SimCutOff",  kEmuCut,        "Active", { 8, 16 } }),
    [](const testing::TestParamInfo<TBoxLayout>& info) { return std::string(info.param.box); });
// clang-format on

} // namespace

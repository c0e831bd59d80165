// Every window of the program, in every language the build installs a catalog for, as a user
// sees it: each text has room in the control that shows it, nothing that shows runs into
// anything else unless the layout lays it there on purpose, no check box or group title sits on
// a frame line, and a slider's tick labels stand apart, each under its own tick. The texts are
// measured with the fonts the controls really use, and the value boxes show their largest
// values while they are measured.
#include "protocol/TTelemetryMonitor.h"
#include "tests/ui/LanguageFixture.h"
#include "tests/ui/TPaintedShape.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/widgets/TPlot.h"
#include "ui/widgets/TSlider.h"
#include "ui/widgets/TValueBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

// The languages the build installs a catalog for.
std::vector<std::string> InstalledCatalogs()
{
    std::vector<std::string> codes;
    const QDir locale(QStringLiteral(BREVON_PROGRAM_DIR "/locale"));
    for (const QString& code : locale.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (QFile::exists(locale.filePath(code + QStringLiteral("/LC_MESSAGES/default.mo"))))
            codes.push_back(code.toStdString());
    }
    return codes;
}

using TState = std::pair<const char*, std::function<void(TWindowSet&)>>;

struct TWindowRow {
    const char* window; // as SevenWindows names it
    // What the window can show, each looked at in turn.
    std::vector<TState> states;
    // Controls that the layout lays over one another on purpose, by object name.
    std::vector<std::pair<const char*, const char*>> meantToOverlap;
};

void ShowLoadState(TWindowSet& windows, const char* shown)
{
    for (const char* name : {"LLoading", "LLoadingOk", "LLoadingFailed"}) {
        windows.LoadProg().findChild<QLabel*>(QLatin1String(name))->setVisible(
            qstrcmp(name, shown) == 0);
    }
}

const TWindowRow kWindows[] = {
    {"TMainForm",
     {{"valve_plot", [](TWindowSet&) {}},
      {"lambda_plot", [](TWindowSet& w) { w.MainForm().BVerGrafClick(); }}},
     // The engine speed's value box stands on the gauge's face.
     {{"LEV_Rpm", "VAL_Rpm"}}},
    {"TMemProtForm", {{"shown", [](TWindowSet&) {}}}, {}},
    {"TPassForm", {{"shown", [](TWindowSet&) {}}}, {}},
    {"TConfLambdaForm", {{"shown", [](TWindowSet&) {}}}, {}},
    {"TConfCutOffForm", {{"shown", [](TWindowSet&) {}}}, {}},
    {"TConfCtrlForm", {{"shown", [](TWindowSet&) {}}}, {}},
    {"TFLoadProg",
     {{"loading", [](TWindowSet& w) { ShowLoadState(w, "LLoading"); }},
      {"loaded", [](TWindowSet& w) { ShowLoadState(w, "LLoadingOk"); }},
      {"failed", [](TWindowSet& w) { ShowLoadState(w, "LLoadingFailed"); }}},
     {}},
};

struct TLayoutCase {
    std::string catalog;
    size_t window; // index into kWindows
};

std::vector<TLayoutCase> AllCases()
{
    std::vector<TLayoutCase> cases;
    for (const std::string& code : InstalledCatalogs()) {
        for (size_t w = 0; w < std::size(kWindows); ++w)
            cases.push_back({code, w});
    }
    return cases;
}

std::string CaseName(const testing::TestParamInfo<TLayoutCase>& info)
{
    return info.param.catalog + "_" + kWindows[info.param.window].window;
}

// As its name says it: printed whole, the case's bytes would show a pointer that changes from
// run to run.
void PrintTo(const TLayoutCase& layoutCase, std::ostream* os)
{
    *os << layoutCase.catalog << " " << kWindows[layoutCase.window].window;
}

// A control as a fault message names it: its object name, else its class and text.
std::string Named(const QWidget* w)
{
    if (!w->objectName().isEmpty())
        return w->objectName().toStdString();
    QString text;
    if (auto* label = qobject_cast<const QLabel*>(w))
        text = label->text();
    else if (auto* button = qobject_cast<const QAbstractButton*>(w))
        text = button->text();
    else if (auto* group = qobject_cast<const QGroupBox*>(w))
        text = group->title();
    return std::string(w->metaObject()->className()) + " \"" + text.toStdString() + "\"";
}

std::string Size(QSizeF s)
{
    return std::to_string(int(std::ceil(s.width()))) + "x"
        + std::to_string(int(std::ceil(s.height())));
}

// --- room for texts ---

// The rectangle a label lays its text out in, as QLabel computes it: the contents less the
// margin and, on the sides the text is aligned to, the indent (half an "x" when the label has a
// frame and no indent of its own).
QRectF LabelTextRect(const QLabel* label)
{
    QRectF r = label->contentsRect();
    const int margin = label->margin();
    r.adjust(margin, margin, -margin, -margin);
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0)
        indent = label->fontMetrics().horizontalAdvance(u'x') / 2 - margin;
    if (indent > 0) {
        const Qt::Alignment a = QStyle::visualAlignment(label->layoutDirection(),
                                                        label->alignment());
        if (a & Qt::AlignLeft)
            r.setLeft(r.left() + indent);
        if (a & Qt::AlignRight)
            r.setRight(r.right() - indent);
        if (a & Qt::AlignTop)
            r.setTop(r.top() + indent);
        if (a & Qt::AlignBottom)
            r.setBottom(r.bottom() - indent);
    }
    return r;
}

// The size `text` needs in `fm`: one line, or wrapped at words within `wrapWidth`.
QSizeF TextNeeds(const QFontMetricsF& fm, const QString& text, double wrapWidth = -1)
{
    if (wrapWidth < 0)
        return {fm.horizontalAdvance(text), fm.height()};
    QSizeF needs = fm.boundingRect(QRectF(0, 0, wrapWidth, 1e6), Qt::TextWordWrap, text).size();
    // A word longer than the line is broken inside it.
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts))
        needs.setWidth(std::max(needs.width(), fm.horizontalAdvance(word)));
    return needs;
}

struct TRoomFault {
    QString text;
    QSizeF needs;
    QSizeF has;
};

bool Fits(QSizeF needs, QSizeF has)
{
    // Half a pixel of rounding either way.
    return needs.width() <= has.width() + 0.5 && needs.height() <= has.height() + 0.5;
}

// What of `w`'s fixed texts lacks room, by the kind of control.
std::vector<TRoomFault> LackOfRoom(QWidget* w)
{
    std::vector<TRoomFault> faults;
    const auto check = [&faults](const QString& text, QSizeF needs, QSizeF has) {
        if (!text.isEmpty() && !Fits(needs, has))
            faults.push_back({text, needs, has});
    };
    const QFontMetricsF fm(w->font());
    QStyle* style = w->style();
    if (auto* label = qobject_cast<QLabel*>(w)) {
        const QRectF room = LabelTextRect(label);
        check(label->text(),
              TextNeeds(fm, label->text(), label->wordWrap() ? room.width() : -1), room.size());
    } else if (auto* box = qobject_cast<QCheckBox*>(w); box || qobject_cast<QRadioButton*>(w)) {
        auto* button = static_cast<QAbstractButton*>(w);
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = button->text();
        const QRect room = style->subElementRect(
            box ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, button);
        check(button->text(), fm.size(Qt::TextShowMnemonic, button->text()), room.size());
    } else if (auto* push = qobject_cast<QPushButton*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(push);
        opt.text = push->text();
        const QRect room = style->subElementRect(QStyle::SE_PushButtonContents, &opt, push);
        check(push->text(), fm.size(Qt::TextShowMnemonic, push->text()), room.size());
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        // The title keeps clear of the frame's rounded corners, eight pixels on each side.
        check(group->title(), TextNeeds(fm, group->title()),
              QSizeF(group->width() - 16, group->height()));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox opt;
        opt.initFrom(combo);
        opt.editable = combo->isEditable();
        opt.frame = combo->hasFrame();
        const QRect room =
            style->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo);
        for (int i = 0; i < combo->count(); ++i)
            check(combo->itemText(i), TextNeeds(fm, combo->itemText(i)), room.size());
    } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
        // A menu title without room moves into the bar's overflow button.
        for (QAction* a : bar->actions()) {
            if (a->isVisible() && !bar->rect().contains(bar->actionGeometry(a)))
                faults.push_back({a->text(), fm.size(Qt::TextShowMnemonic, a->text()), {}});
        }
    }
    return faults;
}

// --- what shows ---

// The widgets that paint something of their own on top of everything below them: those without
// a visible child. Group boxes are looked at apart, as frame and title.
std::vector<QWidget*> Leaves(QWidget* window)
{
    std::vector<QWidget*> leaves;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(window) || qobject_cast<QGroupBox*>(w))
            continue;
        bool hasVisibleChild = false;
        for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            hasVisibleChild = hasVisibleChild || (!child->isWindow() && child->isVisibleTo(w));
        if (!hasVisibleChild && !InOtherWindow(w, window))
            leaves.push_back(w);
    }
    return leaves;
}

// How far below a slider's top a caption may start and still stand level with its track.
constexpr int kTrackLevel = 8;

// A text with nothing around it: a label without frame or background, a check box, a radio
// button. Its edge is its letters.
bool IsBareText(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w))
        return !label->text().isEmpty() && label->frameWidth() == 0 && !label->autoFillBackground();
    return qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w);
}

bool MeantToOverlap(const TWindowRow& row, const QWidget* a, const QWidget* b)
{
    for (const auto& [first, second] : row.meantToOverlap) {
        const QString x = QLatin1String(first);
        const QString y = QLatin1String(second);
        if ((a->objectName() == x && b->objectName() == y)
            || (a->objectName() == y && b->objectName() == x))
            return true;
    }
    return false;
}

// --- the window's largest values ---

// Every value box shows the largest value it can be given: the main window's through the
// telemetry view and the valve sliders, the dialogs' by moving each slider to its maximum
// (last row first, so that a rule between two rows lets each reach its top).
void ShowLargestValues(TWindowSet& windows)
{
    TMainForm& main = windows.MainForm();
    char text[32];
    const uint16_t topCounts = 1023;  // the converter's 10 bits
    const unsigned topWord = 0xFFFF;  // a 16-bit field
    TTelemetryMonitor::FormatMillivolts(text, sizeof text, topCounts);
    main.ShowLambda(topCounts, QLatin1String(text));
    TTelemetryMonitor::FormatVolts(text, sizeof text, topCounts);
    main.ShowTps(topCounts, QLatin1String(text));
    TTelemetryMonitor::FormatUnsigned(text, sizeof text, topWord);
    main.ShowRpm(topWord * 0.001, QLatin1String(text));
    main.ShowValve(QLatin1String(text), 0, 0);
    const TLiveMonitor& m = main.Monitor();
    for (TSlider* s : {m.SET_AperturaPos(), m.SET_AperturaPosMax(), m.SET_AperturaPosMin()})
        s->setPosition(s->maximum());
    for (QWidget* dialog : {static_cast<QWidget*>(&windows.ConfLambdaForm()),
                            static_cast<QWidget*>(&windows.ConfCutOffForm()),
                            static_cast<QWidget*>(&windows.ConfCtrlForm())}) {
        const QList<TSlider*> sliders = dialog->findChildren<TSlider*>();
        for (auto it = sliders.rbegin(); it != sliders.rend(); ++it)
            (*it)->setPosition((*it)->maximum());
    }
}

class WindowLayout : public LanguageFixture, public testing::WithParamInterface<TLayoutCase> {
protected:
    void SetUp() override
    {
        FCodes = InstalledCatalogs();
        TCatalogs catalogs;
        for (const std::string& code : FCodes)
            catalogs.emplace_back(code.c_str(), code.c_str());
        Start({}, catalogs, GetParam().catalog.c_str());
        // Without its adapter the status bar shows the adapter's longest text.
        rig().transport().SetPlugged(false);
        ASSERT_TRUE(rig().RunUntil([this] {
            return !window().StatusPanel(0)->text().isEmpty()
                && rig().supervision().LastLinkStatus() == lkNoAdapter;
        }));
        window().SetControllerText(QLatin1String(window().NotDetectedText()));
        ShowLargestValues(windows());
    }

    // Faults of one state of `row`'s window, each as a line naming what is wrong.
    std::vector<std::string> Faults(const TWindowRow& row, QWidget* window, const char* state)
    {
        std::vector<std::string> faults;
        const std::string at = std::string(row.window) + " (" + state + "): ";
        const std::vector<QWidget*> leaves = Leaves(window);

        // Room for texts: every leaf and every group box.
        std::vector<QWidget*> texts = leaves;
        for (QGroupBox* g : window->findChildren<QGroupBox*>())
            if (g->isVisibleTo(window) && !InOtherWindow(g, window))
                texts.push_back(g);
        for (QWidget* w : texts) {
            for (const TRoomFault& f : LackOfRoom(w)) {
                faults.push_back(at + Named(w) + " \"" + f.text.toStdString() + "\" needs "
                                 + Size(f.needs) + " px, has " + Size(f.has));
            }
        }

        // A text keeps a blank of the window's font from anything beside it and a clear pixel
        // from anything above or below; other things may share an edge line but no more.
        // Nothing sits on a group's frame.
        const int blank =
            std::max(2, qRound(QFontMetricsF(window->font()).horizontalAdvance(u' ')));
        std::vector<std::pair<QWidget*, TPaintedShape>> shapes;
        for (QWidget* w : leaves) {
            TPaintedShape s = TPaintedShape::Of(w, window);
            if (!s.IsEmpty())
                shapes.emplace_back(w, std::move(s));
        }
        for (QGroupBox* g : window->findChildren<QGroupBox*>()) {
            if (!g->isVisibleTo(window) || InOtherWindow(g, window))
                continue;
            auto [frame, title] = TPaintedShape::FrameAndTitle(g, window);
            if (frame.Near(title, 1, 1))
                faults.push_back(at + Named(g) + "'s title sits on its frame line");
            for (const auto& [w, s] : shapes) {
                if (frame.Near(s, 1, 1))
                    faults.push_back(at + Named(w) + " sits on the frame of " + Named(g));
                if (title.Near(s, blank, 1))
                    faults.push_back(at + Named(w) + " runs into the title of " + Named(g));
            }
        }
        for (size_t i = 0; i < shapes.size(); ++i) {
            for (size_t j = i + 1; j < shapes.size(); ++j) {
                const auto& [a, sa] = shapes[i];
                const auto& [b, sb] = shapes[j];
                if (MeantToOverlap(row, a, b))
                    continue;
                if (IsBareText(a) || IsBareText(b)) {
                    if (sa.Near(sb, blank, 1))
                        faults.push_back(at + Named(a) + " and " + Named(b)
                                         + " come closer than a blank (" + std::to_string(blank)
                                         + " px) or touch");
                } else if (sa.OverlapsBeyondAnEdge(sb)) {
                    faults.push_back(at + Named(a) + " and " + Named(b) + " overlap");
                }
            }
        }

        // A caption level with a slider's track, at its left, ends no lower than the slider's
        // scale; and the scale's labels keep a blank from everything else.
        for (const auto& [slider, ss] : shapes) {
            if (!qobject_cast<TSlider*>(slider))
                continue;
            const QRect r = slider->geometry();
            for (const auto& [label, ls] : shapes) {
                const QRect l = label->geometry();
                if (label->parentWidget() == slider->parentWidget() && IsBareText(label)
                    && l.right() < r.left() && std::abs(l.top() - r.top()) <= kTrackLevel
                    && ls.Bounds().bottom() > ss.Bounds().bottom()) {
                    faults.push_back(at + Named(label) + " runs "
                                     + std::to_string(ls.Bounds().bottom() - ss.Bounds().bottom())
                                     + " px below the scale of " + Named(slider));
                }
            }
            for (const TSlider::TTickLabel& l : static_cast<TSlider*>(slider)->tickLabels()) {
                const double w = QFontMetricsF(slider->font()).horizontalAdvance(l.text);
                const QRectF text(l.box.center().x() - w / 2, l.box.top(), w, l.box.height());
                const TPaintedShape ts =
                    TPaintedShape::Filled(text.toAlignedRect(), slider, window);
                for (const auto& [other, os] : shapes) {
                    if (other != slider && !MeantToOverlap(row, slider, other)
                        && ts.Near(os, blank, 1))
                        faults.push_back(at + Named(slider) + " tick label \""
                                         + l.text.toStdString() + "\" runs into " + Named(other));
                }
            }
        }

        // Tick labels: apart by a blank, each centred under its tick; a label at an end may
        // move inward, but only as far as the slider's edge makes it.
        for (TSlider* slider : window->findChildren<TSlider*>()) {
            if (!slider->isVisibleTo(window) || InOtherWindow(slider, window))
                continue;
            const QFontMetricsF fm(slider->font());
            const double space = fm.horizontalAdvance(u' ');
            const QList<TSlider::TTickLabel> labels = slider->tickLabels();
            const std::string name = at + Named(slider) + " tick label \"";
            for (qsizetype k = 0; k < labels.size(); ++k) {
                const TSlider::TTickLabel& l = labels[k];
                const double half = fm.horizontalAdvance(l.text) / 2;
                const double centre = l.box.center().x();
                const bool first = k == 0;
                const bool last = k == labels.size() - 1;
                // Pushed in from an edge by exactly as much as the edge asks.
                const double boxHalf = l.box.width() / 2;
                const bool pushedIn =
                    (first && l.tickX - boxHalf < 0 && std::abs(l.box.left()) < 0.01)
                    || (last && l.tickX + boxHalf > slider->width()
                        && std::abs(l.box.right() - slider->width()) < 0.01);
                if (std::abs(centre - l.tickX) > 0.5 && !pushedIn) {
                    faults.push_back(name + l.text.toStdString() + "\" stands "
                                     + std::to_string(centre - l.tickX) + " px off its tick");
                }
                if (l.box.left() < 0 || l.box.right() > slider->width())
                    faults.push_back(name + l.text.toStdString() + "\" runs past the slider");
                if (k > 0) {
                    const TSlider::TTickLabel& p = labels[k - 1];
                    const double gap = (centre - half)
                        - (p.box.center().x() + fm.horizontalAdvance(p.text) / 2);
                    if (gap < space) {
                        faults.push_back(name + p.text.toStdString() + "\" and \""
                                         + l.text.toStdString() + "\" are "
                                         + std::to_string(gap) + " px apart");
                    }
                }
            }
        }
        return faults;
    }

    std::vector<std::string> FCodes; // the catalogs' codes, kept while the catalogs point at them
};

TEST_P(WindowLayout, TextsHaveRoomAndNothingRunsIntoAnything)
{
    const TWindowRow& row = kWindows[GetParam().window];
    QWidget* window = nullptr;
    for (const auto& [name, w] : SevenWindows(windows()))
        if (qstrcmp(name, row.window) == 0)
            window = w;
    ASSERT_TRUE(window);
    window->show();
    for (const auto& [state, apply] : row.states) {
        apply(windows());
        QCoreApplication::processEvents();
        for (TPlot* plot : window->findChildren<TPlot*>())
            plot->flushReplot();
        for (const std::string& fault : Faults(row, window, state))
            ADD_FAILURE() << "[" << GetParam().catalog << "] " << fault;
    }
    if (window != &this->window())
        window->hide();
}

INSTANTIATE_TEST_SUITE_P(Catalogs, WindowLayout, testing::ValuesIn(AllCases()), CaseName);

// The valve plot's legend lies outside its data area, whatever the language makes its width.
class ValveLegend : public LanguageFixture, public testing::WithParamInterface<std::string> {};

TEST_P(ValveLegend, LeavesTheDataAreaFree)
{
    TCatalogs catalogs;
    const std::vector<std::string> codes = InstalledCatalogs();
    for (const std::string& code : codes)
        catalogs.emplace_back(code.c_str(), code.c_str());
    Start({}, catalogs, GetParam().c_str());
    TPlot* plot = window().Monitor().iPlot1();
    plot->flushReplot();
    ASSERT_TRUE(plot->legendVisible());
    const QRect legend = plot->legendRect();
    EXPECT_FALSE(legend.isEmpty());
    EXPECT_FALSE(legend.intersects(plot->dataRect()))
        << "legend " << legend.x() << "," << legend.y() << " " << legend.width() << "x"
        << legend.height() << " over the data area " << plot->dataRect().x() << ","
        << plot->dataRect().y() << " " << plot->dataRect().width() << "x"
        << plot->dataRect().height();
    EXPECT_TRUE(plot->rect().contains(legend));
}

INSTANTIATE_TEST_SUITE_P(Catalogs, ValveLegend, testing::ValuesIn(InstalledCatalogs()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

} // namespace

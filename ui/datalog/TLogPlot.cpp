#include "ui/datalog/TLogPlot.h"

#include "datalog/TDatalogColumns.h"

#include <algorithm>
#include <cmath>

#include "settings/Gettext.h"

namespace {

const QString kCursorLayer = QStringLiteral("cursor");

const QColor kFace(0, 0, 0);
const QColor kAxisColor(200, 200, 200);
const QColor kGridColor(55, 55, 55);
const QColor kCursorColor(255, 255, 255, 190);

// The panes, top to bottom: their titles and how much height each takes.
struct TPaneDef {
    const char* title;
    double stretch;
};
const TPaneDef kPaneDefs[TLogPlot::kPanes] = {
    { N_("Engine speed"), 3 },   { N_("Lambda probe"), 3 }, { N_("Valve position"), 3 },
    { N_("TPS"), 2 },            { N_("Fuel"), 1 },         { N_("Control LED"), 1.2 },
};

constexpr double kZoomPerStep = 0.85;   // of the span, per notch of the wheel
constexpr double kMinSpanSeconds = 0.05;
constexpr double kStateMargin = 0.4;    // above and below the states of a state pane
constexpr int kClickSlop = 4;           // pixels a click may move and stay a click
// Below this many seconds in view the time labels show milliseconds.
constexpr double kMillisecondLabelsBelow = 30;

} // namespace

TLogPlot::TLogPlot(QWidget* parent)
    : QCustomPlot(parent)
    , FTimeTicker(new QCPAxisTickerTime)
{
    setObjectName(QStringLiteral("LogPlot"));
    setBackground(kFace);
    setFocusPolicy(Qt::StrongFocus);
    setInteractions(QCP::iRangeDrag);
    FTimeTicker->setTimeFormat(QStringLiteral("%h:%m:%s"));
    addLayer(kCursorLayer, layer(QStringLiteral("main")), limAbove);
    // The cursor and the titles are drawn apart, so moving the cursor redraws them alone.
    layer(kCursorLayer)->setMode(QCPLayer::lmBuffered);

    plotLayout()->clear();
    auto* margins = new QCPMarginGroup(this);
    for (int p = 0; p < kPanes; ++p)
        BuildPane(TPane(p), margins);
    for (const TDatalogChannel& ch : TDatalogChannel::All()) {
        const TPane pane = PaneOf(ch.id);
        QCPGraph* graph = addGraph(TimeAxis(pane), ValueAxis(pane));
        graph->setPen(QPen(ColorOf(ch.id), 1));
        // The points are decimated already; the graph is to draw them as they are.
        graph->setAdaptiveSampling(false);
        if (ch.states)
            graph->setLineStyle(QCPGraph::lsStepLeft);
        FGraphs[ch.id] = graph;
        FShown[ch.id] = true;
    }
    connect(this, &QCustomPlot::beforeReplot, this, &TLogPlot::Decimate);
    Relayout();
    Retranslate();
}

TLogPlot::~TLogPlot()
{
    // A hidden pane is out of the layout; back in, the plot deletes it with the others.
    for (TPaneView& pane : FPanes)
        if (!pane.inLayout)
            plotLayout()->addElement(plotLayout()->rowCount(), 0, pane.rect);
}

void TLogPlot::StyleAxis(QCPAxis* axis)
{
    const QPen pen(kAxisColor);
    axis->setBasePen(pen);
    axis->setTickPen(pen);
    axis->setSubTickPen(pen);
    axis->setTickLabelColor(kAxisColor);
    axis->setLabelColor(kAxisColor);
    axis->grid()->setPen(QPen(kGridColor, 1, Qt::DotLine));
    axis->grid()->setZeroLinePen(Qt::NoPen);
}

void TLogPlot::BuildPane(TPane pane, QCPMarginGroup* margins)
{
    TPaneView& view = FPanes[pane];
    view.rect = new QCPAxisRect(this);
    view.rect->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
    view.rect->setMinimumSize(0, 40);
    QCPAxis* time = view.rect->axis(QCPAxis::atBottom);
    QCPAxis* value = view.rect->axis(QCPAxis::atLeft);
    time->setTicker(FTimeTicker);
    StyleAxis(time);
    StyleAxis(value);
    view.rect->setRangeDrag(Qt::Horizontal | Qt::Vertical);
    view.rect->setRangeDragAxes(time, value);
    view.rect->setRangeZoom({});
    connect(time, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            &TLogPlot::TimeChanged);
    plotLayout()->addElement(pane, 0, view.rect);

    view.title = new QCPItemText(this);
    view.title->setLayer(kCursorLayer);
    view.title->setClipAxisRect(view.rect);
    view.title->position->setType(QCPItemPosition::ptAxisRectRatio);
    view.title->position->setAxisRect(view.rect);
    view.title->position->setCoords(0, 0);
    view.title->setPositionAlignment(Qt::AlignTop | Qt::AlignLeft);
    view.title->setPadding(QMargins(4, 1, 4, 1));
    view.title->setColor(kAxisColor);
    view.title->setBrush(QColor(0, 0, 0, 170));

    view.cursor = new QCPItemStraightLine(this);
    view.cursor->setLayer(kCursorLayer);
    view.cursor->setClipAxisRect(view.rect);
    view.cursor->setPen(QPen(kCursorColor, 1, Qt::DashLine));
    view.cursor->point1->setAxes(time, value);
    view.cursor->point2->setAxes(time, value);
    view.cursor->point1->setCoords(0, 0);
    view.cursor->point2->setCoords(0, 1);
}

TLogPlot::TPane TLogPlot::PaneOf(TId channel)
{
    switch (channel) {
    case TDatalogChannel::chRpm: return pnRpm;
    case TDatalogChannel::chLambda:
    case TDatalogChannel::chLambdaSim: return pnLambda;
    case TDatalogChannel::chValveActual:
    case TDatalogChannel::chValveControl: return pnValve;
    case TDatalogChannel::chTps: return pnTps;
    case TDatalogChannel::chGas: return pnFuel;
    case TDatalogChannel::chLed:
    case TDatalogChannel::kCount: break;
    }
    return pnLed;
}

QColor TLogPlot::ColorOf(TId channel)
{
    switch (channel) {
    case TDatalogChannel::chRpm: return QColor(255, 170, 0);
    case TDatalogChannel::chTps: return QColor(0, 200, 255);
    case TDatalogChannel::chLambda: return QColor(255, 255, 255);
    case TDatalogChannel::chLambdaSim: return QColor(0, 204, 0);
    case TDatalogChannel::chValveActual: return QColor(110, 165, 255);
    case TDatalogChannel::chValveControl: return QColor(255, 255, 0);
    case TDatalogChannel::chGas: return QColor(0, 220, 140);
    case TDatalogChannel::chLed:
    case TDatalogChannel::kCount: break;
    }
    return QColor(255, 70, 70);
}

QCPAxis* TLogPlot::TimeAxis(TPane pane) const
{
    return FPanes[pane].rect->axis(QCPAxis::atBottom);
}

QCPAxis* TLogPlot::ValueAxis(TPane pane) const
{
    return FPanes[pane].rect->axis(QCPAxis::atLeft);
}

void TLogPlot::Retranslate()
{
    for (int p = 0; p < kPanes; ++p) {
        // The pane's unit is that of its channels.
        const char* unit = nullptr;
        for (const TDatalogChannel& ch : TDatalogChannel::All())
            if (PaneOf(ch.id) == p && ch.unit)
                unit = ch.unit;
        QString title = TGettext::Translate(kPaneDefs[p].title);
        if (unit)
            title += QStringLiteral(" [%1]").arg(TGettext::Translate(unit));
        FPanes[p].title->setText(title);
    }
    for (const TDatalogChannel& ch : TDatalogChannel::All()) {
        if (!ch.states)
            continue;
        auto ticker = QSharedPointer<QCPAxisTickerText>::create();
        for (int s = 0; s <= ch.HighestState(); ++s)
            ticker->addTick(s, ch.ValueText(uint16_t(s)));
        ValueAxis(PaneOf(ch.id))->setTicker(ticker);
    }
    replot(rpQueuedReplot);
}

void TLogPlot::SetLog(const TDatalogColumns* log)
{
    FLog = log;
    FDecimatedPixels = 0;
    for (QCPGraph* graph : FGraphs)
        graph->data()->clear();
    ShowAll();
    SetCursor(0);
}

bool TLogPlot::PaneShown(TPane pane) const
{
    for (const TDatalogChannel& ch : TDatalogChannel::All())
        if (PaneOf(ch.id) == pane && FShown[ch.id])
            return true;
    return false;
}

bool TLogPlot::ChannelShown(TId channel) const
{
    return FShown[channel];
}

void TLogPlot::SetChannelShown(TId channel, bool shown)
{
    if (FShown[channel] == shown)
        return;
    const bool paneWasShown = PaneShown(PaneOf(channel));
    FShown[channel] = shown;
    FGraphs[channel]->setVisible(shown);
    FDecimatedPixels = 0;
    if (paneWasShown != PaneShown(PaneOf(channel)))
        Relayout();
    replot(rpQueuedReplot);
}

void TLogPlot::Relayout()
{
    for (TPaneView& pane : FPanes) {
        if (pane.inLayout)
            plotLayout()->take(pane.rect);
        pane.inLayout = false;
    }
    plotLayout()->simplify();
    int row = 0;
    QCPAxisRect* bottom = nullptr;
    for (int p = 0; p < kPanes; ++p) {
        TPaneView& pane = FPanes[p];
        const bool shown = PaneShown(TPane(p));
        pane.rect->setVisible(shown);
        pane.title->setVisible(shown);
        pane.cursor->setVisible(shown);
        if (!shown)
            continue;
        plotLayout()->addElement(row, 0, pane.rect);
        plotLayout()->setRowStretchFactor(row, kPaneDefs[p].stretch);
        pane.inLayout = true;
        bottom = pane.rect;
        ++row;
    }
    // Only the lowest pane labels the time under it.
    for (TPaneView& pane : FPanes)
        pane.rect->axis(QCPAxis::atBottom)->setTickLabels(pane.rect == bottom);
}

QCPRange TLogPlot::TimeRange() const
{
    return TimeAxis(pnRpm)->range();
}

void TLogPlot::SetTimeRange(const QCPRange& seconds)
{
    TimeAxis(pnRpm)->setRange(seconds);
    replot(rpQueuedReplot);
}

void TLogPlot::ShowAll()
{
    const double duration = FLog ? FLog->DurationMs() / 1000.0 : 0;
    SetTimeRange(QCPRange(0, std::max(duration, 1.0)));
    for (int p = 0; p < kPanes; ++p)
        FitValues(TPane(p));
}

void TLogPlot::FitValues(TPane pane)
{
    bool any = false;
    bool states = false;
    double low = 0, high = 0;
    for (const TDatalogChannel& ch : TDatalogChannel::All()) {
        if (PaneOf(ch.id) != pane)
            continue;
        if (ch.states) {
            states = true;
            high = std::max(high, double(ch.HighestState()));
            continue;
        }
        if (!FLog || !FShown[ch.id])
            continue;
        const TDatalogColumns::TRange r = FLog->WholeRange(ch.id);
        if (r.Empty())
            continue;
        low = any ? std::min(low, ch.Value(r.min)) : ch.Value(r.min);
        high = any ? std::max(high, ch.Value(r.max)) : ch.Value(r.max);
        any = true;
    }
    QCPAxis* axis = ValueAxis(pane);
    if (states) {
        axis->setRange(-kStateMargin, high + kStateMargin);
        return;
    }
    // From zero, or from below it, up to a little above the highest value.
    low = std::min(low, 0.0);
    if (high - low <= 0)
        high = low + 1;
    axis->setRange(low, high + (high - low) * 0.05);
}

void TLogPlot::TimeChanged(const QCPRange& range)
{
    if (FSyncing)
        return;
    FSyncing = true;
    const double duration = FLog ? std::max(FLog->DurationMs() / 1000.0, 1.0) : 1.0;
    QCPRange r = range;
    const double span = std::clamp(r.size(), kMinSpanSeconds, duration * 2);
    if (span != r.size()) {
        const double centre = r.center();
        r = QCPRange(centre - span / 2, centre + span / 2);
    }
    // Some of the recording stays in view.
    if (r.lower > duration - span * 0.1)
        r += duration - span * 0.1 - r.lower;
    if (r.upper < span * 0.1)
        r += span * 0.1 - r.upper;
    for (const TPaneView& pane : FPanes)
        pane.rect->axis(QCPAxis::atBottom)->setRange(r);
    FTimeTicker->setTimeFormat(span < kMillisecondLabelsBelow ? QStringLiteral("%h:%m:%s.%z")
                                                              : QStringLiteral("%h:%m:%s"));
    FSyncing = false;
}

void TLogPlot::Decimate()
{
    const QCPRange range = TimeRange();
    const double from = range.lower * 1000;
    const double to = range.upper * 1000;
    // The widget's width is at least any pane's: a column is never wider than a pixel.
    const int pixels = std::max(1, width());
    if (!FLog || (from == FDecimatedFrom && to == FDecimatedTo && pixels == FDecimatedPixels))
        return;
    FDecimatedFrom = from;
    FDecimatedTo = to;
    FDecimatedPixels = pixels;
    ++FDecimations;
    for (const TDatalogChannel& ch : TDatalogChannel::All()) {
        if (!FShown[ch.id])
            continue;
        TDatalogDecimation::Points(*FLog, ch.id, from, to, pixels, FPoints);
        FGraphData.resize(qsizetype(FPoints.size()));
        for (std::size_t i = 0; i < FPoints.size(); ++i)
            FGraphData[qsizetype(i)] = QCPGraphData(FPoints[i].key, FPoints[i].value);
        FGraphs[ch.id]->data()->set(FGraphData, true);
    }
}

void TLogPlot::SetCursor(double seconds)
{
    FCursor = seconds;
    for (const TPaneView& pane : FPanes) {
        pane.cursor->point1->setCoords(seconds, 0);
        pane.cursor->point2->setCoords(seconds, 1);
    }
    layer(kCursorLayer)->replot();
    emit cursorMoved(seconds);
}

void TLogPlot::StepCursor(int rows)
{
    if (!FLog || FLog->Rows() == 0)
        return;
    const std::size_t at = FLog->RowAt(FCursor * 1000);
    std::size_t row = at;
    // Rows of the same time are one instant: the step goes to the next time.
    const int32_t time = FLog->TimeMs(at);
    if (rows > 0) {
        row = FLog->UpperBound(time);
        row = std::min(row + std::size_t(rows - 1), FLog->Rows() - 1);
    } else if (rows < 0) {
        const std::size_t first = FLog->LowerBound(time);
        row = first >= std::size_t(-rows) ? first - std::size_t(-rows) : 0;
    }
    const double seconds = FLog->TimeMs(row) / 1000.0;
    // Keep the cursor in view.
    const QCPRange view = TimeRange();
    if (!view.contains(seconds))
        SetTimeRange(view + (seconds - view.center()));
    SetCursor(seconds);
}

void TLogPlot::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    QCPAxisRect* rect = axisRectAt(event->position());
    if (steps == 0 || !rect) {
        event->ignore();
        return;
    }
    const QPointF pos = event->position();
    const double factor = std::pow(kZoomPerStep, steps);
    const QRect data = rect->rect();
    if (pos.x() < data.left()) {
        QCPAxis* value = rect->axis(QCPAxis::atLeft);
        value->scaleRange(factor, value->pixelToCoord(pos.y()));
    } else {
        QCPAxis* time = rect->axis(QCPAxis::atBottom);
        time->scaleRange(factor, time->pixelToCoord(pos.x()));
    }
    replot(rpQueuedReplot);
    event->accept();
}

void TLogPlot::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        FPressPos = event->position();
    QCustomPlot::mousePressEvent(event);
}

void TLogPlot::mouseReleaseEvent(QMouseEvent* event)
{
    QCustomPlot::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton
        || (event->position() - FPressPos).manhattanLength() > kClickSlop)
        return;
    QCPAxisRect* rect = axisRectAt(event->position());
    if (rect && rect->rect().contains(event->position().toPoint()))
        SetCursor(rect->axis(QCPAxis::atBottom)->pixelToCoord(event->position().x()));
}

void TLogPlot::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        StepCursor(event->modifiers() & Qt::ShiftModifier ? -20 : -1);
        return;
    case Qt::Key_Right:
        StepCursor(event->modifiers() & Qt::ShiftModifier ? 20 : 1);
        return;
    default:
        QCustomPlot::keyPressEvent(event);
    }
}

#include "ui/widgets/TPlot.h"

#include "ui/widgets/TPlotCanvas.h"
#include "ui/widgets/TPlotTitle.h"

#include <qcustomplot.h>

#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

QCPScatterStyle::ScatterShape scatterShape(TPlot::TMarker marker)
{
    switch (marker) {
    case TPlot::TMarker::None: return QCPScatterStyle::ssNone;
    case TPlot::TMarker::Disc: return QCPScatterStyle::ssDisc;
    case TPlot::TMarker::Circle: return QCPScatterStyle::ssCircle;
    case TPlot::TMarker::Square: return QCPScatterStyle::ssSquare;
    case TPlot::TMarker::TriangleDown: return QCPScatterStyle::ssTriangleInverted;
    case TPlot::TMarker::TriangleUp: return QCPScatterStyle::ssTriangle;
    case TPlot::TMarker::Cross: return QCPScatterStyle::ssCross;
    }
    return QCPScatterStyle::ssNone;
}

// Removes the point (x, y) from data sorted by X. Among points of equal X the container keeps no
// order of arrival, and remove(x) takes the first of them: so the wanted Y is put there first.
void removePoint(QCPGraphDataContainer& data, double x, double y)
{
    const auto [first, last] = std::equal_range(data.begin(), data.end(), QCPGraphData(x, 0),
                                                qcpLessThanSortKey<QCPGraphData>);
    const auto it = std::find_if(first, last, [y](const QCPGraphData& d) {
        return d.value == y || (std::isnan(d.value) && std::isnan(y));
    });
    if (it == last)
        return;
    std::swap(it->value, first->value);
    data.remove(x);
}

void setAxisDecimals(QCPAxis* axis, int decimals)
{
    axis->setNumberFormat(QStringLiteral("f"));
    axis->setNumberPrecision(std::clamp(decimals, 0, 6));
}

} // namespace

TPlot::TPlot(QWidget* parent)
    : QWidget(parent)
    , FPlot(new TPlotCanvas(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FPlot);

    // An instrument, not an explorer: no dragging, zooming or selecting, no context menu.
    FPlot->setInteractions(QCP::Interactions());
    FPlot->setContextMenuPolicy(Qt::NoContextMenu);
    // Wide lines (the lambda simulation is 3 pixels) stroked with proper joins cost about 30
    // times more than drawn as plain segments: 6 ms instead of 0.2 ms per replot.
    FPlot->setPlottingHint(QCP::phFastPolylines, true);
    // A replot marks the plot for the window's next paint, with the other instruments, instead
    // of painting and flushing it on its own at once.
    FPlot->setPlottingHint(QCP::phImmediateRefresh, false);
    // Nothing is ever drawn on the selection layer: it needs no buffer to clear and blend.
    FPlot->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    // The channels and the lines are drawn on layers of their own between the grid and the
    // axes, title and legend. When only points or lines moved and the axes stay, only the
    // layers they are on are drawn again (see flushReplot).
    arrangeDataLayers();
    FPlot->setBackground(Qt::black);
    FPlot->axisRect()->setBackground(Qt::black);
    // Room for the last X label, which is centred on the right edge.
    FPlot->axisRect()->setMinimumMargins(QMargins(0, 0, 20, 0));
    for (QCPAxis* axis : {FPlot->xAxis, FPlot->yAxis})
        setAxisDecimals(axis, 0);
    // The legend stands in a row of its own above the data area, never over the data; it is a
    // single line of entries, taken out of the layout while it is hidden.
    FPlot->axisRect()->insetLayout()->take(FPlot->legend);
    FPlot->legend->setFillOrder(QCPLegend::foColumnsFirst);
    FPlot->legend->setIconSize(20, 10);
    FPlot->legend->setBrush(Qt::NoBrush);
    FPlot->legend->setBorderPen(Qt::NoPen);
    FPlot->legend->setMargins(QMargins(4, 2, 4, 0));
    FPlot->legend->setVisible(false);
    setGridColor(QColor(70, 70, 70));
    applyAxisColors();
    setXFixed(0, 10);
    setYFixed(0, 10);

    FReplotTimer.setSingleShot(true);
    FReplotTimer.setInterval(kDefaultReplotDelayMs);
    connect(&FReplotTimer, &QTimer::timeout, this, &TPlot::flushReplot);
    // Every replot, also those QCustomPlot makes by itself on a resize, draws the axes as the
    // data gives them now.
    connect(FPlot, &QCustomPlot::beforeReplot, this, &TPlot::applyAxes);
    connect(FPlot, &QCustomPlot::afterReplot, this, &TPlot::noteDrawnChannels);
    connect(FPlot, &QCustomPlot::mouseDoubleClick, this, [this](QMouseEvent*) {
        emit doubleClicked();
    });
}

TPlot::~TPlot() = default;

// --- title, legend, colours ---

QString TPlot::title() const
{
    return FTitle ? FTitle->text() : QString();
}

void TPlot::setTitle(const QString& title)
{
    if (!FTitle) {
        FPlot->plotLayout()->insertRow(0);
        QFont font = FPlot->font();
        font.setBold(true);
        FTitle = new TPlotTitle(FPlot, title, font);
        FTitle->setLayer(QStringLiteral("main"));
        FTitle->setTextColor(FAxisColor);
        FPlot->plotLayout()->addElement(0, 0, FTitle);
    }
    FTitle->setText(title);
    scheduleReplot();
}

bool TPlot::legendVisible() const
{
    return FPlot->legend->visible();
}

void TPlot::setLegendVisible(bool visible)
{
    QCPLayoutGrid* layout = FPlot->plotLayout();
    const bool placed = FPlot->legend->layout() == layout;
    if (visible && !placed) {
        layout->insertRow(legendRow());
        layout->addElement(legendRow(), 0, FPlot->legend);
        layout->setRowStretchFactor(legendRow(), 0.001);
    } else if (!visible && placed) {
        layout->take(FPlot->legend);
        layout->simplify();
    }
    FPlot->legend->setVisible(visible);
    scheduleReplot();
}

int TPlot::legendRow() const
{
    // Under the title when there is one.
    return FTitle ? 1 : 0;
}

QRect TPlot::legendRect() const
{
    return FPlot->legend->visible() ? FPlot->legend->outerRect() : QRect();
}

QRect TPlot::dataRect() const
{
    return FPlot->axisRect()->rect();
}

void TPlot::setBackgroundColor(const QColor& color)
{
    FPlot->setBackground(color);
    FPlot->axisRect()->setBackground(color);
    scheduleReplot();
}

void TPlot::setGridColor(const QColor& color)
{
    for (QCPAxis* axis : {FPlot->xAxis, FPlot->yAxis}) {
        axis->grid()->setPen(QPen(color, 0, Qt::DotLine));
        axis->grid()->setZeroLinePen(QPen(color, 0, Qt::DotLine));
    }
    scheduleReplot();
}

void TPlot::setAxisColor(const QColor& color)
{
    FAxisColor = color;
    applyAxisColors();
    scheduleReplot();
}

void TPlot::applyAxisColors()
{
    for (QCPAxis* axis : {FPlot->xAxis, FPlot->yAxis, FPlot->xAxis2, FPlot->yAxis2}) {
        axis->setBasePen(QPen(FAxisColor));
        axis->setTickPen(QPen(FAxisColor));
        axis->setSubTickPen(QPen(FAxisColor));
        axis->setTickLabelColor(FAxisColor);
        axis->setLabelColor(FAxisColor);
    }
    FPlot->legend->setTextColor(FAxisColor);
    if (FTitle)
        FTitle->setTextColor(FAxisColor);
}

// --- channels ---

TPlot::TChannel* TPlot::channelAt(int channel)
{
    return channel >= 0 && channel < channelCount() ? &FChannels[channel] : nullptr;
}

const TPlot::TChannel* TPlot::channelAt(int channel) const
{
    return channel >= 0 && channel < channelCount() ? &FChannels[channel] : nullptr;
}

int TPlot::addChannel(const QString& title, const QColor& color)
{
    TChannel ch;
    ch.graph = FPlot->addGraph();
    ch.graph->setName(title);
    ch.graph->setPen(QPen(color, 1));
    FChannels.push_back(std::move(ch));
    FDrawOrder.push_back(FChannels.back().graph);
    arrangeDataLayers();
    return channelCount() - 1;
}

void TPlot::setChannelLive(int channel, bool live)
{
    TChannel* ch = channelAt(channel);
    if (!ch || ch->live == live)
        return;
    ch->live = live;
    arrangeDataLayers();
}

void TPlot::arrangeDataLayers()
{
    const auto isLive = [this](const QCPLayerable* element) {
        return std::any_of(FChannels.begin(), FChannels.end(), [element](const TChannel& ch) {
            return ch.graph == element && ch.live;
        });
    };
    std::vector<std::vector<QCPLayerable*>> runs(1);
    bool runLive = false;
    for (QCPLayerable* element : FDrawOrder) {
        const bool live = isLive(element);
        if (live != runLive && !runs.back().empty())
            runs.emplace_back();
        runLive = live;
        runs.back().push_back(element);
    }
    while (FDataLayers.size() < runs.size()) {
        QCPLayer* below = FDataLayers.empty() ? FPlot->layer(QStringLiteral("grid"))
                                              : FDataLayers.back();
        const QString name = QStringLiteral("data%1").arg(FDataLayers.size());
        FPlot->addLayer(name, below, QCustomPlot::limAbove);
        FDataLayers.push_back(FPlot->layer(name));
    }
    while (FDataLayers.size() > runs.size()) {
        FPlot->removeLayer(FDataLayers.back());
        FDataLayers.pop_back();
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        for (QCPLayerable* element : runs[i])
            element->setLayer(FDataLayers[i]);
    }
    FPlot->setCurrentLayer(FDataLayers.back());
    applyDataLayerMode();
    // The next drawing is a whole one, and a removed layer is gone.
    FStaleLayers.clear();
    scheduleReplot();
}

void TPlot::markLayerStale(QCPLayer* layer)
{
    if (std::find(FStaleLayers.begin(), FStaleLayers.end(), layer) == FStaleLayers.end())
        FStaleLayers.push_back(layer);
}

QString TPlot::channelTitle(int channel) const
{
    const TChannel* ch = channelAt(channel);
    return ch ? ch->graph->name() : QString();
}

void TPlot::setChannelTitle(int channel, const QString& title)
{
    if (TChannel* ch = channelAt(channel)) {
        ch->graph->setName(title);
        scheduleReplot();
    }
}

QColor TPlot::channelColor(int channel) const
{
    const TChannel* ch = channelAt(channel);
    return ch ? ch->graph->pen().color() : QColor();
}

void TPlot::setChannelColor(int channel, const QColor& color)
{
    TChannel* ch = channelAt(channel);
    if (!ch)
        return;
    QPen pen = ch->graph->pen();
    pen.setColor(color);
    ch->graph->setPen(pen);
    QCPScatterStyle style = ch->graph->scatterStyle();
    style.setPen(QPen(color));
    style.setBrush(color);
    ch->graph->setScatterStyle(style);
    scheduleReplot();
}

void TPlot::setChannelLineWidth(int channel, double width)
{
    TChannel* ch = channelAt(channel);
    if (!ch)
        return;
    QPen pen = ch->graph->pen();
    pen.setWidthF(width);
    ch->graph->setPen(pen);
    scheduleReplot();
}

void TPlot::setChannelMarker(int channel, TMarker marker, double size)
{
    TChannel* ch = channelAt(channel);
    if (!ch)
        return;
    const QColor color = ch->graph->pen().color();
    ch->graph->setScatterStyle(QCPScatterStyle(scatterShape(marker), color, color, size));
    scheduleReplot();
}

void TPlot::resetChannel(TChannel& ch)
{
    ch.graph->data()->clear();
    ch.order.clear();
    ch.hasLast = false;
    ch.changed = true;
    markLayerStale(ch.graph->layer());
}

void TPlot::setChannelRingBuffer(int channel, int points)
{
    if (TChannel* ch = channelAt(channel)) {
        ch->ring = std::max(1, points);
        ch->xWindow = 0;
        resetChannel(*ch);
        scheduleDataReplot();
    }
}

void TPlot::setChannelXWindow(int channel, double span)
{
    if (TChannel* ch = channelAt(channel)) {
        ch->ring = 0;
        ch->xWindow = std::max(0.0, span);
        resetChannel(*ch);
        scheduleDataReplot();
    }
}

void TPlot::AddXY(int channel, double x, double y)
{
    TChannel* ch = channelAt(channel);
    if (!ch || std::isnan(x))
        return;
    QCPGraphDataContainer& data = *ch->graph->data();
    data.add(QCPGraphData(x, y));
    if (ch->ring > 0) {
        ch->order.emplace_back(x, y);
        while (static_cast<int>(ch->order.size()) > ch->ring) {
            removePoint(data, ch->order.front().x(), ch->order.front().y());
            ch->order.pop_front();
        }
    } else {
        // Amortised O(1): the container only moves its start and compacts now and then.
        data.removeBefore(x - ch->xWindow);
    }
    ch->hasLast = true;
    ch->last = QPointF(x, y);
    ch->changed = true;
    markLayerStale(ch->graph->layer());
    scheduleDataReplot();
}

void TPlot::Clear(int channel)
{
    if (TChannel* ch = channelAt(channel)) {
        resetChannel(*ch);
        scheduleDataReplot();
    }
}

void TPlot::ClearAll()
{
    for (TChannel& ch : FChannels)
        resetChannel(ch);
    scheduleDataReplot();
}

int TPlot::pointCount(int channel) const
{
    const TChannel* ch = channelAt(channel);
    return ch ? ch->graph->dataCount() : 0;
}

QPointF TPlot::lastPoint(int channel) const
{
    const TChannel* ch = channelAt(channel);
    return ch && ch->hasLast ? ch->last : QPointF(kNaN, kNaN);
}

QList<QPointF> TPlot::points(int channel) const
{
    QList<QPointF> result;
    if (const TChannel* ch = channelAt(channel)) {
        result.reserve(ch->graph->dataCount());
        for (const QCPGraphData& d : *ch->graph->data())
            result.append(QPointF(d.key, d.value));
    }
    return result;
}

// --- limit lines ---

int TPlot::addLimit(const QColor& color, double position)
{
    auto* line = new QCPItemStraightLine(FPlot);
    line->setSelectable(false);
    // X in fractions of the axis rectangle, from its left edge (0) to its right edge (1), so the
    // line spans the plot whatever the X range; Y in plot coordinates.
    for (QCPItemPosition* point : {line->point1, line->point2}) {
        point->setAxisRect(FPlot->axisRect());
        point->setTypeX(QCPItemPosition::ptAxisRectRatio);
    }
    line->setPen(QPen(color, 1));
    FLimits.push_back(line);
    FDrawOrder.push_back(line);
    arrangeDataLayers();
    const int index = limitCount() - 1;
    setLimitPosition(index, position);
    return index;
}

double TPlot::limitPosition(int limit) const
{
    return limit >= 0 && limit < limitCount() ? FLimits[limit]->point1->coords().y() : kNaN;
}

void TPlot::setLimitPosition(int limit, double y)
{
    if (limit < 0 || limit >= limitCount())
        return;
    FDirtyLines += limitBounds(limit);
    FLimits[limit]->point1->setCoords(0, y);
    FLimits[limit]->point2->setCoords(1, y);
    FDirtyLines += limitBounds(limit);
    markLayerStale(FLimits[limit]->layer());
    scheduleDataReplot();
}

void TPlot::setLimitColor(int limit, const QColor& color)
{
    if (limit < 0 || limit >= limitCount())
        return;
    FLimits[limit]->setPen(QPen(color, 1));
    scheduleReplot();
}

// --- line annotations ---

int TPlot::addLineAnnotation(const QLineF& line, const QColor& color)
{
    auto* item = new QCPItemLine(FPlot);
    item->setSelectable(false);
    item->setPen(QPen(color, 1, Qt::SolidLine));
    FAnnotations.push_back(item);
    FDrawOrder.push_back(item);
    arrangeDataLayers();
    const int index = annotationCount() - 1;
    setAnnotationLine(index, line);
    return index;
}

QLineF TPlot::annotationLine(int annotation) const
{
    if (annotation < 0 || annotation >= annotationCount())
        return {};
    const QCPItemLine* item = FAnnotations[annotation];
    return {item->start->coords(), item->end->coords()};
}

void TPlot::setAnnotationLine(int annotation, const QLineF& line)
{
    if (annotation < 0 || annotation >= annotationCount())
        return;
    FDirtyLines += annotationBounds(annotation);
    FAnnotations[annotation]->start->setCoords(line.p1());
    FAnnotations[annotation]->end->setCoords(line.p2());
    FDirtyLines += annotationBounds(annotation);
    markLayerStale(FAnnotations[annotation]->layer());
    scheduleDataReplot();
}

void TPlot::setAnnotationColor(int annotation, const QColor& color)
{
    if (annotation < 0 || annotation >= annotationCount())
        return;
    FAnnotations[annotation]->setPen(QPen(color, 1, Qt::SolidLine));
    scheduleReplot();
}

// --- axes ---

void TPlot::setXFixed(double min, double max)
{
    if (!(min < max))
        return;
    FXScrolling = false;
    FXMin = min;
    FXSpan = max - min;
    applyDataLayerMode();
    scheduleReplot();
}

void TPlot::setXScrolling(double span, double start)
{
    if (!(span > 0))
        return;
    FXScrolling = true;
    FXMin = start;
    FXSpan = span;
    applyDataLayerMode();
    scheduleReplot();
}

void TPlot::setYFixed(double min, double max)
{
    if (!(min < max))
        return;
    FYFollow = false;
    FYMin = min;
    FYSpan = max - min;
    FYCap = max;
    scheduleReplot();
}

void TPlot::setYFollow(double min, double span, double cap)
{
    if (!(span > 0))
        return;
    FYFollow = true;
    FYMin = min;
    FYSpan = span;
    FYCap = cap;
    scheduleReplot();
}

void TPlot::setYSpan(double span)
{
    if (!(span > 0))
        return;
    FYSpan = span;
    scheduleReplot();
}

void TPlot::setXLabelDecimals(int decimals)
{
    setAxisDecimals(FPlot->xAxis, decimals);
    scheduleReplot();
}

void TPlot::setYLabelDecimals(int decimals)
{
    setAxisDecimals(FPlot->yAxis, decimals);
    scheduleReplot();
}

TPlot::TRange TPlot::xRange() const
{
    if (FXScrolling) {
        bool any = false;
        double newest = 0;
        for (const TChannel& ch : FChannels) {
            if (ch.hasLast) {
                newest = any ? std::max(newest, ch.last.x()) : ch.last.x();
                any = true;
            }
        }
        if (any && newest > FXMin + FXSpan)
            return {newest - FXSpan, newest};
    }
    return {FXMin, FXMin + FXSpan};
}

TPlot::TRange TPlot::yRange() const
{
    double upper = FYMin + FYSpan;
    if (FYFollow) {
        // Only what is on show counts: the lambda plot keeps minutes of points but shows seconds.
        const TRange x = xRange();
        for (const TChannel& ch : FChannels) {
            bool found = false;
            const QCPRange values =
                ch.graph->data()->valueRange(found, QCP::sdBoth, QCPRange(x.lower, x.upper));
            if (found && values.upper > upper) {
                // Grow in steps of a fifth of the span, so that the axis does not creep.
                const double step = FYSpan / 5;
                upper = FYMin + std::ceil((values.upper - FYMin) / step) * step;
            }
        }
        upper = std::max(FYMin + FYSpan, std::min(upper, FYCap));
    }
    return {FYMin, upper};
}

// --- redrawing ---

void TPlot::setReplotDelay(int ms)
{
    FReplotTimer.setInterval(std::max(0, ms));
}

void TPlot::scheduleReplot()
{
    FLayoutStale = true;
    scheduleDataReplot();
}

void TPlot::scheduleDataReplot()
{
    FStale = true;
    // A hidden plot (one of the two stacked ones) is drawn when it is shown. The timer or the
    // posted call is set once and never pushed back, so a steady flow of points still gets drawn.
    if (!isVisible() || replotPending())
        return;
    if (FReplotTimer.interval() > 0) {
        FReplotTimer.start();
        return;
    }
    FReplotPosted = true;
    QMetaObject::invokeMethod(
        this, [this] { if (FReplotPosted) flushReplot(); }, Qt::QueuedConnection);
}

void TPlot::flushReplot()
{
    FReplotTimer.stop();
    FReplotPosted = false;
    if (!isVisible())
        return;
    const auto same = [](const QCPRange& drawn, TRange range) {
        return drawn.lower == range.lower && drawn.upper == range.upper;
    };
    if (FLayoutStale || !same(FPlot->xAxis->range(), xRange())
        || !same(FPlot->yAxis->range(), yRange())) {
        FPlot->replot();
        return;
    }
    // Only the data layers that changed are drawn again, and only in the pixels the change
    // touches (a layer without a buffer of its own, or buffers that QCustomPlot knows to be out
    // of date, make this a whole replot). QCustomPlot then asks for the whole plot to be painted
    // again: every layer blended on every frame for a marker that moved a few pixels. The
    // request is held back and only the changed pixels are asked for; the window keeps the rest
    // from its last paint.
    const QRegion changed = takeDataChange();
    const std::vector<QCPLayer*> stale = std::exchange(FStaleLayers, {});
    FStale = false;
    if (changed.isEmpty())
        return; // the change shows nowhere: what is drawn is what a drawing would give now
    FWholeReplot = false;
    FPlot->SetDrawRegion(changed);
    FPlot->setAttribute(Qt::WA_UpdatesDisabled, true);
    for (QCPLayer* layer : stale) {
        layer->replot();
        if (FWholeReplot)
            break;
    }
    FPlot->setAttribute(Qt::WA_UpdatesDisabled, false);
    FPlot->SetDrawRegion(QRegion());
    // Without a record of where the points were, `changed` is already the whole plot.
    if (FWholeReplot)
        FPlot->update();
    else
        FPlot->update(changed);
}

QRect TPlot::onPlot(const QRectF& pixels, double pad) const
{
    // Points far outside the axes map to huge pixel values; the plot's rectangle bounds them
    // before they become whole pixels.
    return pixels.normalized()
        .adjusted(-pad, -pad, pad, pad)
        .intersected(QRectF(FPlot->rect()))
        .toAlignedRect();
}

QRect TPlot::pixelBounds(const TChannel& ch) const
{
    double left = std::numeric_limits<double>::infinity();
    double right = -left;
    double top = left;
    double bottom = -left;
    for (const QCPGraphData& d : *ch.graph->data()) {
        if (std::isnan(d.value))
            continue;
        const double x = FPlot->xAxis->coordToPixel(d.key);
        const double y = FPlot->yAxis->coordToPixel(d.value);
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    if (!(left <= right))
        return {};
    const double pen = std::max(1.0, ch.graph->pen().widthF());
    return onPlot(QRectF(QPointF(left, top), QPointF(right, bottom)),
                  ch.graph->scatterStyle().size() / 2 + pen + 2);
}

QRect TPlot::limitBounds(int limit) const
{
    const double y = FPlot->yAxis->coordToPixel(FLimits[limit]->point1->coords().y());
    return onPlot(QRectF(0, y, FPlot->width(), 0), FLimits[limit]->pen().widthF() + 2);
}

QRect TPlot::annotationBounds(int annotation) const
{
    const QCPItemLine* item = FAnnotations[annotation];
    return onPlot(QRectF(item->start->pixelPosition(), item->end->pixelPosition()),
                  item->pen().widthF() + 2);
}

QRegion TPlot::takeDataChange()
{
    QRegion changed = std::exchange(FDirtyLines, {});
    if (!FDrawnKnown)
        return FPlot->rect();
    for (TChannel& ch : FChannels) {
        if (!ch.changed)
            continue;
        changed += ch.drawn;
        ch.drawn = pixelBounds(ch);
        changed += ch.drawn;
        ch.changed = false;
    }
    return changed;
}

void TPlot::noteDrawnChannels()
{
    FDirtyLines = QRegion();
    // A scrolling plot is redrawn whole every time; it needs no record of where its points are.
    FDrawnKnown = !FXScrolling;
    for (TChannel& ch : FChannels) {
        ch.drawn = FDrawnKnown ? pixelBounds(ch) : QRect();
        ch.changed = false;
    }
}

void TPlot::applyAxes()
{
    const TRange x = xRange();
    const TRange y = yRange();
    FPlot->xAxis->setRange(x.lower, x.upper);
    FPlot->yAxis->setRange(y.lower, y.upper);
    FStale = false;
    FLayoutStale = false;
    FWholeReplot = true;
    FStaleLayers.clear();
}

void TPlot::applyDataLayerMode()
{
    // A scrolling X axis moves the grid and the tick labels with every point: each replot is a
    // whole one, and one buffer for all layers is the cheapest to paint. With the axes still,
    // each data layer keeps a buffer of its own so that it can be drawn alone.
    const QCPLayer::LayerMode mode = FXScrolling ? QCPLayer::lmLogical : QCPLayer::lmBuffered;
    for (QCPLayer* layer : FDataLayers) {
        if (layer->mode() != mode)
            layer->setMode(mode);
    }
}

void TPlot::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A canvas shown for the first time, or after a resize, replots by itself on its resize
    // event, which comes next and draws the data as it is then.
    if (FStale && !FPlot->testAttribute(Qt::WA_PendingResizeEvent))
        flushReplot();
}

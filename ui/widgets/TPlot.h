#pragma once

#include <QColor>
#include <QLineF>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <vector>

class QCPGraph;
class QCPItemLine;
class QCPItemStraightLine;
class QCPLayer;
class QCPLayerable;
class QCPTextElement;
class QCustomPlot;
class TPlotCanvas;

// An instrument plot over QCustomPlot: numbered channels of (x, y) points, horizontal limit lines
// and line annotations, all in the coordinates of one X and one Y axis, on a black face.
//
// Every channel's memory is bounded: it is either a ring of the last N points (N = 1 makes a
// moving marker) or keeps the points within an X window of its newest point, however many that
// is. Changes do not replot at once: they are gathered and drawn by one replot a few
// milliseconds later; a hidden plot keeps taking points and is drawn when it is shown. While the
// axes stay, new points and moved lines are drawn, and painted, only where they change pixels.
//
// Indices are those returned by the add functions, from 0 up; a call with an index that does
// not exist does nothing (accessors return NaN or empty values).
class TPlot : public QWidget {
    Q_OBJECT
public:
    enum class TMarker { None, Disc, Circle, Square, TriangleDown, TriangleUp, Cross };

    struct TRange {
        double lower;
        double upper;
    };

    explicit TPlot(QWidget* parent = nullptr);
    ~TPlot() override;

    // --- title, legend, colours ---
    QString title() const;
    void setTitle(const QString& title);
    bool legendVisible() const;
    void setLegendVisible(bool visible);
    // Where the last replot drew the legend (empty while it is hidden) and the data area inside
    // the axes, in this widget's coordinates.
    QRect legendRect() const;
    QRect dataRect() const;
    void setBackgroundColor(const QColor& color);
    void setGridColor(const QColor& color);
    // Axis lines, ticks, tick labels, title and legend text.
    void setAxisColor(const QColor& color);

    // --- channels ---
    // A new channel: a ring of kDefaultRingPoints points, drawn as a line of width 1, no marker.
    int addChannel(const QString& title, const QColor& color);
    int channelCount() const { return static_cast<int>(FChannels.size()); }
    QString channelTitle(int channel) const;
    void setChannelTitle(int channel, const QString& title);
    QColor channelColor(int channel) const;
    void setChannelColor(int channel, const QColor& color);
    void setChannelLineWidth(int channel, double width);
    void setChannelMarker(int channel, TMarker marker, double size = 9);
    // A channel that moves on most frames, such as a marker of the newest value: it is drawn
    // on a buffer of its own (one buffer for each run of such channels among the others), so
    // that a new point redraws it alone and not every other line of the plot with it.
    void setChannelLive(int channel, bool live);
    // Keep the last `points` points (at least 1). Empties the channel.
    void setChannelRingBuffer(int channel, int points);
    // Keep the points whose X is within `span` of the newest point's X, however many. X should
    // grow; callers that start X again from an earlier value clear the channel first. Empties
    // the channel.
    void setChannelXWindow(int channel, double span);

    // A point whose X is NaN is ignored; a NaN Y leaves a gap in the line.
    void AddXY(int channel, double x, double y);
    void Clear(int channel);
    void ClearAll();
    int pointCount(int channel) const;
    // The point added last, or (NaN, NaN) when the channel is empty.
    QPointF lastPoint(int channel) const;
    // The points the channel holds, in X order.
    QList<QPointF> points(int channel) const;

    // --- limit lines: horizontal, across the whole plot, not movable with the mouse ---
    int addLimit(const QColor& color, double position = 0);
    int limitCount() const { return static_cast<int>(FLimits.size()); }
    double limitPosition(int limit) const;
    void setLimitPosition(int limit, double y);
    void setLimitColor(int limit, const QColor& color);

    // --- line annotations: straight lines in plot coordinates, solid, width 1 ---
    int addLineAnnotation(const QLineF& line, const QColor& color);
    int annotationCount() const { return static_cast<int>(FAnnotations.size()); }
    QLineF annotationLine(int annotation) const;
    void setAnnotationLine(int annotation, const QLineF& line);
    void setAnnotationColor(int annotation, const QColor& color);

    // --- axes ---
    // X fixed to min..max.
    void setXFixed(double min, double max);
    // X spans `span` units from `start` and, once the newest point passes start + span, scrolls
    // so that the newest point stands at the right edge. Emptying the plot scrolls back.
    void setXScrolling(double span, double start = 0);
    // Y fixed to min..max.
    void setYFixed(double min, double max);
    // Y runs from `min` over at least `span`; it grows to show the visible data, but never beyond
    // `cap`.
    void setYFollow(double min, double span, double cap);
    // Changes the span of either Y mode (fixed: the upper end becomes min + span).
    void setYSpan(double span);
    double ySpan() const { return FYSpan; }
    void setXLabelDecimals(int decimals);
    void setYLabelDecimals(int decimals);
    // The axis ranges the data as it is now gives, whether or not a replot has drawn them yet.
    TRange xRange() const;
    TRange yRange() const;

    // --- redrawing ---
    // How long changes are gathered before one replot, in ms. 0: a posted call, which runs
    // before the window's pending repaint (a low-priority event), so changes made while an event
    // is handled are drawn in the same paint as the rest of the window.
    void setReplotDelay(int ms);
    bool replotPending() const { return FReplotTimer.isActive() || FReplotPosted; }
    // Replots now what has changed, if the plot is visible.
    void flushReplot();

    static constexpr int kDefaultRingPoints = 10000;
    // The points of one batch of telemetry are drawn in the same wake-up and the same paint as
    // the other instruments it moved; a steady flow still gets one replot a batch.
    static constexpr int kDefaultReplotDelayMs = 0;

signals:
    void doubleClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct TChannel {
        QCPGraph* graph = nullptr;      // owned by FPlot; holds the points, sorted by X
        bool live = false;              // drawn on a layer of live channels
        int ring = kDefaultRingPoints;  // > 0: ring of this many points; 0: X window
        double xWindow = 0;             // X span kept when ring is 0
        std::deque<QPointF> order;      // ring mode: the points in the order they came
        bool hasLast = false;           // a point was added since the last clear
        QPointF last;                   // the point added last
        bool changed = false;           // points came or went since the last drawing
        QRect drawn;                    // where the last drawing put its points, in pixels
    };

    int legendRow() const;
    TChannel* channelAt(int channel);
    const TChannel* channelAt(int channel) const;
    void resetChannel(TChannel& ch);
    // A change of anything but the points and lines: the next replot is a whole one.
    void scheduleReplot();
    // A change of points or lines only.
    void scheduleDataReplot();
    void applyDataLayerMode();
    // Puts the channels, limits and annotations, in the order they were made, on data layers:
    // one layer for each run of live or of still ones.
    void arrangeDataLayers();
    void markLayerStale(QCPLayer* layer);
    // Pixels of the plot that show a channel's points, a limit line or an annotation as they
    // are now, with room for markers, line widths and antialiasing.
    QRect pixelBounds(const TChannel& ch) const;
    QRect limitBounds(int limit) const;
    QRect annotationBounds(int annotation) const;
    // `pixels` grown by `pad` on every side, within the plot, in whole pixels.
    QRect onPlot(const QRectF& pixels, double pad) const;
    // What drawing the data layers alone changes on screen: the changed channels' points before
    // and after, and the limits and annotations that moved (FDirtyLines). Notes where the
    // changed channels are drawn now; noteDrawnChannels does it for all after a whole replot.
    QRegion takeDataChange();
    void noteDrawnChannels();
    void applyAxes();
    void applyAxisColors();

    TPlotCanvas* FPlot;                       // the drawing, a child filling this widget
    QCPTextElement* FTitle = nullptr;         // created with the first title
    std::vector<QCPLayerable*> FDrawOrder;    // channels, limits, annotations as made
    std::vector<QCPLayer*> FDataLayers;       // from the bottom up, above the grid
    std::vector<QCPLayer*> FStaleLayers;      // data layers to draw again
    std::vector<TChannel> FChannels;          // by channel index
    std::vector<QCPItemStraightLine*> FLimits; // by limit index, owned by FPlot
    std::vector<QCPItemLine*> FAnnotations;   // by annotation index, owned by FPlot
    bool FXScrolling = false;                 // X follows the newest point
    double FXMin = 0;                         // fixed: lower end; scrolling: start
    double FXSpan = 10;                       // width of the X range
    bool FYFollow = false;                    // Y grows with the data up to FYCap
    double FYMin = 0;                         // lower end of Y
    double FYSpan = 10;                       // least height of the Y range
    double FYCap = 10;                        // highest upper end of a following Y
    QColor FAxisColor = QColor(220, 220, 220); // axes, labels, texts
    QTimer FReplotTimer;                      // single shot: gathers changes into one replot
    bool FReplotPosted = false;               // a replot call is posted (replot delay 0)
    bool FStale = false;                      // something changed that is not drawn yet
    bool FLayoutStale = false;                // ... and it is more than points and lines
    // Where data changed since the last drawing, in pixels; FDrawnKnown says the channels'
    // drawn bounds are up to date (a scrolling plot, redrawn whole every time, keeps none).
    QRegion FDirtyLines;
    bool FDrawnKnown = false;
    bool FWholeReplot = false;                // QCustomPlot replotted all layers just now
};

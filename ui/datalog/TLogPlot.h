#pragma once

#include "datalog/TDatalogChannel.h"
#include "datalog/TDatalogDecimation.h"

#include <qcustomplot.h>

#include <array>
#include <vector>

class TDatalogColumns;

// Every channel of a datalog against time, in panes stacked over one shared time axis: engine
// speed, the lambda probe with its emulation, the valve's actual and control positions, the
// TPS, the fuel and the control LED. Each pane has its own value axis in its channels' unit.
//
// Each replot draws each shown channel decimated to the plot's pixel columns (the least and
// greatest value of each), so a view of a whole day costs what a view of a minute does.
// Dragging pans: sideways the time of every pane, up and down the values of the pane under
// the mouse. The wheel zooms the axis it is over: over a value axis that pane's values, over
// the data or the time axis the time, about the point under the mouse. A click puts the
// cursor, a vertical line through every pane, at that instant; the arrow keys move it a row
// at a time.
class TLogPlot : public QCustomPlot {
    Q_OBJECT
public:
    using TId = TDatalogChannel::TId;

    // The panes, top to bottom.
    enum TPane { pnRpm, pnLambda, pnValve, pnTps, pnFuel, pnLed, kPanes };

    explicit TLogPlot(QWidget* parent = nullptr);
    ~TLogPlot() override;

    // The log to show; it must outlive the plot or be replaced. Null shows nothing.
    void SetLog(const TDatalogColumns* log);
    const TDatalogColumns* Log() const { return FLog; }

    // The whole recording, every pane's values in full.
    void ShowAll();
    // The time shown, in seconds since the first row.
    QCPRange TimeRange() const;
    void SetTimeRange(const QCPRange& seconds);

    void SetChannelShown(TId channel, bool shown);
    bool ChannelShown(TId channel) const;
    // A pane is shown while one of its channels is.
    bool PaneShown(TPane pane) const;

    // The cursor's instant in seconds since the first row.
    void SetCursor(double seconds);
    double Cursor() const { return FCursor; }
    // Moves the cursor `rows` rows on (back when negative) from the row it stands at.
    void StepCursor(int rows);

    static TPane PaneOf(TId channel);
    static QColor ColorOf(TId channel);
    QCPAxisRect* PaneRect(TPane pane) const { return FPanes[pane].rect; }
    QCPAxis* TimeAxis(TPane pane) const;
    QCPAxis* ValueAxis(TPane pane) const;
    QCPGraph* Graph(TId channel) const { return FGraphs[channel]; }
    QCPItemStraightLine* CursorLine(TPane pane) const { return FPanes[pane].cursor; }

    // Sets the panes' titles and the states' names again in the current language.
    void Retranslate();

    // How many times the channels were decimated anew, for tests and the benchmark.
    int Decimations() const { return FDecimations; }

signals:
    void cursorMoved(double seconds);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct TPaneView {
        QCPAxisRect* rect = nullptr;
        QCPItemText* title = nullptr;
        QCPItemStraightLine* cursor = nullptr;
        bool inLayout = true;
    };

    void BuildPane(TPane pane, QCPMarginGroup* margins);
    void StyleAxis(QCPAxis* axis);
    void Relayout();
    void FitValues(TPane pane);
    void TimeChanged(const QCPRange& range);
    void Decimate();

    const TDatalogColumns* FLog = nullptr;
    std::array<TPaneView, kPanes> FPanes;
    std::array<QCPGraph*, TDatalogChannel::kCount> FGraphs {};
    std::array<bool, TDatalogChannel::kCount> FShown {};
    QSharedPointer<QCPAxisTickerTime> FTimeTicker;
    double FCursor = 0;
    bool FSyncing = false;   // spreading one pane's time range to the others
    QPointF FPressPos;       // where the left button went down
    // What the graphs were last decimated for: time range (ms) and pixel columns.
    double FDecimatedFrom = 0, FDecimatedTo = 0;
    int FDecimatedPixels = 0;
    int FDecimations = 0;
    std::vector<TDatalogDecimation::TPoint> FPoints;
    QVector<QCPGraphData> FGraphData;
};

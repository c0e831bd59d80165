#pragma once

#include <qcustomplot.h>

#include <QRegion>

// The drawing of a TPlot: QCustomPlot with layer buffers that can be drawn again in part. While
// a draw region is set, a buffered layer that replots alone clears and draws only that region;
// a whole replot always draws everything and ends the region.
class TPlotCanvas : public QCustomPlot {
    Q_OBJECT
public:
    explicit TPlotCanvas(QWidget* parent = nullptr);

    // In the plot's coordinates; an empty region is the whole plot.
    void SetDrawRegion(const QRegion& region);

private:
    // Before a whole replot: QCustomPlot keeps the buffers it finds and makes only the missing
    // ones, so the ones it will need are made here, of the kind that can be drawn in part.
    void ProvideBuffers();
};

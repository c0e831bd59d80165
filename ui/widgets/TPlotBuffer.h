#pragma once

#include <qcustomplot.h>

#include <QRegion>

// A layer buffer of a TPlotCanvas that can be drawn again in part. While a region is set, a
// clear empties only that region and painting reaches only that region, whatever clip the layer
// sets: pixels outside keep what the last drawing left, which is what drawing the unchanged
// content again would give. Without a region it behaves as QCustomPlot's own pixmap buffer.
class TPlotBuffer : public QCPPaintBufferPixmap {
public:
    TPlotBuffer(const QSize& size, double devicePixelRatio);

    // In the plot's coordinates; an empty region is the whole buffer.
    void SetRegion(const QRegion& region);

    QCPPainter* startPainting() override;
    void donePainting() override;
    void clear(const QColor& color) override;

private:
    QRegion FRegion;
    QRegion FDeviceRegion; // FRegion in the pixels of the buffer
};

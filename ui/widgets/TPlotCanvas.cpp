#include "ui/widgets/TPlotCanvas.h"

#include "ui/widgets/TPlotBuffer.h"

#include <QCoreApplication>
#include <QEvent>

TPlotCanvas::TPlotCanvas(QWidget* parent)
    : QCustomPlot(parent)
{
    // QCustomPlot's constructor queues a replot of its empty default plot for the next turn of
    // the event loop. The plot that owns this canvas replots when it is set up and shown; the
    // queued one would draw a hidden plot, and a shown one a second time, before the first
    // paint.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    connect(this, &QCustomPlot::beforeReplot, this, &TPlotCanvas::ProvideBuffers);
}

void TPlotCanvas::SetDrawRegion(const QRegion& region)
{
    for (const QSharedPointer<QCPAbstractPaintBuffer>& buffer : std::as_const(mPaintBuffers)) {
        if (auto* own = dynamic_cast<TPlotBuffer*>(buffer.data()))
            own->SetRegion(region);
    }
}

void TPlotCanvas::ProvideBuffers()
{
    // As many as QCustomPlot's set-up will use: one for the layers up to the first buffered
    // one, one for each buffered layer, one for each run of unbuffered layers after it.
    int needed = 1;
    for (int i = 0; i < layerCount(); ++i) {
        if (layer(i)->mode() != QCPLayer::lmBuffered)
            continue;
        ++needed;
        if (i + 1 < layerCount() && layer(i + 1)->mode() == QCPLayer::lmLogical)
            ++needed;
    }
    for (int i = 0; i < needed; ++i) {
        if (i < mPaintBuffers.size() && dynamic_cast<TPlotBuffer*>(mPaintBuffers[i].data()))
            continue;
        QSharedPointer<QCPAbstractPaintBuffer> own(
            new TPlotBuffer(viewport().size(), bufferDevicePixelRatio()));
        if (i < mPaintBuffers.size())
            mPaintBuffers[i] = own;
        else
            mPaintBuffers.append(own);
    }
    SetDrawRegion(QRegion());
}

#include "ui/widgets/TPlotBuffer.h"

#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

TPlotBuffer::TPlotBuffer(const QSize& size, double devicePixelRatio)
    : QCPPaintBufferPixmap(size, devicePixelRatio)
{
}

void TPlotBuffer::SetRegion(const QRegion& region)
{
    FRegion = region;
    // Grown by a pixel at fractional ratios, where a plot pixel straddles buffer pixels.
    const QRegion scaled = QTransform::fromScale(mDevicePixelRatio, mDevicePixelRatio).map(region);
    FDeviceRegion = mDevicePixelRatio == int(mDevicePixelRatio) ? scaled : scaled.united(
        scaled.translated(1, 1)).united(scaled.translated(-1, -1));
}

QCPPainter* TPlotBuffer::startPainting()
{
    // The system clip bounds every clip the painter's user sets (a layer sets one for each of
    // its elements); it is taken up when the painter begins.
    if (!FDeviceRegion.isEmpty())
        mBuffer.paintEngine()->setSystemClip(FDeviceRegion);
    return QCPPaintBufferPixmap::startPainting();
}

void TPlotBuffer::donePainting()
{
    if (!FDeviceRegion.isEmpty())
        mBuffer.paintEngine()->setSystemClip(QRegion());
    QCPPaintBufferPixmap::donePainting();
}

void TPlotBuffer::clear(const QColor& color)
{
    if (FRegion.isEmpty()) {
        QCPPaintBufferPixmap::clear(color);
        return;
    }
    QPainter painter(&mBuffer);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& rect : FRegion)
        painter.fillRect(rect, color);
}

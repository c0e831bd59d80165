#include "ui/widgets/TLedBar.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

TLedBar::TLedBar(QWidget* parent)
    : QWidget(parent)
{
}

void TLedBar::setPosition(double position)
{
    if (std::isnan(position) || position == FPosition)
        return;
    const int litBefore = litSegmentCount();
    FPosition = position;
    // 20 frames a second mostly land on the same segment: repaint only when the picture changes,
    // and then only the segments that went on or off.
    const int litAfter = litSegmentCount();
    if (litAfter != litBefore)
        update(segmentRect(std::min(litBefore, litAfter))
                   .united(segmentRect(std::max(litBefore, litAfter) - 1)));
}

void TLedBar::setMaximum(double maximum)
{
    if (!(maximum > 0) || maximum == FMaximum)
        return;
    FMaximum = maximum;
    update();
}

void TLedBar::setSection1End(double end)
{
    FSection1End = end;
    update();
}

void TLedBar::setSection2End(double end)
{
    FSection2End = end;
    update();
}

void TLedBar::setSection1Color(const QColor& color)
{
    FColors[0] = color;
    update();
}

void TLedBar::setSection2Color(const QColor& color)
{
    FColors[1] = color;
    update();
}

void TLedBar::setSection3Color(const QColor& color)
{
    FColors[2] = color;
    update();
}

void TLedBar::setSegmentWidth(int pixels)
{
    FSegmentWidth = std::max(1, pixels);
    update();
}

void TLedBar::setSegmentSpacing(int pixels)
{
    FSegmentSpacing = std::max(0, pixels);
    update();
}

QColor TLedBar::colorAt(double value) const
{
    if (value < FSection1End)
        return FColors[0];
    if (value < FSection2End)
        return FColors[1];
    return FColors[2];
}

QRect TLedBar::segmentArea() const
{
    // Inside a two-pixel sunken frame.
    return rect().adjusted(3, 3, -3, -3);
}

int TLedBar::segmentCount() const
{
    const int pitch = FSegmentWidth + FSegmentSpacing;
    return std::max(1, (segmentArea().width() + FSegmentSpacing) / pitch);
}

int TLedBar::litSegmentCount() const
{
    const int n = segmentCount();
    const double fraction = std::clamp(FPosition / FMaximum, 0.0, 1.0);
    return static_cast<int>(std::lround(fraction * n));
}

QRect TLedBar::segmentRect(int index) const
{
    const QRect area = segmentArea();
    const int pitch = FSegmentWidth + FSegmentSpacing;
    // Centre the segments; what the pitch leaves over goes to both ends.
    const int x0 = area.left() + (area.width() - (segmentCount() * pitch - FSegmentSpacing)) / 2;
    return { x0 + index * pitch, area.top(), FSegmentWidth, area.height() };
}

void TLedBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect frame = rect();
    p.fillRect(frame, Qt::black);
    // Sunken frame: dark upper and left edges, light lower and right ones.
    p.setPen(QColor(64, 64, 64));
    p.drawLine(frame.topLeft(), frame.topRight());
    p.drawLine(frame.topLeft(), frame.bottomLeft());
    p.setPen(QColor(220, 220, 220));
    p.drawLine(frame.bottomLeft(), frame.bottomRight());
    p.drawLine(frame.topRight(), frame.bottomRight());

    const int n = segmentCount();
    const int lit = litSegmentCount();
    for (int i = 0; i < n; ++i) {
        // A segment stands for the value at its middle.
        const QColor c = colorAt((i + 0.5) * FMaximum / n);
        p.fillRect(segmentRect(i), i < lit ? c : c.darker(400));
    }
}

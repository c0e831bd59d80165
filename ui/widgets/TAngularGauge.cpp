#include "ui/widgets/TAngularGauge.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

TAngularGauge::TAngularGauge(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TAngularGauge::setPosition(double position)
{
    if (std::isnan(position))
        return;
    position = std::clamp(position, FMinimum, FMaximum);
    if (position == FPosition)
        return;
    // Only the pointer moves: the old and the new place of it are painted again.
    const QRect before = pointerRect(FPosition);
    FPosition = position;
    update(before | pointerRect(FPosition));
}

void TAngularGauge::restyle()
{
    FStatic = QPixmap();
    update();
}

void TAngularGauge::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FStatic = QPixmap();
}

void TAngularGauge::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        FStatic = QPixmap();
        break;
    default:
        break;
    }
}

void TAngularGauge::setRange(double minimum, double maximum)
{
    if (!(minimum < maximum))
        return;
    FMinimum = minimum;
    FMaximum = maximum;
    FPosition = std::clamp(FPosition, FMinimum, FMaximum);
    restyle();
}

void TAngularGauge::setArcStart(double degrees)
{
    FArcStart = degrees;
    restyle();
}

void TAngularGauge::setArcSpan(double degrees)
{
    FArcSpan = degrees;
    restyle();
}

void TAngularGauge::setMajorTickCount(int count)
{
    FMajorTicks = std::max(0, count);
    restyle();
}

void TAngularGauge::setMinorTickCount(int perMajorInterval)
{
    FMinorTicks = std::max(0, perMajorInterval);
    restyle();
}

void TAngularGauge::setLabelDecimals(int decimals)
{
    FLabelDecimals = std::clamp(decimals, 0, 6);
    restyle();
}

void TAngularGauge::setTopText(const QString& text)
{
    FTopText = text;
    restyle();
}

void TAngularGauge::setBottomText(const QString& text)
{
    FBottomText = text;
    restyle();
}

void TAngularGauge::setHubTextColor(const QColor& color)
{
    FHubTextColor = color;
    restyle();
}

void TAngularGauge::setSectionEnd(int index, double end)
{
    FSectionEnd[index] = end;
    restyle();
}

void TAngularGauge::setSectionColor(int index, const QColor& color)
{
    FSectionColor[index] = color;
    restyle();
}

void TAngularGauge::setSection1End(double end) { setSectionEnd(0, end); }
void TAngularGauge::setSection2End(double end) { setSectionEnd(1, end); }
void TAngularGauge::setSection3End(double end) { setSectionEnd(2, end); }
void TAngularGauge::setSection1Color(const QColor& color) { setSectionColor(0, color); }
void TAngularGauge::setSection2Color(const QColor& color) { setSectionColor(1, color); }
void TAngularGauge::setSection3Color(const QColor& color) { setSectionColor(2, color); }

void TAngularGauge::setPointerColor(const QColor& color)
{
    FPointerColor = color;
    restyle();
}

void TAngularGauge::setFaceColor(const QColor& color)
{
    FFaceColor = color;
    restyle();
}

void TAngularGauge::setScaleColor(const QColor& color)
{
    FScaleColor = color;
    restyle();
}

double TAngularGauge::angleOf(double value) const
{
    const double fraction = std::clamp((value - FMinimum) / (FMaximum - FMinimum), 0.0, 1.0);
    return FArcStart - fraction * FArcSpan;
}

namespace {

// The point at `radius` from `centre` in the direction `degrees` (counter-clockwise from three
// o'clock; the screen's y axis points down).
QPointF polar(const QPointF& centre, double radius, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

} // namespace

void TAngularGauge::paintEvent(QPaintEvent*)
{
    if (std::min(width(), height()) / 2.0 - 1.0 < 10)
        return;
    const qreal ratio = devicePixelRatioF();
    if (FStatic.isNull() || FStatic.devicePixelRatio() != ratio) {
        FStatic = QPixmap(size() * ratio);
        FStatic.setDevicePixelRatio(ratio);
        FStatic.fill(Qt::transparent);
        QPainter layer(&FStatic);
        paintStatic(layer);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, FStatic);
    paintPointer(p, FPosition);
}

void TAngularGauge::paintStatic(QPainter& p) const
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QPointF c(width() / 2.0, height() / 2.0);
    const double outer = std::min(width(), height()) / 2.0 - 1.0;

    // Bezel and face.
    QLinearGradient bezel(c - QPointF(outer, outer), c + QPointF(outer, outer));
    bezel.setColorAt(0.0, QColor(200, 200, 200));
    bezel.setColorAt(1.0, QColor(50, 50, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(c, outer, outer);
    const double r = outer * 0.94;
    p.setBrush(FFaceColor);
    p.drawEllipse(c, r, r);

    // Colour sections, a band just inside the ticks.
    const double bandRadius = r * 0.80;
    const double bandWidth = r * 0.07;
    const QRectF bandRect(c.x() - bandRadius, c.y() - bandRadius, 2 * bandRadius, 2 * bandRadius);
    double from = FMinimum;
    for (int i = 0; i < 3; ++i) {
        const double to = std::clamp(FSectionEnd[i], FMinimum, FMaximum);
        if (to > from) {
            const double a0 = angleOf(from);
            const double a1 = angleOf(to);
            p.setPen(QPen(FSectionColor[i], bandWidth, Qt::SolidLine, Qt::FlatCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(bandRect, static_cast<int>(std::lround(a1 * 16)),
                      static_cast<int>(std::lround((a0 - a1) * 16)));
            from = to;
        }
    }

    // Ticks and labels.
    const double tickOuter = r * 0.95;
    QFont labelFont = font();
    labelFont.setPixelSize(std::max(8, static_cast<int>(r * 0.13)));
    labelFont.setBold(true);
    p.setFont(labelFont);
    if (FMajorTicks >= 2) {
        const int steps = (FMajorTicks - 1) * (FMinorTicks + 1);
        for (int k = 0; k <= steps; ++k) {
            const bool major = k % (FMinorTicks + 1) == 0;
            const double value = FMinimum + (FMaximum - FMinimum) * k / steps;
            const double a = angleOf(value);
            p.setPen(QPen(FScaleColor, major ? std::max(1.5, r * 0.02) : 1.0, Qt::SolidLine,
                          Qt::FlatCap));
            p.drawLine(polar(c, tickOuter, a), polar(c, r * (major ? 0.84 : 0.89), a));
            if (major) {
                const QPointF at = polar(c, r * 0.66, a);
                const QRectF box(at.x() - r * 0.2, at.y() - r * 0.1, r * 0.4, r * 0.2);
                p.drawText(box, Qt::AlignCenter, QString::number(value, 'f', FLabelDecimals));
            }
        }
    }

    // Hub texts.
    QFont hubFont = font();
    hubFont.setPixelSize(std::max(8, static_cast<int>(r * 0.12)));
    hubFont.setBold(true);
    p.setFont(hubFont);
    p.setPen(FHubTextColor);
    const QRectF above(c.x() - r * 0.5, c.y() - r * 0.42, r, r * 0.2);
    const QRectF below(c.x() - r * 0.5, c.y() + r * 0.22, r, r * 0.2);
    p.drawText(above, Qt::AlignCenter, FTopText);
    p.drawText(below, Qt::AlignCenter, FBottomText);
}

QRect TAngularGauge::pointerRect(double position) const
{
    const QPointF c(width() / 2.0, height() / 2.0);
    const double r = (std::min(width(), height()) / 2.0 - 1.0) * 0.94;
    const double a = angleOf(position);
    const double halfBase = std::max(1.5, r * 0.035);
    QPolygonF outline;
    outline << polar(c, r * 0.88, a) << polar(c, halfBase, a + 90) << polar(c, r * 0.16, a + 180)
            << polar(c, halfBase, a - 90);
    const double cap = r * 0.08;
    const QRectF bounds = outline.boundingRect() | QRectF(c.x() - cap, c.y() - cap, 2 * cap, 2 * cap);
    return bounds.toAlignedRect().adjusted(-2, -2, 2, 2);
}

void TAngularGauge::paintPointer(QPainter& p, double position) const
{
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(width() / 2.0, height() / 2.0);
    const double r = (std::min(width(), height()) / 2.0 - 1.0) * 0.94;

    // Pointer: a slim needle with a short tail, then the hub cap over its root.
    const double a = angleOf(position);
    const double halfBase = std::max(1.5, r * 0.035);
    QPainterPath needle;
    needle.moveTo(polar(c, r * 0.88, a));
    needle.lineTo(polar(c, halfBase, a + 90));
    needle.lineTo(polar(c, r * 0.16, a + 180));
    needle.lineTo(polar(c, halfBase, a - 90));
    needle.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(FPointerColor);
    p.drawPath(needle);

    QRadialGradient cap(c - QPointF(r * 0.03, r * 0.03), r * 0.09);
    cap.setColorAt(0.0, QColor(230, 230, 230));
    cap.setColorAt(1.0, QColor(80, 80, 80));
    p.setBrush(cap);
    p.drawEllipse(c, r * 0.08, r * 0.08);
}

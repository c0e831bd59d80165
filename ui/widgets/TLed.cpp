#include "ui/widgets/TLed.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

TLed::TLed(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TLed::setActive(bool on)
{
    if (FActive == on)
        return;
    FActive = on;
    update();
}

void TLed::setShape(TShape shape)
{
    FShape = shape;
    update();
}

void TLed::setOnColor(const QColor& color)
{
    FOnColor = color;
    update();
}

QColor TLed::offColor() const
{
    if (FOffColor.isValid())
        return FOffColor;
    // A dark lamp still shows which colour it would light in.
    return FOnColor.darker(350);
}

void TLed::setOffColor(const QColor& color)
{
    FOffColor = color;
    update();
}

void TLed::setBevel(bool raised)
{
    FBevel = raised;
    update();
}

namespace {

QPainterPath ledOutline(TLed::TShape shape, const QRectF& r)
{
    QPainterPath path;
    if (shape == TLed::TShape::Round) {
        path.addEllipse(r);
    } else {
        const QPointF c = r.center();
        path.moveTo(c.x(), r.top());
        path.lineTo(r.right(), c.y());
        path.lineTo(c.x(), r.bottom());
        path.lineTo(r.left(), c.y());
        path.closeSubpath();
    }
    return path;
}

} // namespace

void TLed::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const qreal side = std::min(width(), height()) - 1.0;
    QRectF r((width() - side) / 2.0, (height() - side) / 2.0, side, side);

    if (FBevel) {
        // Light from the top left: bright upper edges, dark lower ones.
        QLinearGradient bevel(r.topLeft(), r.bottomRight());
        bevel.setColorAt(0.0, QColor(250, 250, 250));
        bevel.setColorAt(0.5, QColor(160, 160, 160));
        bevel.setColorAt(1.0, QColor(60, 60, 60));
        p.setPen(Qt::NoPen);
        p.setBrush(bevel);
        p.drawPath(ledOutline(FShape, r));
        const qreal inset = std::max<qreal>(2.0, side * (FShape == TShape::Diamond ? 0.16 : 0.1));
        r.adjust(inset, inset, -inset, -inset);
    }

    const QColor base = FActive ? FOnColor : offColor();
    QRadialGradient glow(r.center() - QPointF(r.width() * 0.18, r.height() * 0.18), r.width() * 0.7);
    glow.setColorAt(0.0, FActive ? base.lighter(170) : base.lighter(140));
    glow.setColorAt(0.6, base);
    glow.setColorAt(1.0, base.darker(150));
    p.setBrush(glow);
    p.setPen(QPen(base.darker(220), 1.0));
    p.drawPath(ledOutline(FShape, r));
}

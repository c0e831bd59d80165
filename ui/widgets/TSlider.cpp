#include "ui/widgets/TSlider.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kThumbWidth = 11;
constexpr double kThumbHeight = 17;
constexpr double kGrooveHeight = 4;
constexpr double kMajorTickLength = 5;
constexpr double kMinorTickLength = 3;
// The track ends where the thumb's middle can go: at least half a thumb in from each side.
constexpr double kThumbMargin = kThumbWidth / 2 + 1;

// A label in its short form: thousands as "1k", whole numbers without decimals. The same text
// when it has none.
QString ShortLabel(double value, int decimals)
{
    if (decimals > 0 && value == std::floor(value))
        return QString::number(value, 'f', 0);
    if (value != 0 && std::fmod(value, 1000) == 0)
        return QString::number(value / 1000, 'f', 0) + u'k';
    return QString::number(value, 'f', decimals);
}

} // namespace

TSlider::TSlider(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::WheelFocus);
}

void TSlider::setPosition(double position)
{
    if (std::isnan(position))
        return;
    position = std::clamp(position, FMinimum, FMaximum);
    if (position == FPosition)
        return;
    const QRectF before = thumbRect();
    FPosition = position;
    ++FChanges;
    // The groove and the scale stay as they are: only where the thumb was and is gets painted,
    // with room for its antialiased, focus-widened outline.
    update(before.united(thumbRect()).adjusted(-2, -2, 2, 2).toAlignedRect());
    // Last, because a handler may set the position again (the dialogs pull a slider back).
    emit positionChanged(FPosition);
}

int TSlider::value() const
{
    return static_cast<int>(FPosition);
}

void TSlider::setRange(double minimum, double maximum)
{
    if (!(minimum < maximum))
        return;
    FMinimum = minimum;
    FMaximum = maximum;
    update();
    setPosition(FPosition);
}

void TSlider::setSmallStep(double step)
{
    FSmallStep = step;
}

void TSlider::setLargeStep(double step)
{
    FLargeStep = step;
}

void TSlider::setMajorTickCount(int count)
{
    FMajorTicks = std::max(0, count);
    update();
}

void TSlider::setMinorTickCount(int perMajorInterval)
{
    FMinorTicks = std::max(0, perMajorInterval);
    update();
}

void TSlider::setTickLabelsVisible(bool visible)
{
    FTickLabels = visible;
    update();
}

void TSlider::setLabelDecimals(int decimals)
{
    FLabelDecimals = std::clamp(decimals, 0, 6);
    update();
}

void TSlider::setPointerColor(const QColor& color)
{
    FPointerColor = color;
    update();
}

void TSlider::setTrackColor(const QColor& color)
{
    FTrackColor = color;
    update();
}

void TSlider::setRightInset(int pixels)
{
    FRightInset = std::max(0, pixels);
    update();
}

void TSlider::setMinimumTrackMargin(double margin)
{
    FMinimumMargin = std::max(0.0, margin);
    update();
}

double TSlider::trackMargin() const
{
    return scale().left;
}

double TSlider::positionAt(double x) const
{
    const TScale s = scale();
    const double span = s.right - s.left;
    if (span <= 0)
        return FMinimum;
    const double fraction = std::clamp((x - s.left) / span, 0.0, 1.0);
    return FMinimum + fraction * (FMaximum - FMinimum);
}

double TSlider::xOf(double value) const
{
    const TScale s = scale();
    return s.left + (value - FMinimum) / (FMaximum - FMinimum) * std::max(0.0, s.right - s.left);
}

QList<TSlider::TTickLabel> TSlider::tickLabels() const
{
    return scale().labels;
}

TSlider::TScale TSlider::scale() const
{
    const double usable = width() - FRightInset; // x just past the last column the slider owns
    const double thumbMargin = std::max(kThumbMargin, FMinimumMargin);
    TScale best;
    best.left = thumbMargin;
    best.right = usable - 1 - thumbMargin;
    if (!hasScale() || !FTickLabels)
        return best;

    const QFontMetricsF fm(font());
    const double blank = fm.horizontalAdvance(u' ');
    const double labelTop = trackY() + kThumbHeight / 2 + 2 + kMajorTickLength + 1;
    const int ticks = FMajorTicks;
    const int steps = (ticks - 1) * (FMinorTicks + 1);
    const auto valueAt = [this, ticks](int i) -> double {
        return FMinimum + (FMaximum - FMinimum) * i / (ticks - 1);
    };
    QStringList full, shortened;
    for (int i = 0; i < ticks; ++i) {
        full << QString::number(valueAt(i), 'f', FLabelDecimals);
        shortened << ShortLabel(valueAt(i), FLabelDecimals);
    }
    // Full labels on every tick first; then shorter ones, then on every second tick, and so on.
    for (int stride = 1; stride < ticks; ++stride) {
        for (const QStringList* texts : {&full, &shortened}) {
            if (texts == &shortened && shortened == full)
                continue; // no shorter form to offer
            TScale candidate;
            const double endHalf =
                std::max(fm.horizontalAdvance(texts->front()), fm.horizontalAdvance(texts->back()))
                / 2;
            candidate.left = std::max(thumbMargin, endHalf + blank);
            candidate.right = usable - 1 - candidate.left;
            bool apart = candidate.right > candidate.left;
            for (int i = 0; i < ticks; i += stride) {
                const QString& t = (*texts)[i];
                const double w = fm.horizontalAdvance(t);
                // The tick is drawn on a whole pixel; its label is centred on that pixel.
                const double tickX = std::round(candidate.left
                    + (candidate.right - candidate.left) * (i * (FMinorTicks + 1)) / steps);
                const double boxLeft = std::clamp(tickX - w / 2, 0.0, std::max(0.0, usable - w));
                const QRectF box(boxLeft, labelTop, w, fm.height());
                if (!candidate.labels.isEmpty()
                    && box.left() - candidate.labels.back().box.right() < blank)
                    apart = false;
                candidate.labels.append({t, tickX, box});
            }
            best = candidate;
            if (apart)
                return best;
        }
    }
    return best;
}

bool TSlider::hasScale() const
{
    return FMajorTicks >= 2;
}

double TSlider::trackY() const
{
    // With a scale the track sits at the top and the ticks and labels go under it.
    return hasScale() ? 1 + kThumbHeight / 2 : height() / 2.0;
}

QRectF TSlider::thumbRect() const
{
    const double h = std::min(kThumbHeight, height() - 2.0);
    return {xOf(FPosition) - kThumbWidth / 2, trackY() - h / 2, kThumbWidth, h};
}

QSize TSlider::sizeHint() const
{
    return {201, hasScale() ? (FTickLabels ? 45 : 28) : 21};
}

QSize TSlider::minimumSizeHint() const
{
    return {static_cast<int>(4 * kThumbMargin), 21};
}

void TSlider::stepBy(double delta)
{
    const quint64 before = FChanges;
    setPosition(FPosition + delta);
    if (FChanges != before)
        emit moveFinished(FPosition);
}

void TSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const double x = event->position().x();
    FDragging = true;
    FChangesAtPress = FChanges;
    // Grabbing the thumb keeps it under the pointer where it was taken; a press elsewhere on the
    // track puts the thumb there first.
    if (thumbRect().contains(event->position())) {
        FDragOffset = x - xOf(FPosition);
    } else {
        FDragOffset = 0;
        setPosition(positionAt(x));
    }
    event->accept();
}

void TSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (!FDragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    setPosition(positionAt(event->position().x() - FDragOffset));
    event->accept();
}

void TSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (!FDragging || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    FDragging = false;
    if (FChanges != FChangesAtPress)
        emit moveFinished(FPosition);
    event->accept();
}

void TSlider::wheelEvent(QWheelEvent* event)
{
    const QPoint angle = event->angleDelta();
    FWheelRemainder += angle.y() != 0 ? angle.y() : angle.x();
    // One notch is 120 eighths of a degree; fine-resolution wheels send parts of it.
    const int notches = FWheelRemainder / 120;
    FWheelRemainder -= notches * 120;
    if (notches != 0)
        stepBy(notches * FSmallStep);
    event->accept();
}

void TSlider::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
        stepBy(FSmallStep);
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        stepBy(-FSmallStep);
        break;
    case Qt::Key_PageUp:
        stepBy(FLargeStep);
        break;
    case Qt::Key_PageDown:
        stepBy(-FLargeStep);
        break;
    case Qt::Key_Home:
        stepBy(FMinimum - FPosition);
        break;
    case Qt::Key_End:
        stepBy(FMaximum - FPosition);
        break;
    default:
        // Esc, Enter and the rest belong to the dialog.
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TSlider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const bool enabled = isEnabled();
    const double y = trackY();
    const TScale s = scale();
    const double left = s.left;
    const double right = s.right;

    // Sunken groove.
    const QRectF groove(left - 2, y - kGrooveHeight / 2, right - left + 4, kGrooveHeight);
    p.setPen(Qt::NoPen);
    p.setBrush(enabled ? FTrackColor : pal.color(QPalette::Disabled, QPalette::Window));
    p.drawRect(groove);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(groove.topLeft(), groove.topRight());
    p.drawLine(groove.topLeft(), groove.bottomLeft());
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(groove.bottomLeft(), groove.bottomRight());
    p.drawLine(groove.topRight(), groove.bottomRight());

    // Scale under the track.
    if (hasScale()) {
        const QColor ink = pal.color(enabled ? QPalette::Active : QPalette::Disabled,
                                     QPalette::WindowText);
        p.setPen(ink);
        const double tickTop = y + kThumbHeight / 2 + 2;
        const int steps = (FMajorTicks - 1) * (FMinorTicks + 1);
        for (int k = 0; k <= steps; ++k) {
            const bool major = k % (FMinorTicks + 1) == 0;
            const double x = std::round(left + (right - left) * k / steps);
            p.drawLine(QPointF(x, tickTop),
                       QPointF(x, tickTop + (major ? kMajorTickLength : kMinorTickLength)));
        }
        for (const TTickLabel& label : s.labels)
            p.drawText(label.box, Qt::AlignCenter, label.text);
    }

    // Thumb: a pointer towards the scale when there is one, a plain block otherwise.
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF t = thumbRect().adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath thumb;
    if (hasScale()) {
        const double tip = t.width() / 2;
        thumb.moveTo(t.topLeft());
        thumb.lineTo(t.topRight());
        thumb.lineTo(t.right(), t.bottom() - tip);
        thumb.lineTo(t.center().x(), t.bottom());
        thumb.lineTo(t.left(), t.bottom() - tip);
        thumb.closeSubpath();
    } else {
        thumb.addRoundedRect(t, 1.5, 1.5);
    }
    const QColor face = enabled ? FPointerColor : pal.color(QPalette::Disabled, QPalette::Button);
    QLinearGradient shade(t.topLeft(), t.topRight());
    shade.setColorAt(0.0, face.lighter(130));
    shade.setColorAt(1.0, face.darker(130));
    p.setBrush(shade);
    p.setPen(QPen(hasFocus() ? pal.color(QPalette::Highlight) : face.darker(250),
                  hasFocus() ? 1.5 : 1.0));
    p.drawPath(thumb);
}

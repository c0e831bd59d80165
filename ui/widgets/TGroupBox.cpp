#include "ui/widgets/TGroupBox.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

TGroupBox::TGroupBox(const QString& title, QWidget* parent)
    : QGroupBox(title, parent)
{
}

int TGroupBox::frameTop() const
{
    return title().isEmpty() ? 0 : fontMetrics().height() / 2;
}

QRect TGroupBox::titleRect() const
{
    if (title().isEmpty())
        return {};
    const QFontMetrics fm = fontMetrics();
    const int w = std::min(fm.horizontalAdvance(title()) + 2 * kTitleGap, width() - 2 * kTitleLeft);
    return {kTitleLeft, 0, std::max(0, w), fm.height()};
}

void TGroupBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const int top = frameTop();
    const int right = width() - 1;
    const int bottom = height() - 1;
    const QRect title = titleRect();

    // Etched: a dark rectangle with a light one a pixel down and to the right; the top lines
    // leave a gap for the title.
    const auto frame = [&](const QColor& color, int offset) {
        p.setPen(color);
        const int l = offset;
        const int t = top + offset;
        const int r = right - 1 + offset;
        const int b = bottom - 1 + offset;
        if (title.isEmpty()) {
            p.drawLine(l, t, r, t);
        } else {
            p.drawLine(l, t, title.left() - 1, t);
            p.drawLine(title.right() + 1, t, r, t);
        }
        p.drawLine(l, t, l, b);
        p.drawLine(l, b, r, b);
        p.drawLine(r, t, r, b);
    };
    frame(pal.color(QPalette::Dark), 0);
    frame(pal.color(QPalette::Light), 1);

    if (!title.isEmpty()) {
        p.setPen(pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                           QPalette::WindowText));
        p.drawText(title, Qt::AlignCenter | Qt::TextSingleLine, this->title());
    }
}

#include "tests/ui/TPaintedShape.h"

#include <QGroupBox>
#include <QImage>
#include <QWidget>

#include <algorithm>
#include <climits>

namespace {

// Antialiased edges fade out; below this opacity a pixel does not count as shown.
constexpr int kVisibleAlpha = 48;
// A straight run of painted pixels at least this long is a frame line, not part of a letter.
constexpr int kLineRun = 24;

std::vector<uint8_t> Painted(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    std::vector<uint8_t> mask(size_t(image.width()) * size_t(image.height()), 0);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            mask[size_t(y) * size_t(image.width()) + size_t(x)] = qAlpha(line[x]) >= kVisibleAlpha;
    }
    return mask;
}

} // namespace

TPaintedShape::TPaintedShape(QRect bounds, std::vector<uint8_t> mask)
    : FBounds(bounds)
    , FMask(std::move(mask))
{
}

TPaintedShape TPaintedShape::FromMask(QPoint origin, int width, int height,
                                      const std::vector<uint8_t>& mask)
{
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (mask[size_t(y) * size_t(width) + size_t(x)]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return {};
    const QRect local(QPoint(left, top), QPoint(right, bottom));
    std::vector<uint8_t> cut(size_t(local.width()) * size_t(local.height()));
    for (int y = 0; y < local.height(); ++y) {
        for (int x = 0; x < local.width(); ++x) {
            cut[size_t(y) * size_t(local.width()) + size_t(x)] =
                mask[size_t(y + top) * size_t(width) + size_t(x + left)];
        }
    }
    return {local.translated(origin), std::move(cut)};
}

TPaintedShape TPaintedShape::Of(QWidget* widget, QWidget* window)
{
    return FromMask(widget->mapTo(window, QPoint(0, 0)), widget->width(), widget->height(),
                    Painted(widget));
}

TPaintedShape TPaintedShape::Filled(QRect rect, QWidget* widget, QWidget* window)
{
    if (rect.isEmpty())
        return {};
    return {rect.translated(widget->mapTo(window, QPoint(0, 0))),
            std::vector<uint8_t>(size_t(rect.width()) * size_t(rect.height()), 1)};
}

std::pair<TPaintedShape, TPaintedShape> TPaintedShape::FrameAndTitle(QGroupBox* box,
                                                                     QWidget* window)
{
    const int w = box->width();
    const int h = box->height();
    const std::vector<uint8_t> all = Painted(box);
    std::vector<uint8_t> frame(all.size(), 0);
    const auto at = [w](int x, int y) { return size_t(y) * size_t(w) + size_t(x); };
    // Long vertical runs; then horizontal runs that are long or start from a vertical line, as
    // the stub of the top line between a corner and the title does.
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h;) {
            int end = y;
            while (end < h && all[at(x, end)])
                ++end;
            if (end - y >= kLineRun) {
                for (int k = y; k < end; ++k)
                    frame[at(x, k)] = 1;
            }
            y = end + 1;
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w;) {
            int end = x;
            bool fromLine = false;
            while (end < w && all[at(end, y)]) {
                fromLine = fromLine || frame[at(end, y)];
                ++end;
            }
            if (end - x >= kLineRun || (fromLine && end - x > 1)) {
                for (int k = x; k < end; ++k)
                    frame[at(k, y)] = 1;
            }
            x = end + 1;
        }
    }
    std::vector<uint8_t> rest(all.size(), 0);
    for (size_t i = 0; i < all.size(); ++i)
        rest[i] = all[i] && !frame[i];
    const QPoint origin = box->mapTo(window, QPoint(0, 0));
    return {FromMask(origin, w, h, frame), FromMask(origin, w, h, rest)};
}

bool TPaintedShape::At(int x, int y) const
{
    if (!FBounds.contains(x, y))
        return false;
    return FMask[size_t(y - FBounds.top()) * size_t(FBounds.width()) + size_t(x - FBounds.left())];
}

bool TPaintedShape::Near(const TPaintedShape& other, int dx, int dy) const
{
    if (IsEmpty() || other.IsEmpty())
        return false;
    const QRect reach = FBounds & other.FBounds.adjusted(-dx, -dy, dx, dy);
    for (int y = reach.top(); y <= reach.bottom(); ++y) {
        for (int x = reach.left(); x <= reach.right(); ++x) {
            if (!At(x, y))
                continue;
            for (int ny = y - dy; ny <= y + dy; ++ny) {
                for (int nx = x - dx; nx <= x + dx; ++nx) {
                    if (other.At(nx, ny))
                        return true;
                }
            }
        }
    }
    return false;
}

bool TPaintedShape::OverlapsBeyondAnEdge(const TPaintedShape& other) const
{
    const QRect common = FBounds & other.FBounds;
    int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
    for (int y = common.top(); y <= common.bottom(); ++y) {
        for (int x = common.left(); x <= common.right(); ++x) {
            if (At(x, y) && other.At(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right > left && bottom > top;
}

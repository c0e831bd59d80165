#pragma once

#include <QRect>

#include <cstdint>
#include <utility>
#include <vector>

class QGroupBox;
class QWidget;

// What a widget puts on the screen by itself, without its children: the pixels it paints, placed
// where they show in the window the widget lies in. Two shapes are compared pixel by pixel, so
// a slider's scale or a label's text counts where it is drawn, not wherever its widget's
// rectangle reaches.
class TPaintedShape {
public:
    TPaintedShape() = default;

    // Renders `widget` alone: no children, and no background unless it fills its own.
    static TPaintedShape Of(QWidget* widget, QWidget* window);
    // Every pixel of `rect`, in `widget`'s coordinates, placed in `window`.
    static TPaintedShape Filled(QRect rect, QWidget* widget, QWidget* window);
    // A group box's own painting split into its frame (the long straight runs) and the rest,
    // which is its title.
    static std::pair<TPaintedShape, TPaintedShape> FrameAndTitle(QGroupBox* box, QWidget* window);

    bool IsEmpty() const { return FBounds.isEmpty(); }
    QRect Bounds() const { return FBounds; } // window coordinates

    // True when a pixel of this shape lies within `dx` pixels across and `dy` pixels down or up
    // of a pixel of `other`: (0, 0) asks whether they overlap, (1, 1) whether they overlap or
    // touch, (n, 1) whether fewer than n clear pixels stand between them side by side.
    bool Near(const TPaintedShape& other, int dx, int dy) const;
    // True when the pixels both shapes paint reach beyond a shared edge line one pixel wide.
    bool OverlapsBeyondAnEdge(const TPaintedShape& other) const;

private:
    TPaintedShape(QRect bounds, std::vector<uint8_t> mask);
    bool At(int x, int y) const; // window coordinates; false outside the bounds
    static TPaintedShape FromMask(QPoint origin, int width, int height,
                                  const std::vector<uint8_t>& mask);

    QRect FBounds;              // the painted pixels' bounding box
    std::vector<uint8_t> FMask; // FBounds' pixels row by row, 1 where painted
};

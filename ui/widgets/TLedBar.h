#pragma once

#include <QColor>
#include <QWidget>

#include <limits>

// A horizontal bar of LED segments from 0 to a maximum. Each segment takes the colour of the
// section its value falls in: the first colour below the end of section 1, the second below the
// end of section 2, the third beyond. Lit segments show the position; the others stay dim.
class TLedBar : public QWidget {
    Q_OBJECT
public:
    explicit TLedBar(QWidget* parent = nullptr);

    // The position as set; values outside 0..maximum light none or all segments.
    double position() const { return FPosition; }
    void setPosition(double position);

    double maximum() const { return FMaximum; }
    // A maximum at or below 0 is ignored.
    void setMaximum(double maximum);

    // Ends of the first two colour sections, in the units of the position. Both start beyond any
    // position, so a bar nobody sets sections on is plain in the first colour.
    double section1End() const { return FSection1End; }
    void setSection1End(double end);
    double section2End() const { return FSection2End; }
    void setSection2End(double end);

    QColor section1Color() const { return FColors[0]; }
    void setSection1Color(const QColor& color);
    QColor section2Color() const { return FColors[1]; }
    void setSection2Color(const QColor& color);
    QColor section3Color() const { return FColors[2]; }
    void setSection3Color(const QColor& color);

    // Segment width and the gap after it, in pixels.
    void setSegmentWidth(int pixels);
    void setSegmentSpacing(int pixels);

    // What the painting shows, for tests: the colour of the section `value` falls in, the number
    // of segments the bar has at its present width and how many of them are lit.
    QColor colorAt(double value) const;
    int segmentCount() const;
    int litSegmentCount() const;

    QSize sizeHint() const override { return {200, 21}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect segmentArea() const;
    QRect segmentRect(int index) const;

    double FPosition = 0;              // as set by the caller
    double FMaximum = 1024;            // full-scale value
    double FSection1End = std::numeric_limits<double>::infinity(); // first colour below
    double FSection2End = std::numeric_limits<double>::infinity(); // second colour below
    QColor FColors[3] = {Qt::yellow, QColor(0, 220, 0), Qt::red}; // section colours
    int FSegmentWidth = 3;             // pixels per segment
    int FSegmentSpacing = 1;           // pixels between segments
};

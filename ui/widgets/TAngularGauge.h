#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

// A round dial with a pointer. The scale runs clockwise along an arc that starts at arcStart
// degrees (0 = three o'clock, counter-clockwise positive) and spans arcSpan degrees; three
// coloured sections lie along the inside of the scale, and two texts stand above and below the
// hub.
class TAngularGauge : public QWidget {
    Q_OBJECT
public:
    explicit TAngularGauge(QWidget* parent = nullptr);

    // The position is kept within minimum..maximum.
    double position() const { return FPosition; }
    void setPosition(double position);

    double minimum() const { return FMinimum; }
    double maximum() const { return FMaximum; }
    // Ignored unless minimum < maximum; the position is clamped to the new range.
    void setRange(double minimum, double maximum);

    double arcStart() const { return FArcStart; }
    void setArcStart(double degrees);
    double arcSpan() const { return FArcSpan; }
    void setArcSpan(double degrees);

    // Major ticks, evenly spread from minimum to maximum and labelled with their values; minor
    // ticks between each pair of major ones.
    int majorTickCount() const { return FMajorTicks; }
    void setMajorTickCount(int count);
    void setMinorTickCount(int perMajorInterval);
    void setLabelDecimals(int decimals);

    QString topText() const { return FTopText; }
    void setTopText(const QString& text);
    QString bottomText() const { return FBottomText; }
    void setBottomText(const QString& text);
    void setHubTextColor(const QColor& color);

    // Section n (1..3) runs from the end of the previous one (the minimum for section 1) to its
    // own end.
    double section1End() const { return FSectionEnd[0]; }
    void setSection1End(double end);
    double section2End() const { return FSectionEnd[1]; }
    void setSection2End(double end);
    double section3End() const { return FSectionEnd[2]; }
    void setSection3End(double end);
    void setSection1Color(const QColor& color);
    void setSection2Color(const QColor& color);
    void setSection3Color(const QColor& color);

    QColor pointerColor() const { return FPointerColor; }
    void setPointerColor(const QColor& color);
    QColor faceColor() const { return FFaceColor; }
    void setFaceColor(const QColor& color);
    // Colour of the ticks and their labels.
    void setScaleColor(const QColor& color);

    // Where `value` lies on the dial, in degrees; values outside the range go to its ends.
    double angleOf(double value) const;

    QSize sizeHint() const override { return {215, 213}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Everything but the pointer: bezel, face, sections, ticks, labels and hub texts.
    void paintStatic(QPainter& p) const;
    void paintPointer(QPainter& p, double position) const;
    // The pixels the pointer at `position` may touch, antialiasing included.
    QRect pointerRect(double position) const;
    // A setting the static layer shows has changed.
    void restyle();
    void setSectionEnd(int index, double end);
    void setSectionColor(int index, const QColor& color);

    double FPosition = 0;                 // within FMinimum..FMaximum
    double FMinimum = 0;                  // value at the start of the arc
    double FMaximum = 100;                // value at the end of the arc
    double FArcStart = 230;               // degrees, where the minimum lies
    double FArcSpan = 280;                // degrees, clockwise from FArcStart
    int FMajorTicks = 11;                 // labelled ticks, ends included
    int FMinorTicks = 4;                  // ticks between two major ones
    int FLabelDecimals = 0;               // decimals of the tick labels
    QString FTopText;                     // above the hub
    QString FBottomText;                  // below the hub
    QColor FHubTextColor = Qt::yellow;    // colour of both hub texts
    double FSectionEnd[3] = {100, 100, 100};                // section ends, in values
    QColor FSectionColor[3] = {Qt::black, Qt::yellow, Qt::red}; // section colours
    QColor FPointerColor = Qt::white;     // the needle
    QColor FFaceColor = Qt::black;        // the dial behind the scale
    QColor FScaleColor = Qt::white;       // ticks and labels
    // The static layer as last painted; null when a setting, the size, the font, the palette
    // or the style changed since. Painted again also when the device pixel ratio differs.
    QPixmap FStatic;
};

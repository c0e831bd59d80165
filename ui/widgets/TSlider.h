#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <QWidget>

// A horizontal slider whose position is a double, so that dragging gives any value in between
// (123.7, not only 123). Painted by hand: QSlider's value is an int.
//
// positionChanged is emitted whenever the position really changes, by the user or by the
// program, and never when a set leaves it where it was. moveFinished follows a user's move
// that changed the position: the release of a press or drag, each key press, each wheel notch.
class TSlider : public QWidget {
    Q_OBJECT
public:
    explicit TSlider(QWidget* parent = nullptr);

    double position() const { return FPosition; }
    // Clamped to minimum..maximum; NaN is ignored.
    void setPosition(double position);
    // The position truncated toward zero, which is what the dialogs store.
    int value() const;

    double minimum() const { return FMinimum; }
    double maximum() const { return FMaximum; }
    // Ignored unless minimum < maximum. The position is clamped into the new range, which emits
    // positionChanged if that moves it.
    void setRange(double minimum, double maximum);

    // Arrow keys and each wheel notch move by the small step, PageUp and PageDown by the large
    // one; Home and End go to the ends.
    double smallStep() const { return FSmallStep; }
    void setSmallStep(double step);
    double largeStep() const { return FLargeStep; }
    void setLargeStep(double step);

    // Major ticks spread evenly from minimum to maximum, ends included (0 or 1: no ticks), and
    // minor ticks between each pair of major ones: 6 and 9 give a tick every 10 on 0..500.
    int majorTickCount() const { return FMajorTicks; }
    void setMajorTickCount(int count);
    int minorTickCount() const { return FMinorTicks; }
    void setMinorTickCount(int perMajorInterval);
    // Values of the major ticks written under them, with the given number of decimals. Each
    // label stands centred under its tick, and the track's ends keep far enough from the sides
    // for the end labels to do so too, with a blank to spare. Where the labels would come closer
    // than a blank to one another, the slider writes them shorter (1k, 2k for thousands; whole
    // numbers without their decimals) and then only every second, third ... one.
    bool tickLabelsVisible() const { return FTickLabels; }
    void setTickLabelsVisible(bool visible);
    int labelDecimals() const { return FLabelDecimals; }
    void setLabelDecimals(int decimals);

    // Columns at the right edge that another control covers: the track, the thumb and the labels
    // keep clear of them.
    int rightInset() const { return FRightInset; }
    void setRightInset(int pixels);
    // How far the track's ends stand in from the sides, at least `margin`: sliders stacked one
    // above the other share it so that their thumbs line up.
    double trackMargin() const;
    void setMinimumTrackMargin(double margin);

    QColor pointerColor() const { return FPointerColor; }
    void setPointerColor(const QColor& color);
    QColor trackColor() const { return FTrackColor; }
    void setTrackColor(const QColor& color);

    // The value a press at widget x coordinate `x` sets, and the x a value is drawn at.
    double positionAt(double x) const;
    double xOf(double value) const;

    // A major tick's label as the slider draws it: the x of its tick and the box its text fills.
    struct TTickLabel {
        QString text;
        double tickX;
        QRectF box;
    };
    // The labels drawn under the major ticks, left to right; none when they are hidden.
    QList<TTickLabel> tickLabels() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void positionChanged(double position);
    void moveFinished(double position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Where the track runs and which labels stand under it, for the current size and font.
    struct TScale {
        double left = 0;  // x of the minimum
        double right = 0; // x of the maximum
        QList<TTickLabel> labels;
    };
    TScale scale() const;
    bool hasScale() const;
    double trackY() const;
    QRectF thumbRect() const;
    // A user's step: move, then report the move finished if it changed anything.
    void stepBy(double delta);

    double FPosition = 0;               // within FMinimum..FMaximum
    double FMinimum = 0;                // left end
    double FMaximum = 100;              // right end
    double FSmallStep = 1;              // arrow keys, wheel
    double FLargeStep = 10;             // page keys
    int FMajorTicks = 0;                // labelled ticks, ends included
    int FMinorTicks = 0;                // ticks between two major ones
    bool FTickLabels = true;            // labels under the major ticks
    int FLabelDecimals = 0;             // decimals of the labels
    int FRightInset = 0;                // columns at the right edge left to a neighbour
    double FMinimumMargin = 0;          // least distance of the track's ends from the sides
    QColor FPointerColor = Qt::yellow;  // the thumb
    QColor FTrackColor = Qt::white;     // inside of the groove
    quint64 FChanges = 0;               // counts real changes, to tell whether a drag moved
    quint64 FChangesAtPress = 0;        // FChanges when the mouse went down
    bool FDragging = false;             // the left button went down on the slider
    double FDragOffset = 0;             // pointer x minus thumb x when the drag began
    int FWheelRemainder = 0;            // wheel angle not yet worth a notch (fine wheels)
};

#pragma once

#include <QGroupBox>

// A group box drawn as the windows' layout expects it: an etched frame whose top line runs
// through the middle of the title, the title breaking the line eight pixels in from the left.
// The frame's top line so lies about half a line down, well above the first row of controls
// that the windows place 16 pixels down in the box.
class TGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TGroupBox(const QString& title, QWidget* parent = nullptr);

    static constexpr int kTitleLeft = 8; // where the title's gap in the top line begins
    static constexpr int kTitleGap = 3;  // clear pixels on each side of the title

    // The frame's top line, and the rectangle the title is drawn in.
    int frameTop() const;
    QRect titleRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

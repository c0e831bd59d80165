#pragma once

#include <QColor>
#include <QLabel>

// The read-out box beside the instruments: right-aligned bold text on navy in a sunken frame,
// "0" until the first setText.
class TValueBox : public QLabel {
    Q_OBJECT
public:
    explicit TValueBox(QWidget* parent = nullptr);

    void setBoxColor(const QColor& color);
    void setTextColor(const QColor& color);

    QSize sizeHint() const override { return {37, 21}; }
};

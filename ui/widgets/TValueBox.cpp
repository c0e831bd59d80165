#include "ui/widgets/TValueBox.h"

TValueBox::TValueBox(QWidget* parent)
    : QLabel(QStringLiteral("0"), parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setIndent(2);
    setAutoFillBackground(true);
    QFont f = font();
    f.setBold(true);
    setFont(f);
    setBoxColor(QColor(0, 0, 128));
    setTextColor(Qt::white);
}

void TValueBox::setBoxColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
}

void TValueBox::setTextColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Active, QPalette::WindowText, color);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, color);
    // A disabled box keeps showing its value, greyed out.
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    setPalette(pal);
}

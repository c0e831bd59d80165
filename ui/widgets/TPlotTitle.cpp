#include "ui/widgets/TPlotTitle.h"

TPlotTitle::TPlotTitle(QCustomPlot* plot, const QString& text, const QFont& font)
    : QCPTextElement(plot, text, font)
{
}

void TPlotTitle::measure() const
{
    if (FMinimum.isValid() && FMeasuredText == mText && FMeasuredFont == mFont
        && FMeasuredMargins == mMargins)
        return;
    FMeasuredText = mText;
    FMeasuredFont = mFont;
    FMeasuredMargins = mMargins;
    FMinimum = QCPTextElement::minimumOuterSizeHint();
    FMaximum = QCPTextElement::maximumOuterSizeHint();
}

QSize TPlotTitle::minimumOuterSizeHint() const
{
    measure();
    return FMinimum;
}

QSize TPlotTitle::maximumOuterSizeHint() const
{
    measure();
    return FMaximum;
}

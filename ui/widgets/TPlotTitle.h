#pragma once

#include <qcustomplot.h>

#include <QFont>
#include <QMargins>
#include <QSize>
#include <QString>

// A plot's title. QCustomPlot asks a title for its size on every replot, and the title measures
// its text each time; a plot that scrolls replots with every point. The sizes are kept until the
// text, the font or the margins change.
class TPlotTitle : public QCPTextElement {
    Q_OBJECT
public:
    TPlotTitle(QCustomPlot* plot, const QString& text, const QFont& font);

protected:
    QSize minimumOuterSizeHint() const override;
    QSize maximumOuterSizeHint() const override;

private:
    void measure() const;

    mutable QString FMeasuredText;
    mutable QFont FMeasuredFont;
    mutable QMargins FMeasuredMargins;
    mutable QSize FMinimum; // invalid until measured
    mutable QSize FMaximum;
};

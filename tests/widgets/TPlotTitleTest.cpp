#include "ui/widgets/TPlotTitle.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Asks the title for its sizes as the plot's layout does, and measures afresh beside it.
class TTitleProbe : public TPlotTitle {
public:
    using TPlotTitle::TPlotTitle;
    QSize minimum() const { return minimumOuterSizeHint(); }
    QSize maximum() const { return maximumOuterSizeHint(); }
    QSize freshMinimum() const { return QCPTextElement::minimumOuterSizeHint(); }
    QSize freshMaximum() const { return QCPTextElement::maximumOuterSizeHint(); }
};

TEST(PlotTitle, KeptSizesFollowEveryChangeOfTextFontAndMargins)
{
    QCustomPlot plot;
    QFont bold = plot.font();
    bold.setBold(true);
    TTitleProbe title(&plot, QStringLiteral("Lambda probe"), bold);
    const struct {
        const char* name;
        std::function<void()> change;
    } steps[] = {
        {"first measure", [] {}},
        {"measured again", [] {}},
        {"longer text", [&] { title.setText(QStringLiteral("Posición de la válvula / RPM")); }},
        {"two lines", [&] { title.setText(QStringLiteral("Lambda\nprobe")); }},
        {"larger font", [&] {
             QFont f = bold;
             f.setPixelSize(QFontInfo(bold).pixelSize() * 2);
             title.setFont(f);
         }},
        {"margins", [&] { title.setMargins(QMargins(3, 7, 11, 13)); }},
        {"empty text", [&] { title.setText(QString()); }},
    };
    QSize previous;
    for (const auto& step : steps) {
        step.change();
        EXPECT_EQ(title.minimum(), title.freshMinimum()) << step.name;
        EXPECT_EQ(title.maximum(), title.freshMaximum()) << step.name;
        if (std::string(step.name) != "measured again" && std::string(step.name) != "first measure")
            EXPECT_NE(title.minimum(), previous) << step.name << ": the change must show";
        previous = title.minimum();
    }
}

} // namespace

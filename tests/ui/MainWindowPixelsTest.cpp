// The main window as the user sees it at a fixed point of the simulated controller's clock,
// compared pixel by pixel with pictures of it kept in tests/ui/reference. The instruments draw
// from caches and repaint only what moved, and the plots redraw in step with the window: none
// of that may change a pixel. Two pictures are compared each time: the window painted afresh
// (grab) and what the updates of the whole run left in the window's backing store, where a
// part left unpainted would show.
//
// A colour channel may differ by 1: the gauge's dial is drawn once into a transparent layer and
// laid over the window, and blending in two steps rounds the antialiased edge pixels of its
// bezel differently from drawing them onto the window directly (about 230 pixels, never by more
// than 1). Anything left unpainted or drawn in another place differs by far more.
//
// BREVON_WRITE_REFERENCE_IMAGES=1 writes the pictures anew instead of comparing them, for a
// change of the looks that is meant.
#include "tests/ui/MainWindowFixture.h"

#include "ui/main/TLiveMonitor.h"
#include "ui/widgets/TPlot.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kStepMs = 50;              // one telemetry frame
constexpr uint64_t kSettledMs = 6000;    // by then the window has read the controller
constexpr int kFrames = 250;             // shown after the lambda plot is emptied: 12.5 s
constexpr int kTolerance = 1;            // per colour channel, for the blending of layers

struct TDifference {
    int pixels = 0;  // pixels whose colour differs
    int largest = 0; // the largest difference of one colour channel
    QImage map;      // differing pixels in red on the expected picture, dimmed
};

TDifference Compare(const QImage& expected, const QImage& actual)
{
    TDifference d;
    if (expected.size() != actual.size()) {
        d.pixels = -1;
        return d;
    }
    d.map = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < expected.height(); ++y) {
        const auto* e = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        const auto* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
        auto* m = reinterpret_cast<QRgb*>(d.map.scanLine(y));
        for (int x = 0; x < expected.width(); ++x) {
            const int diff = std::max({ std::abs(qRed(e[x]) - qRed(a[x])),
                                        std::abs(qGreen(e[x]) - qGreen(a[x])),
                                        std::abs(qBlue(e[x]) - qBlue(a[x])) });
            if (diff <= kTolerance) {
                m[x] = qRgb(qGray(e[x]) / 3, qGray(e[x]) / 3, qGray(e[x]) / 3);
                continue;
            }
            ++d.pixels;
            d.largest = std::max(d.largest, diff);
            m[x] = qRgb(255, 0, 0);
        }
    }
    return d;
}

class TMainWindowPixels : public MainWindowFixture {
protected:
    MainWindowRig::TOptions RigOptions() const override
    {
        MainWindowRig::TOptions options;
        options.startClock = false; // the controller's clock moves only by Step
        return options;
    }

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        // The control LED blinks with Timer1: it ticks here once, at the end, not on the wall
        // clock.
        window().Timer1().stop();
    }

    // One telemetry frame of the controller's clock, handled by the window.
    bool Step()
    {
        controller().Advance(kStepMs);
        return rig().RunFrames(1);
    }

    bool Connected()
    {
        return link()->GetLinkStatus() == lkReceiving
            && rig().supervision().LastLinkStatus() == lkReceiving
            && protocol().ControllerVersion() != 0 && !protocol().ExchangeBusy()
            && controlSet().Device().ToBytes() == controller().ControlSet();
    }

    // Draws what is pending: the shown plot's replot, then the window's updates.
    void Settle()
    {
        for (TPlot* plot : { window().Monitor().iPlot1(), window().Monitor().iPlot2() })
            plot->flushReplot();
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    static QString ReferencePath(const char* name)
    {
        return QStringLiteral(BREVON_REFERENCE_IMAGES "/%1.png").arg(QLatin1String(name));
    }

    void ExpectOnScreen(const char* name)
    {
        Settle();
        const QImage painted = window().grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage onScreen = window().screen()->grabWindow(window().winId()).toImage()
                                    .convertToFormat(QImage::Format_RGB32);
        const QString reference = ReferencePath(name);
        if (qEnvironmentVariableIntValue("BREVON_WRITE_REFERENCE_IMAGES") == 1) {
            ASSERT_TRUE(painted.save(reference)) << reference.toStdString();
            return;
        }
        const QImage expected(reference);
        ASSERT_FALSE(expected.isNull()) << "no picture at " << reference.toStdString();
        const QImage rgb = expected.convertToFormat(QImage::Format_RGB32);
        const struct {
            const char* what;
            const QImage& image;
        } pictures[] = { { "painted afresh", painted }, { "left by the updates", onScreen } };
        for (const auto& p : pictures) {
            const TDifference d = Compare(rgb, p.image);
            if (d.pixels == 0)
                continue;
            const QString stem = QDir(QCoreApplication::applicationDirPath())
                                     .filePath(QStringLiteral("%1-%2").arg(QLatin1String(name),
                                               QString::fromLatin1(p.what).replace(u' ', u'-')));
            p.image.save(stem + QStringLiteral(".png"));
            if (!d.map.isNull())
                d.map.save(stem + QStringLiteral("-difference.png"));
            ADD_FAILURE() << name << ", " << p.what << ": " << d.pixels
                          << " pixels differ by more than " << kTolerance
                          << " (-1: another size), by up to " << d.largest
                          << "; the picture and its difference are at " << stem.toStdString()
                          << "*.png";
        }
    }
};

TEST_F(TMainWindowPixels, WindowAtAFixedTimeLooksAsBefore)
{
    while (!Connected() && controller().NowMs() < kSettledMs)
        ASSERT_TRUE(Step());
    ASSERT_TRUE(Connected()) << "the window did not read the controller";
    while (controller().NowMs() < kSettledMs)
        ASSERT_TRUE(Step());
    // The lambda plot starts again from 0, so that its points do not depend on how long the
    // connection took.
    window().iPlot2DblClick();
    for (int i = 0; i < kFrames; ++i)
        ASSERT_TRUE(Step()) << "frame " << i;
    window().Timer1Timer();

    ExpectOnScreen("main-valve");
    window().BVerGrafClick();
    ExpectOnScreen("main-lambda");
}

} // namespace

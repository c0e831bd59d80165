#include "protocol/TTelemetryMonitor.h"

#include "protocol/CtrlSetEncoding.h"
#include "protocol/TControllerRules.h"
#include "protocol/TTelemetryView.h"

#include <cstdio>

namespace {

int Clamp(int n, int capacity)
{
    // snprintf reports the length it wanted; what is in the buffer is at most capacity - 1.
    return n < 0 ? 0 : (n >= capacity ? capacity - 1 : n);
}

} // namespace

void TTelemetryMonitor::SetFixedTexts(const QByteArray& controllerLabel,
                                      const QByteArray& detectedText)
{
    FControllerLabel = controllerLabel;
    FDetectedText = detectedText;
}

// The format, kept as written: its '0' flag is ignored because of the precision, and
// ".2" alone already gives the two digits of 1.04.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
int TTelemetryMonitor::FormatControllerText(char* out, int capacity, const char* label,
                                            uint16_t version)
{
    return Clamp(std::snprintf(out, size_t(capacity), "%s V-%x.%02.2x", label,
                               unsigned(version >> 8), unsigned(version & 0xFF)),
                 capacity);
}
#pragma GCC diagnostic pop

int TTelemetryMonitor::FormatMillivolts(char* out, int capacity, uint16_t counts)
{
    return Clamp(std::snprintf(out, size_t(capacity), "%0.0f", CountsToMillivolts(counts)),
                 capacity);
}

int TTelemetryMonitor::FormatVolts(char* out, int capacity, uint16_t counts)
{
    return Clamp(std::snprintf(out, size_t(capacity), "%0.2f", CountsToVolts(counts)), capacity);
}

int TTelemetryMonitor::FormatUnsigned(char* out, int capacity, unsigned value)
{
    return Clamp(std::snprintf(out, size_t(capacity), "%u", value), capacity);
}

void TTelemetryMonitor::HandleFrame(const uint8_t* rxBuf, uint16_t controllerVersion,
                                    TTelemetryView* view)
{
    // The record and the bookkeeping.
    FRecord = TTelemetry::FromBytes(rxBuf + 1);
    if (FRecord.RequestFlags & rfReloadSet)
        FReloadRequest = true;
    if (FSilenceTicks >= kReloadAfterSilence)
        FReloadRequest = true;
    FSilenceTicks = 0;
    ++FFrames;

    const double lambdaMv = CountsToMillivolts(FRecord.Lambda);
    const double lambdaSimMv = CountsToMillivolts(FRecord.LambdaSim);

    if (view) {
        // The controller text.
        if (controllerVersion != 0) {
            const int n = FormatControllerText(FControllerText, kTextSize,
                                               FControllerLabel.constData(), controllerVersion);
            view->ShowControllerText(QLatin1String(FControllerText, n));
        } else {
            view->ShowControllerText(QLatin1String(FDetectedText));
        }
        // LEDs, lambda, throttle, speed, valve.
        view->ShowFuel((FRecord.StatusFlags & sfOnGas) != 0);
        int n = FormatMillivolts(FLambdaText, kTextSize, FRecord.Lambda);
        view->ShowLambda(FRecord.Lambda, QLatin1String(FLambdaText, n));
        n = FormatVolts(FTpsText, kTextSize, FRecord.Tps);
        view->ShowTps(FRecord.Tps, QLatin1String(FTpsText, n));
        n = FormatUnsigned(FRpmText, kTextSize, FRecord.Rpm);
        view->ShowRpm(FRecord.Rpm * 0.001, QLatin1String(FRpmText, n));
        n = FormatUnsigned(FValveText, kTextSize, FRecord.AperturaActual);
        view->ShowValve(QLatin1String(FValveText, n), FRecord.Rpm, FRecord.AperturaActual);
        // The lambda plot.
        view->AddLambdaPoint(FPlotTime, lambdaMv);
        if (!TControllerRules::HasHighRegime(controllerVersion))
            view->ClearLambdaSim();
        else
            view->AddLambdaSimPoint(FPlotTime, lambdaSimMv);
    }
    // The next point's time.
    FPlotTime += kPlotStep;
}

bool TTelemetryMonitor::CountSilenceTick()
{
    if (FSilenceTicks >= kSilenceCap)
        return false;
    const bool lost = FSilenceTicks == kReloadAfterSilence;
    ++FSilenceTicks;
    return lost;
}

bool TTelemetryMonitor::TakeReloadRequest()
{
    const bool was = FReloadRequest;
    FReloadRequest = false;
    return was;
}

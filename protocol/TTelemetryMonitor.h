#pragma once

#include "protocol/TFixedTexts.h"
#include "protocol/TTelemetry.h"

#include <QByteArray>

#include <cstdint>

class TTelemetryView;

// The telemetry handling and the values kept with it: the current record, the
// silence count, the reload request and the lambda plot's time. User-interface thread only.
class TTelemetryMonitor {
public:
    // Timer1 ticks of silence after which the next frame asks for a reload (about 2 s).
    static constexpr int32_t kReloadAfterSilence = 4;
    static constexpr int32_t kSilenceCap = 255;
    static constexpr double kPlotStep = 0.05;

    // The fixed texts of the controller panel (SetFixedTexts of the main window), 8-bit.
    void SetFixedTexts(const QByteArray& controllerLabel, const QByteArray& detectedText);

    // Handles one STX frame: keeps its record, counts it, raises the reload request when the
    // controller asks for it or has been silent, shows the frame through `view` and moves the
    // lambda plot's time on. `rxBuf` is the decoder's 256-byte payload buffer; the record is
    // taken from positions 1 to 16 whatever the frame's length. `view` may be null (only the
    // bookkeeping runs then).
    void HandleFrame(const uint8_t* rxBuf, uint16_t controllerVersion, TTelemetryView* view);

    const TTelemetry& Record() const { return FRecord; }
    int32_t SilenceTicks() const { return FSilenceTicks; }
    bool ReloadRequest() const { return FReloadRequest; }
    double PlotTime() const { return FPlotTime; }
    uint32_t FramesHandled() const { return FFrames; }

    // Timer1's silence count: counts one tick of silence, stopping at 255. True on the tick that finds
    // the count at exactly 4: the caller then shows NotDetectedText and forgets the version.
    bool CountSilenceTick();
    // For the supervision tick: clears the request and tells whether it was set.
    bool TakeReloadRequest();
    // The lambda plot's double click.
    void ResetPlotTime() { FPlotTime = 0.0; }

    // The formats of the controller text, the millivolts, the volts and the engine speed, for the
    // view and the tests. Each writes a NUL-terminated text to `out` and returns its length.
    static int FormatControllerText(char* out, int capacity, const char* label, uint16_t version);
    static int FormatMillivolts(char* out, int capacity, uint16_t counts);
    static int FormatVolts(char* out, int capacity, uint16_t counts);
    static int FormatUnsigned(char* out, int capacity, unsigned value);

private:
    static constexpr int kTextSize = 100;

    TTelemetry FRecord;             // last record received; all zero at start-up
    int32_t FSilenceTicks = 0;      // Timer1 ticks since the last frame, up to 255
    bool FReloadRequest = false;    // the supervision tick is to read the control set again
    double FPlotTime = 0.0;         // X of the next lambda plot point
    uint32_t FFrames = 0;           // frames handled, for tests and diagnostics
    QByteArray FControllerLabel = TFixedTexts::ControllerLabel;
    QByteArray FDetectedText = TFixedTexts::DetectedText;
    // Scratch for the texts handed to the view: no allocation per frame.
    char FControllerText[kTextSize] {};
    char FLambdaText[kTextSize] {};
    char FTpsText[kTextSize] {};
    char FRpmText[kTextSize] {};
    char FValveText[kTextSize] {};
};

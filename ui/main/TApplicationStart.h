#pragma once

#include "link/TKorvelComm.h"
#include "ui/main/TMainForm.h"

#include <functional>

class QApplication;
class TWindowSet;

// The program's start: the translation exclusions, the application's title and icon, the seven
// windows in their order, the message loop. An exception that escapes is logged and shown in
// an error box; the program then ends with 1. Shared by the program and the demo, which differ only
// in the transports they give and what they add once the windows exist.
class TApplicationStart {
public:
    explicit TApplicationStart(TMainForm::TTransportFactory transports);

    // Run after the windows are made, before the main window is shown.
    std::function<void(TWindowSet& windows)> OnWindowsCreated;

    // 0, or 1 after a fatal error.
    int Run(QApplication& app);

private:
    static void RegisterTranslationExclusions();
    static int Fatal(const QString& message);

    TMainForm::TTransportFactory FTransports;
};

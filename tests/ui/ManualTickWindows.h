#pragma once

// The program's seven windows on the transports a test gives, with the link's 25 ms ticks and
// the supervision's 100 ms ticks driven by the test, one supervision tick every fourth link
// tick: no real time has to pass. The options live in a settings file of its own; the adapter
// firmware warning is not shown. Link the test with brevon_ui; the test main must make a
// QApplication.

#include "link/TKorvelComm.h"
#include "ui/main/TMainForm.h"
#include "ui/main/TWindowSet.h"

#include <QMessageBox>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class TManualTickWindows {
public:
    explicit TManualTickWindows(TKorvelComm::TTransports transports,
                                const QString& catalogBaseDir = {})
    {
        auto given = std::make_shared<TKorvelComm::TTransports>(std::move(transports));
        TMainForm::TOptions options;
        options.link.autoTick = false;
        options.settingsFile = FSettingsDir.filePath(QStringLiteral("Brevon.conf"));
        options.catalogBaseDir = catalogBaseDir;
        FWindows = std::make_unique<TWindowSet>([given] { return std::move(*given); }, options);
        window().ShowWarningBox = [](const QString&) {};
        window().show();
    }

    TMainForm& window() const { return FWindows->MainForm(); }
    TKorvelComm& link() const { return *window().Link(); }

    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            link().Tick();
            link().WaitIdle();
            if (++FTicks % 4 == 0)
                window().TimerRefreshCtrlSetTimer();
        }
    }

    // Ticks until `done` holds, at most `limit` ticks; whether it held.
    bool TicksUntil(const std::function<bool()>& done, int limit)
    {
        for (int i = 0; i < limit; ++i) {
            if (done())
                return true;
            Ticks(1);
        }
        return done();
    }

    // The access notice is on screen.
    bool NoticeShown() const
    {
        return window().AccessNotice() && window().AccessNotice()->isVisible();
    }

private:
    QTemporaryDir FSettingsDir;
    std::unique_ptr<TWindowSet> FWindows;
    int FTicks = 0;
};

#include "demo/TSimClock.h"
#include "demo/TSimulatorMenu.h"
#include "protocol/TFixedTexts.h"
#include "settings/TProgramStart.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"
#include "ui/main/TApplicationStart.h"
#include "ui/datalog/TToolsMenu.h"
#include "ui/main/TFirstPaintReport.h"
#include "ui/main/TWindowSet.h"
#include "ui/memory/TMemProtForm.h"
#include "ui/memory/TMemoryOps.h"
#include "ui/memory/TPassForm.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTimer>

#include "settings/Gettext.h"

#include <functional>
#include <map>

// Brevon on a simulated KORVEL-CONNECT adapter with a simulated Orbel controller on its
// serial line, both in this process. The real link and protocol run unchanged above the
// simulated transport. For screenshots, BREVON_DEMO_GRAPH=1 starts with the lambda plot shown,
// BREVON_DEMO_ACCESS_DENIED=1 starts with the adapter's access refused, and BREVON_DEMO_DIALOG
// opens one dialog once the controller's version is known: "ctrl", "cutoff" or "lambda" (the
// configuration dialogs), "load" (loading the memory), "pass" or "protect" (the two password
// dialogs), "viewlog" (the log viewer on the datalog BREVON_DEMO_FILE) or "compare" (the
// controller's control set against the control-set file BREVON_DEMO_FILE). For the start-up
// measure of bench/run, BREVON_DEMO_FIRST_PAINT_EXIT=1 reports the first paint of the main
// window on standard output and ends the program there.
int main(int argc, char** argv)
{
    const TProgramStart program(
        { QStringLiteral("brevon-demo"), QLatin1String(TFixedTexts::AppVersion),
          N_("Brevon on a simulated KORVEL-CONNECT adapter with a simulated Orbel controller, "
             "for trying the program without the hardware.") },
        argc, argv);
    if (program.Finished())
        return program.ExitCode();
    QApplication app(argc, argv);
    auto adapter = std::make_shared<TSimAdapter>();
    // Declared before the windows' start so that it outlives the link that drives it.
    TSimController controller(adapter);
    TSimClock clock(controller);
    TSimTransport* transport = nullptr;

    TApplicationStart start([adapter, &transport, &clock] {
        auto t = std::make_unique<TSimTransport>(adapter);
        t->SetBeforeCall(clock.Stepper());
        transport = t.get();
        TKorvelComm::TTransports transports;
        transports.push_back(std::move(t));
        return transports;
    });
    start.OnWindowsCreated = [&](TWindowSet& windows) {
        TMainForm& main = windows.MainForm();
        new TSimulatorMenu(*main.menuBar(), *adapter, controller, [&main, &transport] {
            return main.Link() ? transport : nullptr;
        });
        if (qEnvironmentVariableIntValue("BREVON_DEMO_ACCESS_DENIED") == 1) {
            // Before the first open attempt: the adapter is refused as without the udev rule.
            if (auto* denied = main.menuBar()->findChild<QAction*>(QStringLiteral("SimAccessDenied")))
                denied->setChecked(true);
        }
        if (qEnvironmentVariableIntValue("BREVON_DEMO_GRAPH") == 1)
            main.BVerGrafClick();
        if (qEnvironmentVariableIntValue("BREVON_DEMO_FIRST_PAINT_EXIT") == 1)
            new TFirstPaintReport(main);
        const QString dialog = qEnvironmentVariable("BREVON_DEMO_DIALOG");
        const QString file = qEnvironmentVariable("BREVON_DEMO_FILE");
        TToolsMenu* tools = main.menuBar()->findChild<TToolsMenu*>();
        const std::map<QString, std::function<void()>> openers = {
            {QStringLiteral("ctrl"), [&main] { main.BConfCtrlClick(); }},
            {QStringLiteral("cutoff"), [&main] { main.BConfCutOffClick(); }},
            {QStringLiteral("lambda"), [&main] { main.BConfLambdaClick(); }},
            {QStringLiteral("load"), [&main] { main.MemoryOps().BMemChargeClick(); }},
            {QStringLiteral("pass"), [&windows] { windows.PassForm().exec(); }},
            {QStringLiteral("protect"), [&windows] { windows.MemProtForm().exec(); }},
            {QStringLiteral("viewlog"), [tools, file] { tools->ViewLog(file); }},
            {QStringLiteral("compare"), [tools, file] { tools->CompareWithFile(file); }},
        };
        if (const auto open = openers.find(dialog); open != openers.end()) {
            // Once the controller has told its version and its control set has been read, so the
            // dialog shows what it enables and the comparison has the controller's values.
            auto* wait = new QTimer(&main);
            QObject::connect(wait, &QTimer::timeout, &main, [&main, wait, open = open->second] {
                if (main.Protocol().ControllerVersion() == 0 || !main.ControlSet().ConfirmedKnown())
                    return;
                wait->stop();
                wait->deleteLater();
                open();
            });
            wait->start(100);
        }
        clock.Start();
    };
    const int result = start.Run(app);
    clock.Stop();
    return result;
}

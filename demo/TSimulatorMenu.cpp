#include "demo/TSimulatorMenu.h"

#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"

#include <QActionGroup>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>

namespace {

constexpr uint8_t kWriteCommand = 0x21; // the write of the control set

QString VersionText(uint16_t version)
{
    return QStringLiteral("%1.%2").arg(version >> 8, 0, 16).arg(version & 0xFF, 2, 16, QLatin1Char('0'));
}

} // namespace

TSimulatorMenu::TSimulatorMenu(QMenuBar& bar, TSimAdapter& adapter, TSimController& controller,
                               std::function<TSimTransport*()> transport)
    : FMenu(bar.addMenu(QStringLiteral("&Simulator")))
    , FAdapter(adapter)
    , FController(controller)
    , FTransport(std::move(transport))
{
    setParent(FMenu);
    FMenu->setObjectName(QStringLiteral("MSimulator"));
    AddPlugAndFaults();
    FMenu->addSeparator();
    AddVersions(*FMenu, "Controller firmware", FController.Version(),
                [this](uint16_t v) { FController.SetVersion(v); }, 0x0103, 0x0104);
    // The adapter tells its version when it is opened: it shows after the next plug-in.
    AddVersions(*FMenu, "Adapter firmware", 0x0171,
                [this](uint16_t v) { FAdapter.SetVersion(v); }, 0x0170, 0x0171);
}

void TSimulatorMenu::AddPlugAndFaults()
{
    QAction* plugged = FMenu->addAction(QStringLiteral("Adapter &plugged in"));
    plugged->setObjectName(QStringLiteral("SimPlugged"));
    plugged->setCheckable(true);
    plugged->setChecked(true);
    connect(plugged, &QAction::toggled, this, [this](bool on) {
        if (TSimTransport* t = FTransport())
            t->SetPlugged(on);
    });

    // The adapter stays plugged in, but opening it is refused as without the udev rule.
    QAction* denied = FMenu->addAction(QStringLiteral("Adapter access &denied"));
    denied->setObjectName(QStringLiteral("SimAccessDenied"));
    denied->setCheckable(true);
    connect(denied, &QAction::toggled, this, [this](bool on) {
        if (TSimTransport* t = FTransport())
            t->SetAccessDenied(on);
    });

    QAction* silent = FMenu->addAction(QStringLiteral("Controller &silent"));
    silent->setObjectName(QStringLiteral("SimSilent"));
    silent->setCheckable(true);
    connect(silent, &QAction::toggled, this, [this](bool on) {
        FController.SetFault(on ? TSimController::fmSilent : TSimController::fmNone);
    });

    // Two ways a controller may mishandle the write of the control set alone.
    const struct {
        const char* name;
        const char* text;
        TSimController::TCommandFault fault;
    } writeFaults[] = {
        { "SimDropWrites", "Controller &drops the answers to writes",
          TSimController::cmfDropAnswer },
        { "SimRefuseWrites", "Controller &refuses writes", TSimController::cmfNak },
    };
    auto* writeGroup = new QActionGroup(FMenu);
    writeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const auto& f : writeFaults) {
        QAction* a = FMenu->addAction(QLatin1String(f.text));
        a->setObjectName(QLatin1String(f.name));
        a->setCheckable(true);
        writeGroup->addAction(a);
        connect(a, &QAction::toggled, this, [this, fault = f.fault](bool on) {
            if (on)
                FController.SetCommandFault(kWriteCommand, fault);
            else if (FController.CommandFault(kWriteCommand) == fault)
                FController.SetCommandFault(kWriteCommand, TSimController::cmfNone);
        });
    }

    QAction* protect = FMenu->addAction(QStringLiteral("&Protect memory..."));
    protect->setObjectName(QStringLiteral("SimProtect"));
    connect(protect, &QAction::triggered, this, &TSimulatorMenu::ProtectMemory);
}

void TSimulatorMenu::AddVersions(QMenu& menu, const char* title, uint16_t current,
                                 std::function<void(uint16_t)> set, uint16_t older,
                                 uint16_t newer)
{
    QMenu* sub = menu.addMenu(QLatin1String(title));
    auto* group = new QActionGroup(sub);
    for (uint16_t v : { older, newer }) {
        QAction* a = sub->addAction(QStringLiteral("V-") + VersionText(v));
        a->setCheckable(true);
        a->setChecked(v == current);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [set, v] { set(v); });
    }
}

void TSimulatorMenu::ProtectMemory()
{
    bool ok = false;
    const QString password = QInputDialog::getText(
        FMenu->parentWidget(), QStringLiteral("Simulator"),
        QStringLiteral("Password of the controller's memory (up to 10 characters, empty for "
                       "none):"),
        QLineEdit::Password, QString(), &ok);
    if (ok)
        FController.SetPassword(password.toLatin1().left(10).toStdString());
}

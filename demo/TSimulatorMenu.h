#pragma once

#include <QObject>

#include <functional>

class QMenu;
class QMenuBar;
class QWidget;
class TSimAdapter;
class TSimController;
class TSimTransport;

// The demo's "Simulator" menu: unplugs and plugs in the simulated adapter, refuses access to
// it, silences the
// simulated controller, protects its memory with a password and picks both firmware versions.
// It lives as long as its menu, which it adds at the end of the menu bar.
class TSimulatorMenu : public QObject {
    Q_OBJECT
public:
    // `transport` gives the adapter's transport while the link exists, else null.
    TSimulatorMenu(QMenuBar& bar, TSimAdapter& adapter, TSimController& controller,
                   std::function<TSimTransport*()> transport);

    QMenu* Menu() const { return FMenu; }

private:
    void AddPlugAndFaults();
    void AddVersions(QMenu& menu, const char* title, uint16_t current,
                     std::function<void(uint16_t)> set, uint16_t older, uint16_t newer);
    void ProtectMemory();

    QMenu* FMenu;
    TSimAdapter& FAdapter;
    TSimController& FController;
    std::function<TSimTransport*()> FTransport;
};

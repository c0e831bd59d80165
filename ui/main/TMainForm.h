#pragma once

#include "link/TKorvelComm.h"
#include "protocol/TControlSet.h"
#include "protocol/TControllerProtocol.h"
#include "protocol/TTelemetryView.h"
#include "settings/TGettext.h"
#include "ui/dialogs/TControlRefresher.h"
#include "ui/dialogs/TMainDisplays.h"
#include "session/TControllerSession.h"
#include "session/TSupervision.h"
#include "session/TPasswords.h"

#include <QByteArray>
#include <QColor>
#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QMessageBox;
class TConfCtrlForm;
class TConfCutOffForm;
class TConfLambdaForm;
class TFLoadProg;
class TLanguageMenu;
class TLed;
class TLiveMonitor;
class TMainActions;
class TMainEdits;
class TMemProtForm;
class TMemoryOps;
class TOpcionesAvanzadas;
class TPassForm;

// The main window: menus, toolbar, the two plots, the live monitor with the valve controls,
// the status bar and the supervision timers. It owns the controller session (the adapter link
// and everything that talks to the controller), and shows what the telemetry, the supervision
// and a read of the control set have to show.
class TMainForm : public QMainWindow,
                  public TTelemetryView,
                  public TMainDisplays,
                  public TControlRefresher {
    Q_OBJECT
public:
    // The USB stacks the link tries; the program gives the real ones, the demo the simulated
    // adapter. Called once, when FormCreate makes the link.
    using TTransportFactory = std::function<TKorvelComm::TTransports()>;

    static constexpr int kClientWidth = 804;
    static constexpr int kClientHeight = 558;
    static constexpr int kStatusBarHeight = 19;
    static constexpr int kAdapterPanelWidth = 160;
    static constexpr int kRefreshIntervalMs = 100;
    static constexpr int kTimer1IntervalMs = 500;

    // Where the window finds what it reads at start-up besides the adapter.
    struct TOptions {
        TKorvelComm::TOptions link;
        // The settings file of the advanced options; empty: the per-user store.
        QString settingsFile;
        // The folder that holds locale/ with the catalogs; empty: the executable's folder.
        QString catalogBaseDir;
    };

    explicit TMainForm(TTransportFactory transports, TOptions options = {},
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    // The six other windows, once they exist: the memory operations use the password and
    // progress dialogs, and a read refreshes this window and then the lambda, control-system
    // and cut-off dialogs.
    void AttachWindows(TMemProtForm* memProt, TPassForm* pass, TConfLambdaForm* confLambda,
                       TConfCutOffForm* confCutOff, TConfCtrlForm* confCtrl, TFLoadProg* loadProg);

    // --- what the window owns ---
    TControllerSession& Session() { return FSession; }
    // The session's link: null before FormCreate and after FormClose.
    TKorvelComm* Link() const { return FSession.Link(); }
    TControllerProtocol& Protocol() { return FSession.Protocol(); }
    TControlSet& ControlSet() { return FSession.ControlSet(); }
    TPasswords& Passwords() { return FSession.Passwords(); }
    TMemoryOps& MemoryOps() { return *FMemoryOps; }
    TSupervision& Supervision() { return *FSupervision; }
    TMainEdits& Edits() { return *FEdits; }
    TLiveMonitor& Monitor() const { return *FMonitor; }
    TMainActions& Actions() const { return *FActions; }
    QTimer& TimerRefreshCtrlSet() { return FTimerRefreshCtrlSet; }
    QTimer& Timer1() { return FTimer1; }
    TOpcionesAvanzadas& Options() const { return *FOptions; }
    QMenu* MLanguage() const;
    TLed* iLedCommSts() const;
    // Status-bar panel 0 (adapter) or 1 (controller).
    QLabel* StatusPanel(int index) const { return index == 0 ? FPanel0 : FPanel1; }

    // --- the fixed texts of the caption and the status bar (8-bit, never translated) ---
    const QByteArray& AppTitle() const { return FAppTitle; }
    const QByteArray& AdapterLabel() const { return FAdapterLabel; }
    const QByteArray& DisconnectedText() const { return FDisconnectedText; }
    const QByteArray& ControllerLabel() const { return FControllerLabel; }
    const QByteArray& DetectedText() const { return FDetectedText; }
    const QByteArray& NotDetectedText() const { return FNotDetectedText; }
    // Sets them, the translated titles of the plots and the caption. Run again after a
    // language change.
    void SetFixedTexts();

    // --- handlers ---
    void FormClose();
    void Salir1Click();
    void BConfCtrlClick();
    void BConfLambdaClick();
    void BConfCutOffClick();
    void BVerGrafClick();
    void iPlot2DblClick();
    void SwitchManClick();
    void SET_AperturaPosPositionChange();
    void SET_AperturaPosMinPositionChange();
    void SET_AperturaPosMaxPositionChange();
    void PulsoVueltaChange();
    void TimerRefreshCtrlSetTimer();
    void Timer1Timer();

    // Seams for the two message boxes the window raises itself; by default modal boxes.
    std::function<void(const QString& text)> ShowWarningBox; // the adapter firmware warning
    std::function<void(const QString& text)> ShowFaultBox;   // a fault inside the link
    // The supervision's notices; by default ShowNonModalNotice.
    std::function<void(const QString& text)> ShowNoticeBox;
    // One box, not modal and not waited for, that each notice shows again with its text.
    void ShowNonModalNotice(const QString& text);

    // --- TTelemetryView ---
    void ShowControllerText(QLatin1String text) override;
    void ShowFuel(bool onGas) override;
    void ShowLambda(int counts, QLatin1String millivolts) override;
    void ShowTps(int counts, QLatin1String volts) override;
    void ShowRpm(double thousands, QLatin1String rpm) override;
    void ShowValve(QLatin1String position, double rpm, double positionValue) override;
    void AddLambdaPoint(double time, double millivolts) override;
    void AddLambdaSimPoint(double time, double millivolts) override;
    void ClearLambdaSim() override;

    // --- TMainDisplays ---
    bool EditsEnabled() const override;
    void SetEditsEnabled(bool enabled) override;
    uint16_t ControllerVersion() const override;
    void SetLambdaScale(bool fiveVolt) override;
    void SetLambdaSection1End(double counts) override;
    void SetLambdaSection2End(double counts) override;
    void SetLambdaLimit(int limit, double millivolts) override;
    void SetCutOff(TCutOff which, double rpm, double position) override;

    // --- what the supervision reports ---
    void SetLinkLed(bool on);
    void SetAdapterText(const QString& text);
    void SetControllerText(const QString& text);
    using TControlLed = TSupervision::TControlLed;
    void SetControlLed(TControlLed mode, bool on);
    // The control LED's colour: red while steady, yellow while blinking.
    static QColor ControlLedColor(TControlLed mode);
    void ShowFirmwareWarning(const QString& text);
    void ShowAccessNotice(const QString& text);
    void HideAccessNotice();
    // The access notice once it has been shown, else null.
    QMessageBox* AccessNotice() const { return FAccessNotice; }
    void ShowNotice(const QString& text);

    // --- TControlRefresher: the main window's part of the refresh after a read ---
    void RefreshControls() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void CreateOptions();
    void LanguageStartUp();
    void LanguageSelected(const QString& code);
    void CreateCutOffAnnotations();
    void CreateLink();
    void BuildStatusBar();
    void BuildTimers();
    void Connect();
    struct TValveControls;
    TValveControls ValveControls(int field) const;
    void ValveChange(int field);
    void ShowValveField(int field, uint16_t value);
    QMessageBox* MakeNoticeBox(const QString& name);

    TTransportFactory FTransportFactory;
    TOptions FStartOptions;

    // Stored options and language, made by FormCreate. The menu refers to the translation.
    std::unique_ptr<TOpcionesAvanzadas> FOptions;
    std::unique_ptr<TGettext> FGettext;
    std::unique_ptr<TLanguageMenu> FLanguageMenu;
    TLanguageLists FLanguages; // LangCodes and LangNames, fixed at start-up


    // The controller, on the user-interface thread; its link is made by FormCreate and
    // destroyed by FormClose.
    TControllerSession FSession;
    std::unique_ptr<TMemoryOps> FMemoryOps;
    std::unique_ptr<TSupervision> FSupervision;
    std::unique_ptr<TMainEdits> FEdits;

    // Controls.
    std::unique_ptr<TMainActions> FActions;
    TLiveMonitor* FMonitor = nullptr;
    QLabel* FPanel0 = nullptr;
    QLabel* FPanel1 = nullptr;
    QMessageBox* FNotice = nullptr; // made at the first notice, shown again for the next ones
    QTimer FTimerRefreshCtrlSet;
    QTimer FTimer1;
    QMessageBox* FAccessNotice = nullptr; // made at its first show

    // The six other windows, made once by the start-up; the configuration dialogs are shown
    // again each time, and all six are translated again after a language change.
    TMemProtForm* FMemProtForm = nullptr;
    TPassForm* FPassForm = nullptr;
    TConfLambdaForm* FConfLambdaForm = nullptr;
    TConfCutOffForm* FConfCutOffForm = nullptr;
    TConfCtrlForm* FConfCtrlForm = nullptr;
    TFLoadProg* FLoadProg = nullptr;

    QByteArray FAppTitle;
    QByteArray FAdapterLabel;
    QByteArray FDisconnectedText;
    QByteArray FControllerLabel;
    QByteArray FDetectedText;
    QByteArray FNotDetectedText;
    bool FClosed = false;   // FormClose has run: the timers stay stopped
    bool FCentred = false;  // placed in the middle of the screen at the first show
};

#include "ui/main/TMainForm.h"

#include "protocol/CtrlSetEncoding.h"
#include "protocol/TControllerRules.h"
#include "protocol/TFixedTexts.h"
#include "settings/TComponentTranslator.h"
#include "settings/TLanguageMenu.h"
#include "settings/TOpcionesAvanzadas.h"
#include "ui/dialogs/TConfCtrlForm.h"
#include "ui/dialogs/TConfCutOffForm.h"
#include "ui/dialogs/TConfLambdaForm.h"
#include "ui/datalog/TDatalogRecorder.h"
#include "ui/datalog/TToolsMenu.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/main/TMainActions.h"
#include "ui/main/TMainEdits.h"
#include "ui/main/TReplayControl.h"
#include "session/TSupervision.h"
#include "ui/main/UiLog.h"
#include "ui/memory/TFLoadProg.h"
#include "ui/memory/TMemProtForm.h"
#include "ui/memory/TMemoryOps.h"
#include "ui/memory/TPassForm.h"
#include "ui/widgets/TAngularGauge.h"
#include "ui/widgets/TLed.h"
#include "ui/widgets/TLedBar.h"
#include "ui/widgets/TPlot.h"
#include "ui/widgets/TSlider.h"
#include "ui/widgets/TValueBox.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QLineF>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>

// The toolbar and menu images live in this library; a static library has to register them.
static bool InitMainWindowResources()
{
    Q_INIT_RESOURCE(resources);
    return true;
}

namespace {

// A notice's plain text as rich text, so that its indented commands stay whole lines that can
// be copied: paragraphs are separated by blank lines, and one whose lines are all indented is a
// block of commands.
QString NoticeHtml(const QString& text)
{
    const QString indent = QStringLiteral("    ");
    QString html;
    for (const QString& paragraph : text.split(QStringLiteral("\n\n"))) {
        QStringList lines = paragraph.split(u'\n');
        const bool commands = std::all_of(lines.cbegin(), lines.cend(), [&](const QString& l) {
            return l.startsWith(indent);
        });
        for (QString& line : lines)
            line = (commands ? line.mid(indent.size()) : line).toHtmlEscaped();
        html += commands ? QStringLiteral("<pre>") + lines.join(u'\n') + QStringLiteral("</pre>")
                         : QStringLiteral("<p>") + lines.join(QStringLiteral("<br>"))
                + QStringLiteral("</p>");
    }
    return html;
}

} // namespace

static_assert(TLiveMonitor::kTop == TMainActions::kToolBarHeight);
static_assert(TMainActions::kToolBarHeight + TLiveMonitor::kHeight + TMainForm::kStatusBarHeight
              == TMainForm::kClientHeight);
static_assert(TLiveMonitor::kWidth == TMainForm::kClientWidth);

// The slider, the value box and the iPlot1 limit line of each valve field.
struct TMainForm::TValveControls {
    TSlider* slider;
    TValueBox* box;
    int limit;
};

TMainForm::TValveControls TMainForm::ValveControls(int field) const
{
    const TLiveMonitor& m = *FMonitor;
    switch (field) {
    case TMainEdits::vfAperturaPosMin:
        return { m.SET_AperturaPosMin(), m.VAL_AperturaPosMin(), TLiveMonitor::liAperturaPosMin };
    case TMainEdits::vfAperturaPosMax:
        return { m.SET_AperturaPosMax(), m.VAL_AperturaPosMax(), TLiveMonitor::liAperturaPosMax };
    default:
        return { m.SET_AperturaPos(), m.VAL_AperturaPos(), TLiveMonitor::liAperturaPos };
    }
}

TMainForm::TMainForm(TTransportFactory transports, TOptions options, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                              | Qt::WindowCloseButtonHint)
    , FTransportFactory(std::move(transports))
    , FStartOptions(std::move(options))
{
    static const bool resourcesReady = InitMainWindowResources();
    Q_UNUSED(resourcesReady);
    setObjectName(QStringLiteral("MainForm"));
    // The caption is the program's title and version, or a file's name.
    TP_Ignore(this);
    setContextMenuPolicy(Qt::NoContextMenu); // no toolbar toggling menu

    FMemoryOps = std::make_unique<TMemoryOps>(FSession, *this, this);
    FSupervision = std::make_unique<TSupervision>(FSession);
    FSupervision->SetRefreshIntervalMs(kRefreshIntervalMs);
    FEdits = std::make_unique<TMainEdits>(FSession, *FSupervision);
    FSession.Protocol().SetTelemetryView(this);

    FActions = std::make_unique<TMainActions>(*this);
    auto* tools = new TToolsMenu(*menuBar(), FSession.ControlSet(), this);
    FMonitor = new TLiveMonitor(this);
    setCentralWidget(FMonitor);
    BuildStatusBar();
    auto* replay = new TReplayControl(*this, *tools);
    auto* recorder = new TDatalogRecorder(*tools, FSession.Protocol(), FSession.ControlSet(),
                                          *replay, *statusBar());
    recorder->CurrentFile = [this] { return FMemoryOps->CurrentFile(); };
    recorder->Options = [this] { return FOptions.get(); };
    // Client area 804 by 558 below the menu bar, not resizable.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    ShowWarningBox = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Warning"), text, QMessageBox::Ok,
                        this);
        box.exec();
    };
    ShowFaultBox = [this](const QString& text) {
        QMessageBox::critical(this, QString::fromLatin1(FAppTitle), text);
    };
    ShowNoticeBox = [this](const QString& text) { ShowNonModalNotice(text); };

    Connect();
    BuildTimers();
    FormCreate();
}

TMainForm::~TMainForm()
{
    FClosed = true;
    FTimerRefreshCtrlSet.stop();
    FTimer1.stop();
    FSession.CloseLink();
}

void TMainForm::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(kStatusBarHeight);
    FPanel0 = new QLabel(bar);
    FPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    FPanel0->setFixedWidth(kAdapterPanelWidth);
    FPanel1 = new QLabel(bar);
    FPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    for (QLabel* panel : { FPanel0, FPanel1 }) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        TP_Ignore(panel); // fixed Spanish texts
    }
    bar->addWidget(FPanel0);
    bar->addWidget(FPanel1, 1);
}

void TMainForm::BuildTimers()
{
    FTimerRefreshCtrlSet.setObjectName(QStringLiteral("TimerRefreshCtrlSet"));
    FTimerRefreshCtrlSet.setInterval(kRefreshIntervalMs);
    connect(&FTimerRefreshCtrlSet, &QTimer::timeout, this, &TMainForm::TimerRefreshCtrlSetTimer);
    FTimer1.setObjectName(QStringLiteral("Timer1"));
    FTimer1.setInterval(kTimer1IntervalMs);
    connect(&FTimer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    FTimerRefreshCtrlSet.start();
    FTimer1.start();
}

void TMainForm::Connect()
{
    const TMainActions& a = *FActions;
    TMemoryOps* memory = FMemoryOps.get();
    for (QAction* open : { a.Abrir1, a.BMemOpen })
        connect(open, &QAction::triggered, memory, &TMemoryOps::BMemOpenClick);
    for (QAction* save : { a.Guardar1, a.BMemSave })
        connect(save, &QAction::triggered, memory, &TMemoryOps::BMemSaveClick);
    connect(a.Guardarcomo1, &QAction::triggered, memory, &TMemoryOps::Guardarcomo1Click);
    connect(a.Salir1, &QAction::triggered, this, &TMainForm::Salir1Click);
    for (QAction* restore : { a.Restauraranterior1, a.BMemRestore })
        connect(restore, &QAction::triggered, memory, &TMemoryOps::BMemRestoreClick);
    for (QAction* charge : { a.Cargar1, a.BMemCharge })
        connect(charge, &QAction::triggered, memory, &TMemoryOps::BMemChargeClick);
    connect(a.ProtegerMem, &QAction::triggered, memory, &TMemoryOps::ProtegerMemClick);
    for (QAction* ctrl : { a.Sistemadecontrol1, a.BConfCtrl })
        connect(ctrl, &QAction::triggered, this, &TMainForm::BConfCtrlClick);
    for (QAction* lambda : { a.Brevon1, a.BConfLambda })
        connect(lambda, &QAction::triggered, this, &TMainForm::BConfLambdaClick);
    for (QAction* cutOff : { a.CutOff1, a.BConfCutOff })
        connect(cutOff, &QAction::triggered, this, &TMainForm::BConfCutOffClick);
    connect(a.BVerGraf, &QAction::triggered, this, &TMainForm::BVerGrafClick);

    const TLiveMonitor& m = *FMonitor;
    // Like a radio group's click, a change made by the program counts too: the edit guard
    // tells them apart.
    connect(m.SwitchManItems(), &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            SwitchManClick();
    });
    connect(m.SET_AperturaPos(), &TSlider::positionChanged, this,
            &TMainForm::SET_AperturaPosPositionChange);
    connect(m.SET_AperturaPos(), &TSlider::moveFinished, this,
            &TMainForm::SET_AperturaPosPositionChange);
    connect(m.SET_AperturaPosMin(), &TSlider::positionChanged, this,
            &TMainForm::SET_AperturaPosMinPositionChange);
    connect(m.SET_AperturaPosMax(), &TSlider::positionChanged, this,
            &TMainForm::SET_AperturaPosMaxPositionChange);
    connect(m.PulsoVuelta(), &QComboBox::currentIndexChanged, this,
            &TMainForm::PulsoVueltaChange);
    connect(m.iPlot2(), &TPlot::doubleClicked, this, &TMainForm::iPlot2DblClick);

    const TSupervision* s = FSupervision.get();
    connect(s, &TSupervision::LinkLed, this, &TMainForm::SetLinkLed);
    connect(s, &TSupervision::AdapterText, this, &TMainForm::SetAdapterText);
    connect(s, &TSupervision::ControllerText, this, &TMainForm::SetControllerText);
    connect(s, &TSupervision::ControlLed, this, &TMainForm::SetControlLed);
    connect(s, &TSupervision::FirmwareWarning, this, &TMainForm::ShowFirmwareWarning);
    connect(s, &TSupervision::AccessNotice, this, &TMainForm::ShowAccessNotice);
    connect(s, &TSupervision::AccessNoticeGone, this, &TMainForm::HideAccessNotice);
    connect(s, &TSupervision::Notice, this, &TMainForm::ShowNotice);
}

void TMainForm::AttachWindows(TMemProtForm* memProt, TPassForm* pass, TConfLambdaForm* confLambda,
                              TConfCutOffForm* confCutOff, TConfCtrlForm* confCtrl,
                              TFLoadProg* loadProg)
{
    FConfLambdaForm = confLambda;
    FConfCutOffForm = confCutOff;
    FConfCtrlForm = confCtrl;
    FMemoryOps->SetDialogs(loadProg, pass, memProt);
    FMemoryOps->SetRefreshers({ this, confLambda, confCtrl, confCutOff });
    FMemProtForm = memProt;
    FPassForm = pass;
    FLoadProg = loadProg;
}

QMenu* TMainForm::MLanguage() const
{
    return FActions->MLanguage;
}

TLed* TMainForm::iLedCommSts() const
{
    return FActions->iLedCommSts;
}

// ---------------------------------------------------------------------------------------------
// Creation and closing

void TMainForm::FormCreate()
{
    CreateOptions();
    CreateCutOffAnnotations();
    LanguageStartUp();
    // WriteDelay starts at 0 with the supervision: no edit is waiting.
    SetFixedTexts();
    TranslateComponent(this);
    CreateLink();
    FSession.Protocol().SetControllerVersion(0);
    SetFixedTexts();
}

void TMainForm::CreateOptions()
{
    const QString& file = FStartOptions.settingsFile;
    FOptions = file.isEmpty() ? std::make_unique<TOpcionesAvanzadas>()
                              : std::make_unique<TOpcionesAvanzadas>(file);
}

void TMainForm::LanguageStartUp()
{
    const QString& base = FStartOptions.catalogBaseDir;
    FGettext = base.isEmpty() ? std::make_unique<TGettext>() : std::make_unique<TGettext>(base);
    FLanguages = FGettext->LanguageStartUp(FOptions->LangCode());
    qCInfo(lcUi) << "catalogs in" << FGettext->LocaleDir() << "languages" << FLanguages.LangCodes
                 << "current" << FGettext->GetCurrentLanguage();
    FLanguageMenu = std::make_unique<TLanguageMenu>(*MLanguage(), *FGettext);
    connect(FLanguageMenu.get(), &TLanguageMenu::LanguageSelected, this,
            &TMainForm::LanguageSelected);
    FLanguageMenu->Fill(FLanguages);
}

void TMainForm::LanguageSelected(const QString& code)
{
    qCInfo(lcUi) << "language changed to" << code;
    QWidget* const windows[] = { this,           FMemProtForm,  FPassForm, FConfLambdaForm,
                                 FConfCutOffForm, FConfCtrlForm, FLoadProg };
    for (QWidget* window : windows)
        RetranslateComponent(window);
    SetFixedTexts();
    FOptions->SetLangCode(code);
}

void TMainForm::CreateCutOffAnnotations()
{
    TPlot* plot = FMonitor->iPlot1();
    for (int ch : { TLiveMonitor::chLowerCutOff, TLiveMonitor::chUpperCutOff })
        plot->addLineAnnotation(QLineF(0, 0, 0, TLiveMonitor::kValveTop), plot->channelColor(ch));
}

void TMainForm::CreateLink()
{
    FSession.AttachLink(std::make_unique<TKorvelComm>(
        FTransportFactory ? FTransportFactory() : TKorvelComm::TTransports {},
        FStartOptions.link));
    FSession.Link()->OnFault = [this](const QString& message) {
        // Shown after the link's call has returned: the box runs an event loop in which the
        // window may close and destroy the link.
        QTimer::singleShot(0, this, [this, message] {
            if (ShowFaultBox)
                ShowFaultBox(message);
        });
    };
}

void TMainForm::SetFixedTexts()
{
    FAppTitle = TFixedTexts::AppTitle;
    FAdapterLabel = TFixedTexts::AdapterLabel;
    FDisconnectedText = TFixedTexts::DisconnectedText;
    FControllerLabel = TFixedTexts::ControllerLabel;
    FDetectedText = TFixedTexts::DetectedText;
    FNotDetectedText = TFixedTexts::NotDetectedText;
    FSession.Protocol().Telemetry().SetFixedTexts(FControllerLabel, FDetectedText);
    FMonitor->TranslateTitles();
    if (!FAppTitle.isEmpty())
        setWindowTitle(QString::fromLatin1(FAppTitle + ' ' + TFixedTexts::AppVersion));
    FMemoryOps->ShowUnsentMarker();
}

void TMainForm::FormClose()
{
    if (FClosed)
        return;
    FClosed = true;
    FTimerRefreshCtrlSet.stop();
    FTimer1.stop();
    FSession.CloseLink();
    QCoreApplication::quit();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FCentred)
        return;
    FCentred = true;
    if (QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TMainForm::Salir1Click()
{
    close();
}

// ---------------------------------------------------------------------------------------------
// Toolbar, menus and timers

void TMainForm::BConfCtrlClick()
{
    if (FConfCtrlForm)
        FConfCtrlForm->exec();
}

void TMainForm::BConfLambdaClick()
{
    if (FConfLambdaForm)
        FConfLambdaForm->exec();
}

void TMainForm::BConfCutOffClick()
{
    if (FConfCutOffForm)
        FConfCutOffForm->exec();
}

void TMainForm::BVerGrafClick()
{
    TPlot* valve = FMonitor->iPlot1();
    TPlot* lambda = FMonitor->iPlot2();
    const bool valveShown = !valve->isHidden();
    valve->setVisible(!valveShown);
    lambda->setVisible(valveShown);
}

void TMainForm::iPlot2DblClick()
{
    FSession.Protocol().Telemetry().ResetPlotTime();
    FMonitor->iPlot2()->ClearAll();
}

void TMainForm::TimerRefreshCtrlSetTimer()
{
    FSupervision->TimerRefreshCtrlSetTimer();
    // Edits come from the controls between ticks; the caption follows at the next one.
    FMemoryOps->ShowUnsentMarker();
}

void TMainForm::Timer1Timer()
{
    FSupervision->Timer1Timer();
}

// ---------------------------------------------------------------------------------------------
// Editing controls

void TMainForm::SwitchManClick()
{
    if (!EditsEnabled())
        return;
    FEdits->SetControlMode(FMonitor->SwitchManIndex());
}

void TMainForm::ValveChange(int field)
{
    if (!EditsEnabled())
        return;
    const int value = ValveControls(field).slider->value();
    ShowValveField(field, FEdits->SetValve(TMainEdits::TValveField(field), value));
}

void TMainForm::ShowValveField(int field, uint16_t value)
{
    const TValveControls c = ValveControls(field);
    c.box->setText(QString::number(value));
    FMonitor->iPlot1()->setLimitPosition(c.limit, value);
}

void TMainForm::SET_AperturaPosPositionChange()
{
    ValveChange(TMainEdits::vfAperturaPos);
}

void TMainForm::SET_AperturaPosMinPositionChange()
{
    ValveChange(TMainEdits::vfAperturaPosMin);
}

void TMainForm::SET_AperturaPosMaxPositionChange()
{
    ValveChange(TMainEdits::vfAperturaPosMax);
}

void TMainForm::PulsoVueltaChange()
{
    if (!EditsEnabled())
        return;
    FEdits->SetPulsoVuelta(FMonitor->PulsoVuelta()->currentIndex());
}

// ---------------------------------------------------------------------------------------------
// TTelemetryView

void TMainForm::ShowControllerText(QLatin1String text)
{
    FPanel1->setText(text);
}

void TMainForm::ShowFuel(bool onGas)
{
    FMonitor->LedNafta()->setActive(!onGas);
    FMonitor->LedGnc()->setActive(onGas);
}

void TMainForm::ShowLambda(int counts, QLatin1String millivolts)
{
    FMonitor->LEV_Lambda()->setPosition(counts);
    FMonitor->VAL_Lambda()->setText(millivolts);
}

void TMainForm::ShowTps(int counts, QLatin1String volts)
{
    FMonitor->LEV_Tps()->setPosition(counts);
    FMonitor->VAL_Tps()->setText(volts);
}

void TMainForm::ShowRpm(double thousands, QLatin1String rpm)
{
    FMonitor->LEV_Rpm()->setPosition(thousands);
    FMonitor->VAL_Rpm()->setText(rpm);
}

void TMainForm::ShowValve(QLatin1String position, double rpm, double positionValue)
{
    FMonitor->VAL_AperturaActual()->setText(position);
    FMonitor->iPlot1()->AddXY(TLiveMonitor::chActual, rpm, positionValue);
}

void TMainForm::AddLambdaPoint(double time, double millivolts)
{
    FMonitor->iPlot2()->AddXY(TLiveMonitor::chLambda, time, millivolts);
}

void TMainForm::AddLambdaSimPoint(double time, double millivolts)
{
    FMonitor->iPlot2()->AddXY(TLiveMonitor::chLambdaSim, time, millivolts);
}

void TMainForm::ClearLambdaSim()
{
    FMonitor->iPlot2()->Clear(TLiveMonitor::chLambdaSim);
}

// ---------------------------------------------------------------------------------------------
// TMainDisplays

bool TMainForm::EditsEnabled() const
{
    return FTimerRefreshCtrlSet.isActive();
}

void TMainForm::SetEditsEnabled(bool enabled)
{
    if (enabled && !FClosed)
        FTimerRefreshCtrlSet.start();
    else
        FTimerRefreshCtrlSet.stop();
}

uint16_t TMainForm::ControllerVersion() const
{
    return FSession.Protocol().ControllerVersion();
}

void TMainForm::SetLambdaScale(bool fiveVolt)
{
    FMonitor->LEV_Lambda()->setMaximum(TControllerRules::LambdaBarMaximum(fiveVolt));
    FMonitor->iPlot2()->setYSpan(TControllerRules::LambdaPlotSpanMv(fiveVolt));
}

void TMainForm::SetLambdaSection1End(double counts)
{
    FMonitor->LEV_Lambda()->setSection1End(counts);
}

void TMainForm::SetLambdaSection2End(double counts)
{
    FMonitor->LEV_Lambda()->setSection2End(counts);
}

void TMainForm::SetLambdaLimit(int limit, double millivolts)
{
    FMonitor->iPlot2()->setLimitPosition(limit, millivolts);
}

void TMainForm::SetCutOff(TCutOff which, double rpm, double position)
{
    const int channel =
        which == coLower ? TLiveMonitor::chLowerCutOff : TLiveMonitor::chUpperCutOff;
    TPlot* plot = FMonitor->iPlot1();
    plot->AddXY(channel, rpm, position);
    plot->setAnnotationLine(which, QLineF(rpm, position, rpm, TLiveMonitor::kValveTop));
}

// ---------------------------------------------------------------------------------------------
// What the supervision reports

void TMainForm::SetLinkLed(bool on)
{
    iLedCommSts()->setActive(on);
}

void TMainForm::SetAdapterText(const QString& text)
{
    FPanel0->setText(text);
}

void TMainForm::SetControllerText(const QString& text)
{
    FPanel1->setText(text);
}

void TMainForm::SetControlLed(TControlLed mode, bool on)
{
    TLed* led = FMonitor->LedCtrl();
    led->setOnColor(ControlLedColor(mode));
    led->setActive(on);
}

QColor TMainForm::ControlLedColor(TControlLed mode)
{
    return mode == TControlLed::Steady ? QColor(255, 0, 0) : QColor(255, 255, 0);
}

void TMainForm::ShowFirmwareWarning(const QString& text)
{
    qCInfo(lcUi) << "adapter firmware warning shown";
    if (ShowWarningBox)
        ShowWarningBox(text);
}

// A warning box that does not block: made once, shown again for each notice. Its text is
// translated when it is raised.
QMessageBox* TMainForm::MakeNoticeBox(const QString& name)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(FAppTitle), QString(),
                                QMessageBox::Ok, this);
    box->setObjectName(name);
    box->setWindowModality(Qt::NonModal);
    TP_Ignore(box);
    return box;
}

void TMainForm::ShowAccessNotice(const QString& text)
{
    qCInfo(lcUi) << "access notice shown";
    if (!FAccessNotice) {
        FAccessNotice = MakeNoticeBox(QStringLiteral("AccessNotice"));
        // The commands can be selected and copied.
        FAccessNotice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    FAccessNotice->setTextFormat(Qt::RichText);
    FAccessNotice->setText(NoticeHtml(text));
    FAccessNotice->show();
    FAccessNotice->raise();
}

void TMainForm::HideAccessNotice()
{
    qCInfo(lcUi) << "access notice taken away: the adapter is open";
    if (FAccessNotice)
        FAccessNotice->hide();
}

void TMainForm::ShowNotice(const QString& text)
{
    if (ShowNoticeBox)
        ShowNoticeBox(text);
}

void TMainForm::ShowNonModalNotice(const QString& text)
{
    // The supervision tick that raised it goes on at once.
    if (!FNotice)
        FNotice = MakeNoticeBox(QStringLiteral("NoticeBox"));
    FNotice->setText(text);
    FNotice->show();
}

// ---------------------------------------------------------------------------------------------
// TControlRefresher

void TMainForm::RefreshControls()
{
    const CtrlSet& w = FSession.ControlSet().Working();
    FMonitor->SetSwitchManIndex(HasFlag(w.Flags, cfManual) ? 1 : 0);
    FMonitor->PulsoVuelta()->setCurrentIndex(PulsoVueltaCodeToIndex(w.PulsoVuelta));

    SetLambdaScale(TControllerRules::IsFiveVoltProbe(w.SondaRica));
    SetLambdaSection1End(w.SondaPobre);
    SetLambdaSection2End(w.SondaRica);
    SetLambdaLimit(TLiveMonitor::liSondaPobre, CountsToMillivolts(w.SondaPobre));
    SetLambdaLimit(TLiveMonitor::liSondaRica, CountsToMillivolts(w.SondaRica));
    SetLambdaLimit(TLiveMonitor::liSondaIdeal, CountsToMillivolts(w.SondaIdeal));

    const std::pair<int, uint16_t> valves[] = {
        { TMainEdits::vfAperturaPos, w.AperturaPos },
        { TMainEdits::vfAperturaPosMin, w.AperturaPosMin },
        { TMainEdits::vfAperturaPosMax, w.AperturaPosMax },
    };
    for (const auto& [field, value] : valves) {
        ValveControls(field).slider->setPosition(value);
        ShowValveField(field, value);
    }

    SetCutOff(coLower, w.CutOffLRpm, w.CutOffLPos);
    SetCutOff(coUpper, w.CutOffHRpm, w.CutOffHPos);
}

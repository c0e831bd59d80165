#pragma once

#include "protocol/TControllerRules.h"

#include <QWidget>

#include <vector>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class TAngularGauge;
class TLed;
class TLedBar;
class TPlot;
class TSlider;
class TValueBox;

// The main window's client area below the toolbar: the two plots, one above the other, and the
// live-monitor panel with the valve controls. It only builds and lays out the controls; the
// window wires them. Every control carries its name as objectName.
class TLiveMonitor : public QWidget {
    Q_OBJECT
public:
    // Where this widget lies in the window's client area (the toolbar is above it), and its
    // size: the client area less the toolbar and the status bar.
    static constexpr int kTop = 29;
    static constexpr int kWidth = 804;
    static constexpr int kHeight = 510;

    // iPlot1: valve position against engine speed.
    enum TValveChannel { chActual, chControl, chMaxLimit, chMinLimit, chLowerCutOff, chUpperCutOff };
    using TValveLimit = TControllerRules::TValveLimit;
    using enum TControllerRules::TValveLimit;
    static constexpr double kValveTop = 500; // Y2 of the cut-off lines, the top of the plot
    // iPlot2: the lambda signal against PlotTime (one unit a second at 20 frames a second).
    enum TLambdaChannel { chLambda, chLambdaSim };
    using TLambdaLimit = TControllerRules::TLambdaLimit;
    using enum TControllerRules::TLambdaLimit;
    static constexpr double kLambdaVisible = 10;
    // Kept beyond what is shown, so that memory stays bounded: ten minutes of points.
    static constexpr double kLambdaHistory = 600;

    explicit TLiveMonitor(QWidget* parent = nullptr);

    TPlot* iPlot1() const { return FiPlot1; }
    TPlot* iPlot2() const { return FiPlot2; }

    QGroupBox* SwitchMan() const { return FSwitchMan; }
    // The items of SwitchMan by id: 0 "Automatic", 1 "Manual".
    QButtonGroup* SwitchManItems() const { return FSwitchManItems; }
    int SwitchManIndex() const;
    void SetSwitchManIndex(int index);

    TLed* LedCtrl() const { return FLedCtrl; }
    TLed* LedNafta() const { return FLedNafta; }
    TLed* LedGnc() const { return FLedGnc; }
    QComboBox* PulsoVuelta() const { return FPulsoVuelta; }

    // The controls that edit the control set: the control mode, the RPM signal and the three
    // valve sliders. Whatever must keep the control set still (a replay) turns these off.
    std::vector<QWidget*> ControlSetEditors() const;

    TSlider* SET_AperturaPos() const { return FSET_AperturaPos; }
    TSlider* SET_AperturaPosMax() const { return FSET_AperturaPosMax; }
    TSlider* SET_AperturaPosMin() const { return FSET_AperturaPosMin; }
    TValueBox* VAL_AperturaActual() const { return FVAL_AperturaActual; }
    TValueBox* VAL_AperturaPos() const { return FVAL_AperturaPos; }
    TValueBox* VAL_AperturaPosMax() const { return FVAL_AperturaPosMax; }
    TValueBox* VAL_AperturaPosMin() const { return FVAL_AperturaPosMin; }

    TLedBar* LEV_Lambda() const { return FLEV_Lambda; }
    TValueBox* VAL_Lambda() const { return FVAL_Lambda; }
    TLedBar* LEV_Tps() const { return FLEV_Tps; }
    TValueBox* VAL_Tps() const { return FVAL_Tps; }
    TAngularGauge* LEV_Rpm() const { return FLEV_Rpm; }
    TValueBox* VAL_Rpm() const { return FVAL_Rpm; }

    // The texts that no window property holds (plot, channel and gauge titles), translated
    // into the current language: at start-up and after every language change.
    void TranslateTitles();

private:
    void BuildPlots();
    void BuildModeAndFuel();
    void BuildValve();
    void BuildLevels();
    // Puts a control at its place in client-area coordinates.
    template <class T>
    T* Place(T* control, const char* name, int left, int top, int width = -1, int height = -1);
    QLabel* AddLabel(const char* name, const char* text, int left, int top, int width,
                     bool wrap = false);
    TValueBox* AddValueBox(const char* name, int left, int top, const char* label = nullptr,
                           int width = 37);

    TPlot* FiPlot1;
    TPlot* FiPlot2;
    QGroupBox* FSwitchMan;
    QButtonGroup* FSwitchManItems;
    TLed* FLedCtrl;
    TLed* FLedNafta;
    TLed* FLedGnc;
    QComboBox* FPulsoVuelta;
    TSlider* FSET_AperturaPos;
    TSlider* FSET_AperturaPosMax;
    TSlider* FSET_AperturaPosMin;
    TValueBox* FVAL_AperturaActual;
    TValueBox* FVAL_AperturaPos;
    TValueBox* FVAL_AperturaPosMax;
    TValueBox* FVAL_AperturaPosMin;
    TLedBar* FLEV_Lambda;
    TValueBox* FVAL_Lambda;
    TLedBar* FLEV_Tps;
    TValueBox* FVAL_Tps;
    TAngularGauge* FLEV_Rpm;
    TValueBox* FVAL_Rpm;
};

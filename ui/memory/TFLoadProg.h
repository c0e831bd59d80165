#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class TControllerSession;

// "Load Memory": the progress dialog that makes the first load attempt when it is shown. The
// session makes the attempt; the bar shows the progress it reports.
class TFLoadProg : public QDialog {
    Q_OBJECT
public:
    TFLoadProg(TControllerSession& session, QWidget* parent = nullptr);

    QLabel* LLoading() const { return FLLoading; }
    QLabel* LLoadingOk() const { return FLLoadingOk; }
    QLabel* LLoadingFailed() const { return FLLoadingFailed; }
    QProgressBar* Progress() const { return FProgress; }
    QPushButton* OKBtn() const { return FOKBtn; }
    QPushButton* CancelBtn() const { return FCancelBtn; }

    // The attempt made on activation; true when the controller acknowledged the load.
    bool FormActivate();
    bool LastLoadOk() const { return FLastLoadOk; }
    // Waits of the animation, in ms (250 before the request, 5 per step); seams for tests.
    void SetPauses(int beforeMs, int stepMs) { FBeforeMs = beforeMs; FStepMs = stepMs; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    TControllerSession& FSession;
    QLabel* FLLoading;
    QLabel* FLLoadingOk;
    QLabel* FLLoadingFailed;
    QProgressBar* FProgress;
    QPushButton* FOKBtn;
    QPushButton* FCancelBtn;
    int FBeforeMs = 250;
    int FStepMs = 5;
    bool FLastLoadOk = false;
    bool FActivating = false;
};

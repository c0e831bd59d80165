#include "ui/memory/TFLoadProg.h"

#include "session/TControllerSession.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>


#include "settings/Gettext.h"

TFLoadProg::TFLoadProg(TControllerSession& session, QWidget* parent)
    : QDialog(parent)
    , FSession(session)
{
    setObjectName(QStringLiteral("FLoadProg"));
    setWindowTitle(QStringLiteral(N_("Load Memory")));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::StyledPanel);
    bevel->setFrameShadow(QFrame::Sunken);
    auto* labels = new QVBoxLayout(bevel);
    FLLoading = new QLabel(QStringLiteral(N_("Loading Memory...")), bevel);
    FLLoading->setObjectName(QStringLiteral("LLoading"));
    FLLoadingOk = new QLabel(QStringLiteral(N_("Memory loaded finished succesfull  ")), bevel);
    FLLoadingOk->setObjectName(QStringLiteral("LLoadingOk"));
    FLLoadingFailed = new QLabel(QStringLiteral(N_("Loading Failed, try again")), bevel);
    FLLoadingFailed->setObjectName(QStringLiteral("LLoadingFailed"));
    for (QLabel* l : { FLLoading, FLLoadingOk, FLLoadingFailed }) {
        l->setAlignment(Qt::AlignCenter);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        labels->addWidget(l);
    }
    FProgress = new QProgressBar(bevel);
    FProgress->setObjectName(QStringLiteral("Progress"));
    FProgress->setRange(0, 100);
    FProgress->setTextVisible(false);
    labels->addWidget(FProgress);

    FOKBtn = new QPushButton(QStringLiteral(N_("OK")), this);
    FOKBtn->setObjectName(QStringLiteral("OKBtn"));
    FOKBtn->setDefault(true);
    FCancelBtn = new QPushButton(QStringLiteral(N_("Cancel")), this);
    FCancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(FOKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(FCancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(FOKBtn);
    buttons->addWidget(FCancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bevel);
    layout->addLayout(buttons);
    setFixedSize(313, 150);
    connect(&FSession, &TControllerSession::Progress, FProgress, &QProgressBar::setValue);
}

void TFLoadProg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The attempt starts once the dialog is on screen.
    QTimer::singleShot(0, this, [this] { FormActivate(); });
}

bool TFLoadProg::FormActivate()
{
    if (FActivating)
        return FLastLoadOk;
    FActivating = true;
    FProgress->setValue(0);
    FLLoading->show();
    FLLoadingOk->hide();
    FLLoadingFailed->hide();
    FOKBtn->setEnabled(false);
    FCancelBtn->setEnabled(true);

    FLastLoadOk = FSession.LoadAttempt(FBeforeMs, FStepMs) == TControllerSession::TResult::Ok;
    FLLoading->hide();
    FLLoadingOk->setVisible(FLastLoadOk);
    FLLoadingFailed->setVisible(!FLastLoadOk);
    FOKBtn->setEnabled(true);
    FCancelBtn->setEnabled(false);
    QCoreApplication::processEvents();
    FActivating = false;
    return FLastLoadOk;
}

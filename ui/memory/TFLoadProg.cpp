#include "ui/memory/TFLoadProg.h"

#include "protocol/TCommandCodes.h"
#include "protocol/TControllerProtocol.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>


#include "settings/Gettext.h"

TFLoadProg::TFLoadProg(TControllerProtocol& protocol, QWidget* parent)
    : QDialog(parent)
    , FProtocol(protocol)
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
}

void TFLoadProg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The attempt starts once the dialog is on screen.
    QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TFLoadProg::PumpFor(int ms)
{
    FProtocol.Pause(ms);
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

    PumpFor(FBeforeMs);
    const uint8_t load[2] = { cmdLoadMemory, kLoadMemoryKey };
    uint8_t type = 0;
    const int n = FProtocol.SendRequest(load, 2, nullptr, &type);
    for (int position = 0; position < 100; ++position) {
        FProgress->setValue(position);
        for (int i = 0; i < 4; ++i)
            FProtocol.Pause(FStepMs);
    }
    FLastLoadOk = n >= 0 && type == fbAck;
    FLLoading->hide();
    FLLoadingOk->setVisible(FLastLoadOk);
    FLLoadingFailed->setVisible(!FLastLoadOk);
    FOKBtn->setEnabled(true);
    FCancelBtn->setEnabled(false);
    QCoreApplication::processEvents();
    FActivating = false;
    return FLastLoadOk;
}

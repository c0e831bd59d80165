#include "ui/main/TWindowSet.h"

#include "ui/dialogs/TConfCtrlForm.h"
#include "ui/dialogs/TConfCutOffForm.h"
#include "ui/dialogs/TConfLambdaForm.h"
#include "ui/memory/TFLoadProg.h"
#include "ui/memory/TMemProtForm.h"
#include "ui/memory/TPassForm.h"

TWindowSet::TWindowSet(TMainForm::TTransportFactory transports,
                       TKorvelComm::TOptions linkOptions)
{
    FMainForm = std::make_unique<TMainForm>(std::move(transports), linkOptions);
    TMainForm& main = *FMainForm;
    FMemProtForm = std::make_unique<TMemProtForm>(main.Protocol(), main.Passwords(), &main);
    FPassForm = std::make_unique<TPassForm>(main.Passwords(), &main);
    FConfLambdaForm = std::make_unique<TConfLambdaForm>(main.ControlSet(), main, &main);
    FConfCutOffForm = std::make_unique<TConfCutOffForm>(main.ControlSet(), main, &main);
    FConfCtrlForm = std::make_unique<TConfCtrlForm>(main.ControlSet(), main, &main);
    FLoadProg = std::make_unique<TFLoadProg>(main.Protocol(), &main);
    main.AttachWindows(FMemProtForm.get(), FPassForm.get(), FConfLambdaForm.get(),
                       FConfCutOffForm.get(), FConfCtrlForm.get(), FLoadProg.get());
}

TWindowSet::~TWindowSet()
{
    // The main window's link goes first: nothing may reach a dialog while they are destroyed.
    FMainForm->FormClose();
    FLoadProg.reset();
    FConfCtrlForm.reset();
    FConfCutOffForm.reset();
    FConfLambdaForm.reset();
    FPassForm.reset();
    FMemProtForm.reset();
    FMainForm.reset();
}

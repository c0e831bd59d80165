#include "ui/main/TWindowSet.h"

#include "settings/TComponentTranslator.h"
#include "ui/dialogs/TConfCtrlForm.h"
#include "ui/dialogs/TConfCutOffForm.h"
#include "ui/dialogs/TConfLambdaForm.h"
#include "ui/memory/TFLoadProg.h"
#include "ui/memory/TMemProtForm.h"
#include "ui/memory/TPassForm.h"

namespace {

// A window translates itself once it is made, into the language the main window's start-up
// chose.
template <class T>
std::unique_ptr<T> Translated(std::unique_ptr<T> window)
{
    TranslateComponent(window.get());
    return window;
}

} // namespace

TWindowSet::TWindowSet(TMainForm::TTransportFactory transports, TMainForm::TOptions options)
{
    FMainForm = std::make_unique<TMainForm>(std::move(transports), std::move(options));
    TMainForm& main = *FMainForm;
    FMemProtForm =
        Translated(std::make_unique<TMemProtForm>(main.Session(), &main));
    FPassForm = Translated(std::make_unique<TPassForm>(main.Passwords(), &main));
    FConfLambdaForm =
        Translated(std::make_unique<TConfLambdaForm>(main.ControlSet(), main, &main));
    FConfCutOffForm =
        Translated(std::make_unique<TConfCutOffForm>(main.ControlSet(), main, &main));
    FConfCtrlForm = Translated(std::make_unique<TConfCtrlForm>(main.ControlSet(), main, &main));
    FLoadProg = Translated(std::make_unique<TFLoadProg>(main.Session(), &main));
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

#pragma once

#include "link/TKorvelComm.h"
#include "ui/main/TMainForm.h"

#include <memory>

class TConfCtrlForm;
class TConfCutOffForm;
class TConfLambdaForm;
class TFLoadProg;
class TMemProtForm;
class TPassForm;

// The program's seven windows, made once in their fixed order: the main window, then
// TMemProtForm, TPassForm, TConfLambdaForm, TConfCutOffForm, TConfCtrlForm and TFLoadProg, each
// translated as soon as it is made, and attached to the main window. The dialogs are children
// of the main window and are destroyed before it.
class TWindowSet {
public:
    explicit TWindowSet(TMainForm::TTransportFactory transports,
                        TMainForm::TOptions options = {});
    ~TWindowSet();
    TWindowSet(const TWindowSet&) = delete;
    TWindowSet& operator=(const TWindowSet&) = delete;

    TMainForm& MainForm() const { return *FMainForm; }
    TMemProtForm& MemProtForm() const { return *FMemProtForm; }
    TPassForm& PassForm() const { return *FPassForm; }
    TConfLambdaForm& ConfLambdaForm() const { return *FConfLambdaForm; }
    TConfCutOffForm& ConfCutOffForm() const { return *FConfCutOffForm; }
    TConfCtrlForm& ConfCtrlForm() const { return *FConfCtrlForm; }
    TFLoadProg& LoadProg() const { return *FLoadProg; }

private:
    std::unique_ptr<TMainForm> FMainForm;
    std::unique_ptr<TMemProtForm> FMemProtForm;
    std::unique_ptr<TPassForm> FPassForm;
    std::unique_ptr<TConfLambdaForm> FConfLambdaForm;
    std::unique_ptr<TConfCutOffForm> FConfCutOffForm;
    std::unique_ptr<TConfCtrlForm> FConfCtrlForm;
    std::unique_ptr<TFLoadProg> FLoadProg;
};

#pragma once

class TConfDialog;

// A configuration dialog's handler, a member function named after its control and event
// (RpmReacLPositionChange, TpsInvClick). The dialogs' tables point each slider and check box to
// the handler its changes run.
using TDialogHandler = void (TConfDialog::*)();

// The handler `handler` of the dialog class TForm, as a table holds it.
template <class TForm>
inline TDialogHandler Handler(void (TForm::*handler)())
{
    return static_cast<TDialogHandler>(handler);
}

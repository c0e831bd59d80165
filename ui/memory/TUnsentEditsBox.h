#pragma once

#include "protocol/TControlSet.h"

#include <QMessageBox>

#include <vector>

class QPushButton;

// The question after a read that kept edits the controller does not hold. It lists each item
// with its caption, unit, the controller's value and the edited value, in the current
// language; "Send again" is the default button, "Discard" keeps the controller's values.
class TUnsentEditsBox : public QMessageBox {
    Q_OBJECT
public:
    TUnsentEditsBox(const std::vector<TUnsentEdit>& edits, QWidget* parent);

    // Runs the box; true for "Send again".
    bool Ask();

    QPushButton* SendAgainButton() const { return FSendAgain; }
    QPushButton* DiscardButton() const { return FDiscard; }

    // The list as a rich-text table: item, unit, controller, edited.
    static QString Table(const std::vector<TUnsentEdit>& edits);

private:
    QPushButton* FSendAgain;
    QPushButton* FDiscard;
};

#pragma once

#include <QDialog>

class QLineEdit;
struct TPasswords;

// "PROTECTED MEMORY": the password prompt that Load Memory shows when the controller refuses
// the password it was offered.
class TPassForm : public QDialog {
    Q_OBJECT
public:
    TPassForm(TPasswords& passwords, QWidget* parent = nullptr);

    QLineEdit* InActPass() const { return FInActPass; }
    // OK: EnteredPassword takes the edit's text and PasswordGiven becomes true.
    void BAceptarClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    TPasswords& FPasswords;
    QLineEdit* FInActPass;
};

#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class TControllerProtocol;
struct TPasswords;

// "MEMORY PROTECTION": sets a new password in the controller, after unlocking it with the
// current one.
class TMemProtForm : public QDialog {
    Q_OBJECT
public:
    TMemProtForm(TControllerProtocol& protocol, TPasswords& passwords, QWidget* parent = nullptr);

    QLineEdit* InActPass() const { return FInActPass; }
    QLineEdit* InNewPass() const { return FInNewPass; }
    QLineEdit* InConfPass() const { return FInConfPass; }
    void BAceptarClick();

    // Seam for the message boxes; by default a plain box with an OK button.
    std::function<void(const QString& message)> ShowMessage;

private:
    TControllerProtocol& FProtocol;
    TPasswords& FPasswords;
    QLineEdit* FInActPass;
    QLineEdit* FInNewPass;
    QLineEdit* FInConfPass;
};

#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class TControllerSession;

// "MEMORY PROTECTION": sets a new password in the controller, after unlocking it with the
// current one; the session runs the two exchanges.
class TMemProtForm : public QDialog {
    Q_OBJECT
public:
    explicit TMemProtForm(TControllerSession& session, QWidget* parent = nullptr);

    QLineEdit* InActPass() const { return FInActPass; }
    QLineEdit* InNewPass() const { return FInNewPass; }
    QLineEdit* InConfPass() const { return FInConfPass; }
    void BAceptarClick();

    // Seam for the message boxes; by default a plain box with an OK button.
    std::function<void(const QString& message)> ShowMessage;

private:
    TControllerSession& FSession;
    QLineEdit* FInActPass;
    QLineEdit* FInNewPass;
    QLineEdit* FInConfPass;
};

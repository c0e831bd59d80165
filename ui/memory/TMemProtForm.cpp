#include "ui/memory/TMemProtForm.h"

#include "session/TControllerSession.h"
#include "session/TPasswordField.h"
#include "session/TPasswords.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "settings/Gettext.h"

namespace {

// Fixed Spanish messages of the protection dialog; they are not translated.
const char* const kMismatch = "La nueva contraseña y su confirmación no coinciden...";
const char* const kWrongCurrent = "La contraseña actual no coincide...";
const char* const kNotStored = "No se pudo cargar la contraseña , intentelo nuevamente.";
const char* const kStored = "La contraseña fue cargada con exito...";

QLineEdit* PasswordEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(TPasswordField::kMaxChars);
    edit->setEchoMode(QLineEdit::Password);
    QFont f = edit->font();
    f.setBold(true);
    f.setPixelSize(16);
    edit->setFont(f);
    return edit;
}

} // namespace

TMemProtForm::TMemProtForm(TControllerSession& session, QWidget* parent)
    : QDialog(parent)
    , FSession(session)
{
    setObjectName(QStringLiteral("MemProtForm"));
    setWindowTitle(QStringLiteral(N_("MEMORY PROTECTION")));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    ShowMessage = [this](const QString& message) {
        QMessageBox box(QMessageBox::NoIcon, windowTitle(), message, QMessageBox::Ok, this);
        box.exec();
    };

    FInActPass = PasswordEdit(this, "InActPass");
    FInNewPass = PasswordEdit(this, "InNewPass");
    FInConfPass = PasswordEdit(this, "InConfPass");
    FInActPass->setText(QString::fromLatin1(FSession.Passwords().AcceptedPassword));

    auto* grid = new QGridLayout(this);
    const char* captions[3] = { N_("Current Password"), N_("New Password"),
                                N_("Confirm Password") };
    QLineEdit* edits[3] = { FInActPass, FInNewPass, FInConfPass };
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(QString::fromLatin1(captions[i]), this);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        grid->addWidget(l, i, 0);
        grid->addWidget(edits[i], i, 1, 1, 2);
    }
    auto* ok = new QPushButton(QStringLiteral(N_("Ok")), this);
    ok->setObjectName(QStringLiteral("BAceptar"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral(N_("Cancel")), this);
    cancel->setObjectName(QStringLiteral("BCancel"));
    connect(ok, &QPushButton::clicked, this, &TMemProtForm::BAceptarClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    grid->addWidget(ok, 3, 1);
    grid->addWidget(cancel, 3, 2);
    setFixedSize(340, 170);
}

void TMemProtForm::BAceptarClick()
{
    if (FInNewPass->text() != FInConfPass->text()) {
        ShowMessage(QString::fromUtf8(kMismatch));
        return;
    }
    const QByteArray current = TPasswordField::ToSingleBytes(FInActPass->text());
    // First the current password alone, as an unlock request.
    if (FSession.Unlock(current) != TControllerSession::TResult::Ok) {
        ShowMessage(QString::fromUtf8(kWrongCurrent));
        return;
    }
    if (FSession.StorePassword(current, TPasswordField::ToSingleBytes(FInNewPass->text()),
                               TPasswordField::ToSingleBytes(FInConfPass->text()))
        != TControllerSession::TResult::Ok) {
        ShowMessage(QString::fromUtf8(kNotStored));
        return;
    }
    ShowMessage(QString::fromUtf8(kStored));
    accept();
}

#include "ui/memory/TMemProtForm.h"

#include "protocol/TCommandCodes.h"
#include "protocol/TControllerProtocol.h"
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

TMemProtForm::TMemProtForm(TControllerProtocol& protocol, TPasswords& passwords, QWidget* parent)
    : QDialog(parent)
    , FProtocol(protocol)
    , FPasswords(passwords)
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
    FInActPass->setText(QString::fromLatin1(FPasswords.AcceptedPassword));

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
    QByteArray request(1, char(cmdSetPassword));
    request += TPasswordField::Field(TPasswordField::ToSingleBytes(FInActPass->text()));
    const QByteArray newPassword = TPasswordField::ToSingleBytes(FInNewPass->text());
    request += TPasswordField::Field(newPassword);
    request += TPasswordField::Field(TPasswordField::ToSingleBytes(FInConfPass->text()));

    // First the current password alone, as an unlock request.
    request[0] = char(cmdUnlock);
    uint8_t type = 0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(request.constData());
    if (FProtocol.SendRequest(bytes, 1 + TPasswordField::kFieldSize, nullptr, &type) < 0
        || type != fbAck) {
        ShowMessage(QString::fromUtf8(kWrongCurrent));
        return;
    }
    request[0] = char(cmdSetPassword);
    type = 0;
    if (FProtocol.SendRequest(bytes, int(request.size()), nullptr, &type) < 0 || type != fbAck) {
        ShowMessage(QString::fromUtf8(kNotStored));
        return;
    }
    FPasswords.AcceptedPassword = newPassword;
    ShowMessage(QString::fromUtf8(kStored));
    accept();
}

#include "ui/memory/TPassForm.h"

#include "session/TPasswordField.h"
#include "session/TPasswords.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "settings/Gettext.h"

TPassForm::TPassForm(TPasswords& passwords, QWidget* parent)
    : QDialog(parent)
    , FPasswords(passwords)
{
    setObjectName(QStringLiteral("PassForm"));
    setWindowTitle(QStringLiteral(N_("PROTECTED MEMORY")));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    FPasswords.PasswordGiven = false;

    auto* label = new QLabel(QStringLiteral(N_("Password")), this);
    label->setObjectName(QStringLiteral("Label1"));
    FInActPass = new QLineEdit(this);
    FInActPass->setObjectName(QStringLiteral("InActPass"));
    FInActPass->setMaxLength(TPasswordField::kMaxChars);
    FInActPass->setEchoMode(QLineEdit::Password);
    QFont f = FInActPass->font();
    f.setBold(true);
    f.setPixelSize(16);
    FInActPass->setFont(f);
    FInActPass->setText(QString::fromLatin1(FPasswords.EnteredPassword));

    auto* ok = new QPushButton(QStringLiteral(N_("Ok")), this);
    ok->setObjectName(QStringLiteral("BAceptar"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral(N_("Cancel")), this);
    cancel->setObjectName(QStringLiteral("BCancel"));
    connect(ok, &QPushButton::clicked, this, &TPassForm::BAceptarClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(FInActPass, 0, 1, 1, 2);
    grid->addWidget(ok, 1, 1);
    grid->addWidget(cancel, 1, 2);
    setFixedSize(280, 100);
}

void TPassForm::showEvent(QShowEvent* event)
{
    FPasswords.PasswordGiven = false;
    QDialog::showEvent(event);
    FInActPass->setFocus();
}

void TPassForm::BAceptarClick()
{
    FPasswords.EnteredPassword = TPasswordField::ToSingleBytes(FInActPass->text());
    FPasswords.PasswordGiven = true;
    accept();
}

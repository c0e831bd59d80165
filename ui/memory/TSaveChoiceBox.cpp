#include "ui/memory/TSaveChoiceBox.h"

#include "protocol/TFixedTexts.h"

#include <QPushButton>

#include "settings/Gettext.h"

TSaveChoiceBox::TSaveChoiceBox(QWidget* parent)
    : QMessageBox(QMessageBox::Question, QString::fromLatin1(TFixedTexts::AppTitle),
                  _("Some values on screen have not reached the controller. Which values do you "
                    "want to save?"),
                  QMessageBox::Cancel, parent)
{
    setObjectName(QStringLiteral("SaveChoiceBox"));
    FOnScreen = addButton(_("Values on screen"), QMessageBox::AcceptRole);
    FOnScreen->setObjectName(QStringLiteral("BOnScreen"));
    FController = addButton(_("Controller's values"), QMessageBox::AcceptRole);
    FController->setObjectName(QStringLiteral("BController"));
    button(QMessageBox::Cancel)->setText(_("Cancel"));
    setDefaultButton(FOnScreen);
}

std::optional<TSaveChoice> TSaveChoiceBox::Ask()
{
    exec();
    if (clickedButton() == FOnScreen)
        return TSaveChoice::OnScreen;
    if (clickedButton() == FController)
        return TSaveChoice::Controller;
    return std::nullopt;
}

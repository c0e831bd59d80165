#include "ui/memory/TUnsentEditsBox.h"

#include "protocol/TCtrlSetItem.h"
#include "protocol/TFixedTexts.h"

#include <QPushButton>

#include "settings/Gettext.h"

namespace {

QString Translated(const char* text)
{
    return text ? _(text) : QString();
}

QString Cell(const QString& text)
{
    return QStringLiteral("<td>%1</td>").arg(text.toHtmlEscaped());
}

QString Heading(const QString& text)
{
    return QStringLiteral("<th align=\"left\">%1</th>").arg(text.toHtmlEscaped());
}

} // namespace

TUnsentEditsBox::TUnsentEditsBox(const std::vector<TUnsentEdit>& edits, QWidget* parent)
    : QMessageBox(QMessageBox::Question, QString::fromLatin1(TFixedTexts::AppTitle),
                  _("These changes did not reach the controller. Send them again over the values "
                    "just read from it, or discard them and keep the controller's values?"),
                  QMessageBox::NoButton, parent)
{
    setObjectName(QStringLiteral("UnsentEditsBox"));
    setInformativeText(Table(edits));
    FSendAgain = addButton(_("Send again"), QMessageBox::AcceptRole);
    FSendAgain->setObjectName(QStringLiteral("BSendAgain"));
    FDiscard = addButton(_("Discard"), QMessageBox::DestructiveRole);
    FDiscard->setObjectName(QStringLiteral("BDiscard"));
    setDefaultButton(FSendAgain);
}

bool TUnsentEditsBox::Ask()
{
    exec();
    return clickedButton() == FSendAgain;
}

QString TUnsentEditsBox::Table(const std::vector<TUnsentEdit>& edits)
{
    QString rows = QStringLiteral("<tr>") + Heading(_("Setting")) + Heading(_("Unit"))
        + Heading(_("Controller")) + Heading(_("Edited")) + QStringLiteral("</tr>");
    for (const TUnsentEdit& e : edits) {
        const TCtrlSetItem& item = *e.item;
        rows += QStringLiteral("<tr>") + Cell(item.CaptionText(Translated))
            + Cell(Translated(item.unit))
            + Cell(item.ValueText(e.controllerValue, Translated))
            + Cell(item.ValueText(e.editedValue, Translated)) + QStringLiteral("</tr>");
    }
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">") + rows
        + QStringLiteral("</table>");
}

#include "settings/TLanguageMenu.h"

#include "settings/TComponentTranslator.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr const char* kItemPrefix = "MI";

} // namespace

TLanguageMenu::TLanguageMenu(QMenu& menu, TGettext& gettext, QObject* parent)
    : QObject(parent)
    , menu_(menu)
    , gettext_(gettext)
{
}

void TLanguageMenu::Fill(const TLanguageLists& lists)
{
    menu_.clear();
    const QString current = gettext_.GetCurrentLanguage().toLower();
    for (qsizetype i = 0; i < lists.LangCodes.size(); ++i) {
        const QString& code = lists.LangCodes[i];
        QAction* item = menu_.addAction(lists.LangNames.value(i, code));
        item->setCheckable(true);
        item->setChecked(code == current);
        item->setObjectName(kItemPrefix + code);
        TP_Ignore(item);
        connect(item, &QAction::triggered, this, [this, item] { MILanguageSelect(item); });
    }
    menu_.menuAction()->setVisible(!lists.LangCodes.isEmpty());
}

QString TLanguageMenu::MILanguageSelect(QAction* item)
{
    for (QAction* other : menu_.actions())
        other->setChecked(false);
    const QString code = item->objectName().mid(qstrlen(kItemPrefix));
    item->setChecked(true);
    gettext_.UseLanguage(code);
    emit LanguageSelected(code);
    return code;
}

#pragma once

#include "settings/TGettext.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;

// The "&Language" menu: one item per language that has a catalog, and the switch to the language
// the user picks.
class TLanguageMenu : public QObject {
    Q_OBJECT
public:
    // `menu` is the "&Language" menu and `gettext` the program's translation; neither is owned.
    TLanguageMenu(QMenu& menu, TGettext& gettext, QObject* parent = nullptr);

    // Fills the menu at start-up: per language, in list order, a checkable item captioned with
    // the language's name (never translated) and named "MI" followed by its code, ticked when
    // the code equals the current language in lower case. The menu is shown only when it holds
    // an item.
    void Fill(const TLanguageLists& lists);

    // The click handler of every item: unticks every item, takes the code from the item's name
    // (without the leading "MI"), ticks the item, makes the code the current language and
    // announces it with LanguageSelected. Returns the code.
    QString MILanguageSelect(QAction* item);

signals:
    // A language was chosen and is current: the owner translates its windows again, sets its
    // fixed texts and stores the code.
    void LanguageSelected(const QString& code);

private:
    QMenu& menu_;
    TGettext& gettext_;
};

#pragma once

#include "settings/TGettext.h"

#include <QByteArray>

#include <vector>

class QComboBox;
class QObject;
class QWidget;

// Translates the texts of a widget tree through gettext: the root, every object below it, the
// actions shown in their menus and toolbars, and the menus of those actions.
//
// Translated, by class (every subclass included):
//   QWidget      windowTitle, toolTip, statusTip, whatsThis
//   QLabel       text            QAbstractButton  text
//   QGroupBox    title           QComboBox        its items (pseudo-property "items")
//   QAction      text, toolTip, iconText, statusTip, whatsThis (menu titles are the texts of
//                the menus' actions)
// A tool button that shows an action and an action's toolTip or iconText that Qt derives from
// its text follow that text and are not translated of their own.
//
// Each text's untranslated form is kept on its object (dynamic properties "brevonOriginal.<name>"
// and "brevonShown.<name>"), so that a later pass translates from it and not from the previous
// language. A text the program has changed since the last pass is taken as the new untranslated
// text, so values written into labels are not put back.
//
// Not translated: objects whose property "notr" is true (TP_Ignore), objects of an ignored class
// and ignored properties of a class, and texts without a translation.
class TComponentTranslator {
public:
    // A translator with the rules above and no exclusions.
    TComponentTranslator();

    // The translator of TranslateComponent and the TP_Global... registrations.
    static TComponentTranslator& Global();

    void IgnoreClass(const QByteArray& className);
    void IgnoreClassProperty(const QByteArray& className, const QByteArray& propertyName);
    // Translates a further text property (a Q_PROPERTY of type QString) of a class.
    void TranslateClassProperty(const QByteArray& className, const QByteArray& propertyName);

    // Translates the tree below `root` (root included) through `domain`. Running it again, for
    // instance after a language change, translates from the untranslated texts.
    void Translate(QWidget* root, const char* domain = TGettext::kDefaultDomain) const;

private:
    struct TClassProperty {
        QByteArray className;
        QByteArray propertyName;
    };

    bool IsIgnored(const QObject* object) const;
    bool IsIgnored(const QObject* object, const QByteArray& propertyName) const;
    void TranslateObject(QObject* object, const char* domain) const;
    void TranslateItems(QComboBox* combo, const char* domain) const;

    std::vector<TClassProperty> translated_;
    std::vector<TClassProperty> ignoredProperties_;
    std::vector<QByteArray> ignoredClasses_;
};

// The names the windows use, on the global translator. Register the exclusions once, before any
// window is created.
void TP_GlobalIgnoreClass(const char* className);
void TP_GlobalIgnoreClassProperty(const char* className, const char* propertyName);
void TP_GlobalTranslateClassProperty(const char* className, const char* propertyName);
// Marks one object as never translated (value boxes, fixed Spanish texts): sets its property
// "notr", which a form built in Qt Designer can also set as a dynamic property.
void TP_Ignore(QObject* object);

// Translates a window once, when it is made.
void TranslateComponent(QWidget* root, const char* domain = TGettext::kDefaultDomain);
// Translates it again after a language change, from its untranslated texts. The same pass as
// TranslateComponent, which already translates from the untranslated texts; named apart so that
// each call says why it is made.
void RetranslateComponent(QWidget* root, const char* domain = TGettext::kDefaultDomain);

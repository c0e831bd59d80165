#include "settings/TComponentTranslator.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QList>
#include <QMenu>
#include <QSet>
#include <QStringList>
#include <QToolButton>
#include <QWidget>

#include <algorithm>

namespace {

constexpr const char* kNotTranslated = "notr";
constexpr const char* kItemsProperty = "items";

// What a pass keeps on an object of one of its texts (or of its list of items): the untranslated
// form and the translation it showed.
struct TKept {
    QVariant original;
    QVariant shown;
};

QByteArray OriginalKey(const QByteArray& propertyName)
{
    return "brevonOriginal." + propertyName;
}

QByteArray ShownKey(const QByteArray& propertyName)
{
    return "brevonShown." + propertyName;
}

TKept Kept(const QObject* object, const QByteArray& propertyName)
{
    return {object->property(OriginalKey(propertyName).constData()),
            object->property(ShownKey(propertyName).constData())};
}

void Keep(QObject* object, const QByteArray& propertyName, const TKept& kept)
{
    object->setProperty(OriginalKey(propertyName).constData(), kept.original);
    object->setProperty(ShownKey(propertyName).constData(), kept.shown);
}

// The untranslated form of a text that now reads `current`: the one kept by the last pass,
// unless the program has changed the text since, which makes `current` the untranslated text.
QString Untranslated(const QString& current, const QString& original, const QString& shown,
                     bool kept)
{
    return kept && shown == current ? original : current;
}

// The root, the objects below it, the actions of every widget met (menus and toolbars show
// actions that may be owned elsewhere) and the menus of those actions, each once.
QList<QObject*> ObjectsToTranslate(QWidget* root)
{
    QList<QObject*> objects;
    QSet<QObject*> seen;
    const auto add = [&](QObject* object) {
        if (object != nullptr && !seen.contains(object)) {
            seen.insert(object);
            objects.append(object);
        }
    };
    add(root);
    for (QObject* child : root->findChildren<QObject*>())
        add(child);
    // The list grows while it is walked: menus reached through actions are walked too.
    for (qsizetype i = 0; i < objects.size(); ++i) {
        if (const auto* widget = qobject_cast<QWidget*>(objects[i])) {
            for (QAction* action : widget->actions())
                add(action);
        } else if (const auto* action = qobject_cast<QAction*>(objects[i])) {
            add(action->menu<QMenu*>());
        }
    }
    return objects;
}

// True when an action's toolTip or iconText is the one Qt derives from the action's text. An
// explicit value that equals the derived one is made derived, so that it follows the text.
bool FollowsActionText(QObject* action, const char* propertyName)
{
    const QVariant value = action->property(propertyName);
    action->setProperty(propertyName, QString());
    if (action->property(propertyName) == value)
        return true;
    action->setProperty(propertyName, value);
    return false;
}

} // namespace

TComponentTranslator::TComponentTranslator()
    : translated_{
        {"QWidget", "windowTitle"},
        {"QWidget", "toolTip"},
        {"QWidget", "statusTip"},
        {"QWidget", "whatsThis"},
        {"QLabel", "text"},
        {"QAbstractButton", "text"},
        {"QGroupBox", "title"},
        {"QAction", "text"},
        {"QAction", "toolTip"},
        {"QAction", "iconText"},
        {"QAction", "statusTip"},
        {"QAction", "whatsThis"},
    }
{
}

TComponentTranslator& TComponentTranslator::Global()
{
    static TComponentTranslator translator;
    return translator;
}

void TComponentTranslator::IgnoreClass(const QByteArray& className)
{
    ignoredClasses_.push_back(className);
}

void TComponentTranslator::IgnoreClassProperty(const QByteArray& className,
                                               const QByteArray& propertyName)
{
    ignoredProperties_.push_back({className, propertyName});
}

void TComponentTranslator::TranslateClassProperty(const QByteArray& className,
                                                  const QByteArray& propertyName)
{
    translated_.push_back({className, propertyName});
}

bool TComponentTranslator::IsIgnored(const QObject* object) const
{
    if (object->property(kNotTranslated).toBool())
        return true;
    // A tool button that shows an action takes its texts from the action.
    const auto* button = qobject_cast<const QToolButton*>(object);
    if (button != nullptr && button->defaultAction() != nullptr)
        return true;
    return std::any_of(ignoredClasses_.begin(), ignoredClasses_.end(),
                       [&](const QByteArray& className) {
                           return object->inherits(className.constData());
                       });
}

bool TComponentTranslator::IsIgnored(const QObject* object, const QByteArray& propertyName) const
{
    return std::any_of(ignoredProperties_.begin(), ignoredProperties_.end(),
                       [&](const TClassProperty& rule) {
                           return rule.propertyName == propertyName
                               && object->inherits(rule.className.constData());
                       });
}

void TComponentTranslator::Translate(QWidget* root, const char* domain) const
{
    if (root == nullptr)
        return;
    for (QObject* object : ObjectsToTranslate(root)) {
        if (!IsIgnored(object))
            TranslateObject(object, domain);
    }
}

void TComponentTranslator::TranslateObject(QObject* object, const char* domain) const
{
    QList<QByteArray> done; // a property named by two rules (a class and its base) is done once
    for (const TClassProperty& rule : translated_) {
        const QByteArray& name = rule.propertyName;
        if (!object->inherits(rule.className.constData()) || done.contains(name)
            || IsIgnored(object, name)) {
            continue;
        }
        done.append(name);
        if (qobject_cast<QAction*>(object) && (name == "toolTip" || name == "iconText")
            && FollowsActionText(object, name.constData())) {
            continue;
        }
        const QVariant value = object->property(name.constData());
        if (value.typeId() != QMetaType::QString || value.toString().isEmpty())
            continue;
        const QString current = value.toString();
        const TKept kept = Kept(object, name);
        const QString original = Untranslated(current, kept.original.toString(),
                                              kept.shown.toString(), kept.shown.isValid());
        const QString translated = TGettext::Translate(original, domain);
        Keep(object, name, {original, translated});
        if (translated != current)
            object->setProperty(name.constData(), translated);
    }
    if (auto* combo = qobject_cast<QComboBox*>(object); combo && !IsIgnored(combo, kItemsProperty))
        TranslateItems(combo, domain);
}

void TComponentTranslator::TranslateItems(QComboBox* combo, const char* domain) const
{
    const TKept kept = Kept(combo, kItemsProperty);
    const QStringList originals = kept.original.toStringList();
    const QStringList shown = kept.shown.toStringList();
    QStringList newOriginals;
    QStringList newShown;
    for (int i = 0; i < combo->count(); ++i) {
        const QString current = combo->itemText(i);
        const QString original = Untranslated(current, originals.value(i), shown.value(i),
                                              i < shown.size());
        const QString translated = TGettext::Translate(original, domain);
        newOriginals.append(original);
        newShown.append(translated);
        if (translated != current)
            combo->setItemText(i, translated);
    }
    Keep(combo, kItemsProperty, {newOriginals, newShown});
}

void TP_GlobalIgnoreClass(const char* className)
{
    TComponentTranslator::Global().IgnoreClass(className);
}

void TP_GlobalIgnoreClassProperty(const char* className, const char* propertyName)
{
    TComponentTranslator::Global().IgnoreClassProperty(className, propertyName);
}

void TP_GlobalTranslateClassProperty(const char* className, const char* propertyName)
{
    TComponentTranslator::Global().TranslateClassProperty(className, propertyName);
}

void TP_Ignore(QObject* object)
{
    object->setProperty(kNotTranslated, true);
}

void TranslateComponent(QWidget* root, const char* domain)
{
    TComponentTranslator::Global().Translate(root, domain);
}

void RetranslateComponent(QWidget* root, const char* domain)
{
    TComponentTranslator::Global().Translate(root, domain);
}

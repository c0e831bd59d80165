#pragma once

// The seven windows started with a settings file, catalogs and language environment of the
// test's own, all in a temporary folder: the user's stored options and the process's language
// variables are left as they were. The catalogs are the program's own, as built from po/.
//
// Link the test with what MainWindowFixture.h needs; define BREVON_PROGRAM_DIR as the build
// folder that holds locale/.

#include "settings/TOpcionesAvanzadas.h"
#include "tests/settings/TEnvironmentGuard.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/dialogs/TConfCtrlForm.h"
#include "ui/dialogs/TConfCutOffForm.h"
#include "ui/dialogs/TConfLambdaForm.h"
#include "ui/memory/TFLoadProg.h"
#include "ui/memory/TMemProtForm.h"
#include "ui/memory/TPassForm.h"
#include "ui/widgets/TPlot.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Catalog folders to make: the folder's language code, and the built language whose catalog it
// holds ("xx" holding "es" gives a language that languagecodes.mo does not name).
using TCatalogs = std::vector<std::pair<const char*, const char*>>;

// The values of the options group, by name, as the store gives them back.
using TStored = std::map<QString, QVariant>;

// The stored form of a text: the text, then zero bytes up to 256.
inline QByteArray StoredField(const QByteArray& text)
{
    QByteArray field(TOpcionesAvanzadas::kTextFieldSize, '\0');
    field.replace(0, text.size(), text);
    return field;
}

// The four values as the program writes them, with the default folders and port.
inline TStored StoredDefaults(const QByteArray& langCode)
{
    return {{"PathEntrada", StoredField("M:\\RUVEZIZA\\ES_IN\\")},
            {"PathSalida", StoredField("M:\\RUVEZIZA\\ES_OUT\\")},
            {"SerialComm", QByteArray(4, '\0')},
            {"LangCode", StoredField(langCode)}};
}

// True when `object` lies in a dialog below `window` rather than in `window` itself.
inline bool InOtherWindow(const QObject* object, const QWidget* window)
{
    for (const QObject* o = object; o != nullptr && o != window; o = o->parent()) {
        if (qobject_cast<const QDialog*>(o) != nullptr)
            return true;
    }
    return false;
}

// The texts that Qt derives for an action's tip from its text, when none is given.
inline QString DerivedTip(const QAction* action)
{
    QString tip = action->text();
    tip.remove(QStringLiteral("..."));
    tip.remove(u'&');
    return tip.trimmed();
}

// The texts a window shows of its own that the translation may change: its caption, labels,
// buttons, group boxes, list items, menus and their items, tips and plot titles. The dialogs
// made as its children are left out, and so are objects that are never translated and the tips
// that Qt derives from a text.
inline QStringList ShownTexts(QWidget* window)
{
    QStringList texts;
    QList<QObject*> objects = window->findChildren<QObject*>();
    objects.prepend(window);
    for (QObject* o : objects) {
        if (InOtherWindow(o, window) || o->property("notr").toBool())
            continue;
        if (auto* w = qobject_cast<QWidget*>(o))
            texts << w->windowTitle() << w->toolTip();
        if (auto* label = qobject_cast<QLabel*>(o))
            texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(o))
            texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(o))
            texts << group->title();
        if (auto* menu = qobject_cast<QMenu*>(o))
            texts << menu->title();
        if (auto* action = qobject_cast<QAction*>(o)) {
            texts << action->text();
            if (action->toolTip() != DerivedTip(action))
                texts << action->toolTip();
        }
        if (auto* combo = qobject_cast<QComboBox*>(o)) {
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        }
        if (auto* plot = qobject_cast<TPlot*>(o)) {
            texts << plot->title();
            for (int ch = 0; ch < plot->channelCount(); ++ch)
                texts << plot->channelTitle(ch);
        }
    }
    texts.removeAll(QString());
    return texts;
}

// The seven windows, by name.
inline std::vector<std::pair<const char*, QWidget*>> SevenWindows(TWindowSet& w)
{
    return {{"TMainForm", &w.MainForm()},         {"TMemProtForm", &w.MemProtForm()},
            {"TPassForm", &w.PassForm()},         {"TConfLambdaForm", &w.ConfLambdaForm()},
            {"TConfCutOffForm", &w.ConfCutOffForm()}, {"TConfCtrlForm", &w.ConfCtrlForm()},
            {"TFLoadProg", &w.LoadProg()}};
}

// A few texts of each of the seven windows, as laid out and in Spanish.
struct TWindowTexts {
    const char* window; // as SevenWindows names it
    std::vector<std::pair<const char*, const char*>> texts; // English, Spanish
};

inline const TWindowTexts kWindowTexts[] = {
    {"TMainForm",
     {{"&File", "&Archivo"},
      {"&Language", "&Idioma"},
      {"Lambda Control configuration", "Configuración del control lambda"},
      {"Control Mode", "Modo de control"},
      {"Gasoline", "Nafta"},
      {"4 Cylinder / 1 Coil", "4 cilindros / 1 bobina"},
      {"Actual position", "Posición actual"}}},
    {"TMemProtForm",
     {{"MEMORY PROTECTION", "PROTECCIÓN DE MEMORIA"},
      {"Confirm Password", "Confirmar contraseña"}}},
    {"TPassForm",
     {{"PROTECTED MEMORY", "MEMORIA PROTEGIDA"}, {"Password", "Contraseña"}}},
    {"TConfLambdaForm",
     {{"LAMBDA CONTROL CONFIGURATION", "CONFIGURACIÓN DEL CONTROL LAMBDA"},
      {"Lambda probe emulation on high regime", "Emulación de sonda lambda en alto régimen"},
      {"Starts up Time", "Tiempo de arranque"},
      {"Sec", "Seg"}}},
    {"TConfCutOffForm",
     {{"CUT-OFF CONFIGURATION", "CONFIGURACIÓN DE CORTE"},
      {"Cut for high", "Corte por alta"},
      {"TPS with inverted signal (5 - 0 Volt)", "TPS con señal invertida (5 - 0 Volt)"}}},
    {"TConfCtrlForm",
     {{"CONTROL SYSTEM CONFIGURATION", "CONFIGURACIÓN DEL SISTEMA DE CONTROL"},
      {"Positioning Integration", "Integración de posición"},
      {"Ok", "Aceptar"}}},
    {"TFLoadProg",
     {{"Load Memory", "Cargar memoria"},
      {"Loading Failed, try again", "Falló la carga, intente nuevamente"}}},
};

// Every window shows the texts of kWindowTexts in Spanish or, as laid out, in English.
inline void ExpectWindowsIn(TWindowSet& windows, bool spanish)
{
    const std::map<std::string, QWidget*> byName = [&windows] {
        std::map<std::string, QWidget*> map;
        for (const auto& [name, window] : SevenWindows(windows))
            map[name] = window;
        return map;
    }();
    for (const TWindowTexts& row : kWindowTexts) {
        const QStringList texts = ShownTexts(byName.at(row.window));
        for (const auto& [english, translation] : row.texts) {
            const QString shown = QString::fromUtf8(spanish ? translation : english);
            const QString other = QString::fromUtf8(spanish ? english : translation);
            EXPECT_TRUE(texts.contains(shown)) << row.window << " lacks " << shown.toStdString();
            EXPECT_FALSE(texts.contains(other)) << row.window << " shows " << other.toStdString();
        }
    }
}

class LanguageFixture : public ::testing::Test {
protected:
    // Starts the windows under `environment` (the other language variables unset) with the
    // catalog folders `catalogs` and languagecodes.mo, and `langCode` stored, if not null.
    void Start(const TEnvironmentGuard::TVariables& environment, const TCatalogs& catalogs,
               const char* langCode)
    {
        TEnvironmentGuard::Start(environment);
        ASSERT_TRUE(QDir().mkpath(LocaleDir()));
        ASSERT_TRUE(QFile::copy(BuiltLocale().filePath(QStringLiteral("languagecodes.mo")),
                                QDir(LocaleDir()).filePath(QStringLiteral("languagecodes.mo"))));
        for (const auto& [code, from] : catalogs) {
            const QString messages = QStringLiteral("%1/LC_MESSAGES").arg(QLatin1String(code));
            const QString source = QStringLiteral("%1/LC_MESSAGES/default.mo")
                                       .arg(QLatin1String(from));
            ASSERT_TRUE(QDir(LocaleDir()).mkpath(messages));
            ASSERT_TRUE(QFile::copy(BuiltLocale().filePath(source),
                                    QDir(LocaleDir()).filePath(messages + "/default.mo")))
                << code;
        }
        if (langCode != nullptr)
            TOpcionesAvanzadas(SettingsFile()).SetLangCode(QString::fromUtf8(langCode));
        MainWindowRig::TOptions options;
        options.startClock = false;
        options.settingsFile = SettingsFile();
        options.catalogBaseDir = FDir.path();
        FRig = std::make_unique<MainWindowRig>(options);
    }

    MainWindowRig& rig() { return *FRig; }
    TWindowSet& windows() { return FRig->windows(); }
    TMainForm& window() { return FRig->window(); }

    QString SettingsFile() const { return FDir.filePath(QStringLiteral("Brevon.conf")); }

    TStored Stored() const
    {
        QSettings settings(SettingsFile(), QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("OpcionesAvanzadas"));
        TStored values;
        for (const QString& name : settings.childKeys())
            values[name] = settings.value(name);
        return values;
    }

    QStringList LanguageItems() const
    {
        QStringList names;
        for (QAction* item : FRig->window().MLanguage()->actions())
            names << item->text();
        return names;
    }

    QStringList TickedItems() const
    {
        QStringList ticked;
        for (QAction* item : FRig->window().MLanguage()->actions()) {
            if (item->isChecked())
                ticked << item->objectName();
        }
        return ticked;
    }

    QAction* LanguageItem(const char* code) const
    {
        return FRig->window().MLanguage()->findChild<QAction*>(
            QStringLiteral("MI") + QLatin1String(code));
    }

private:
    static QDir BuiltLocale() { return QDir(QStringLiteral(BREVON_PROGRAM_DIR "/locale")); }
    QString LocaleDir() const { return FDir.filePath(QStringLiteral("locale")); }

    // Declared first so that the environment is put back after the windows are gone.
    TEnvironmentGuard FEnvironment;
    QTemporaryDir FDir;
    std::unique_ptr<MainWindowRig> FRig;
};

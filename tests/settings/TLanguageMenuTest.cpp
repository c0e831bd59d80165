#include "settings/TLanguageMenu.h"

#include "settings/TComponentTranslator.h"
#include "settings/TGettext.h"
#include "tests/settings/TEnvironmentGuard.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <ostream>

namespace {

// The test catalogs: en, es and xx, of which languagecodes.mo names en and es.
const QString kCatalogs = QStringLiteral(BREVON_TEST_CATALOGS);

struct TLanguageWindow {
    QMainWindow window;
    QMenu* languageMenu = window.menuBar()->addMenu(QStringLiteral("&Language"));

    QStringList Names() const { return Collect([](QAction* a) { return a->text(); }); }
    QStringList ObjectNames() const { return Collect([](QAction* a) { return a->objectName(); }); }
    QStringList Ticked() const
    {
        return Collect([](QAction* a) { return a->isChecked() ? a->objectName() : QString(); })
            .filter(QStringLiteral("MI"));
    }
    QAction* Item(const char* name) const
    {
        return languageMenu->findChild<QAction*>(QString::fromUtf8(name));
    }

private:
    template <typename F>
    QStringList Collect(F f) const
    {
        QStringList values;
        for (QAction* action : languageMenu->actions())
            values.append(f(action));
        return values;
    }
};

struct TTickRow {
    const char* name;
    TEnvironmentGuard::TVariables variables;
    const char* langCode;     // the stored choice
    QStringList ticked;
};

void PrintTo(const TTickRow& row, std::ostream* os)
{
    *os << row.name;
}

class TLanguageMenuTicks : public testing::TestWithParam<TTickRow> {
protected:
    TEnvironmentGuard environment_;
};

TEST_P(TLanguageMenuTicks, FillsOneItemPerLanguageAndTicksTheCurrentOne)
{
    TEnvironmentGuard::Start(GetParam().variables);
    TGettext gettext(kCatalogs);
    TLanguageWindow window;
    TLanguageMenu menu(*window.languageMenu, gettext);

    menu.Fill(gettext.LanguageStartUp(QString::fromUtf8(GetParam().langCode)));

    EXPECT_EQ(window.Names(), QStringList({"English", "Español", "xx"}));
    EXPECT_EQ(window.ObjectNames(), QStringList({"MIen", "MIes", "MIxx"}));
    for (QAction* item : window.languageMenu->actions())
        EXPECT_TRUE(item->isCheckable()) << item->objectName().toStdString();
    EXPECT_EQ(window.Ticked(), GetParam().ticked);
    EXPECT_TRUE(window.languageMenu->menuAction()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TLanguageMenuTicks,
    testing::Values(
        TTickRow{"StoredCode", {{"LANG", "C.UTF-8"}}, "es", {"MIes"}},
        TTickRow{"StoredCodeInCapitals", {{"LANG", "C.UTF-8"}}, "ES", {"MIes"}},
        TTickRow{"StoredCodeWithoutCatalog", {{"LANG", "C.UTF-8"}}, "pt", {}},
        TTickRow{"EnvironmentLanguage", {{"LANGUAGE", "en"}}, "", {"MIen"}},
        // es_AR is compared with es: nothing is ticked, though the texts are Spanish.
        TTickRow{"EnvironmentLanguageWithCountry", {{"LANG", "es_AR.UTF-8"}}, "", {}}),
    [](const testing::TestParamInfo<TTickRow>& info) { return info.param.name; });

class TLanguageMenuTest : public testing::Test {
protected:
    void SetUp() override { TEnvironmentGuard::Start({{"LANG", "C.UTF-8"}}); }

    TEnvironmentGuard environment_;
};

TEST_F(TLanguageMenuTest, WithoutCatalogsTheMenuStaysHidden)
{
    TGettext gettext(kCatalogs);
    TLanguageWindow window;
    TLanguageMenu menu(*window.languageMenu, gettext);

    menu.Fill({});

    EXPECT_TRUE(window.languageMenu->actions().isEmpty());
    EXPECT_FALSE(window.languageMenu->menuAction()->isVisible());
}

TEST_F(TLanguageMenuTest, ChoosingAnItemSwitchesTheLanguageAndAnnouncesIt)
{
    TGettext gettext(kCatalogs);
    TLanguageWindow window;
    TLanguageMenu menu(*window.languageMenu, gettext);
    menu.Fill(gettext.LanguageStartUp(QStringLiteral("es")));
    QStringList announced;
    QObject::connect(&menu, &TLanguageMenu::LanguageSelected,
                     [&](const QString& code) { announced.append(code); });

    window.Item("MIen")->trigger();
    EXPECT_EQ(window.Ticked(), QStringList({"MIen"}));
    EXPECT_EQ(gettext.GetCurrentLanguage(), QStringLiteral("en"));
    EXPECT_EQ(TGettext::Translate("Volt's"), QStringLiteral("Volts"));
    EXPECT_EQ(announced, QStringList({"en"}));

    // The ticked item again stays ticked and is announced again.
    window.Item("MIen")->trigger();
    EXPECT_EQ(window.Ticked(), QStringList({"MIen"}));
    EXPECT_EQ(announced, QStringList({"en", "en"}));

    EXPECT_EQ(menu.MILanguageSelect(window.Item("MIes")), QStringLiteral("es"));
    EXPECT_EQ(window.Ticked(), QStringList({"MIes"}));
    EXPECT_EQ(TGettext::Translate("Volt's"), QStringLiteral("Voltios"));
    EXPECT_EQ(announced, QStringList({"en", "en", "es"}));
}

TEST_F(TLanguageMenuTest, LanguageNamesAreNotTranslated)
{
    TGettext gettext(kCatalogs);
    TLanguageWindow window;
    TLanguageMenu menu(*window.languageMenu, gettext);
    menu.Fill(gettext.LanguageStartUp(QStringLiteral("es")));

    TranslateComponent(&window.window);

    EXPECT_EQ(window.languageMenu->title(), QStringLiteral("&Idioma"));
    // The es catalog translates "English" too.
    EXPECT_EQ(window.Names(), QStringList({"English", "Español", "xx"}));
}

} // namespace

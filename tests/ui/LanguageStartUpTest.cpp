// The start-up's options and language: the stored options created on the first run, the
// "&Language" menu built from the catalogs found, and every window opened in the language
// chosen, stored or given by the environment.
#include "tests/ui/LanguageFixture.h"

#include "settings/TMoCatalog.h"

#include <QFileInfo>

#include <ostream>

namespace {

class LanguageStartUp : public LanguageFixture {};

TEST_F(LanguageStartUp, FirstRunStoresTheDefaults)
{
    ASSERT_FALSE(QFileInfo::exists(SettingsFile()));

    ASSERT_NO_FATAL_FAILURE(Start({{"LANG", "C.UTF-8"}}, {{"es", "es"}, {"en", "en"}}, nullptr));

    EXPECT_EQ(Stored(), StoredDefaults(""));
    EXPECT_EQ(window().Options().LangCode(), QString());
    EXPECT_EQ(window().Options().SerialComm(), 0);
}

TEST_F(LanguageStartUp, EveryTextOfTheWindowsHasASpanishTranslation)
{
    ASSERT_NO_FATAL_FAILURE(Start({{"LANG", "C.UTF-8"}}, {{"es", "es"}, {"en", "en"}}, "en"));
    TMoCatalog spanish;
    ASSERT_TRUE(spanish.Load(
        QStringLiteral(BREVON_PROGRAM_DIR "/locale/es/LC_MESSAGES/default.mo")));

    for (const auto& [name, w] : SevenWindows(windows())) {
        const QStringList texts = ShownTexts(w);
        EXPECT_FALSE(texts.isEmpty()) << name;
        for (const QString& text : texts) {
            EXPECT_TRUE(spanish.MessageIds().contains(text.toUtf8()))
                << name << ": " << text.toStdString();
        }
    }
}

struct TStartRow {
    const char* name;
    TEnvironmentGuard::TVariables environment;
    TCatalogs catalogs;
    const char* langCode; // stored before the start
    QStringList items;    // the "&Language" menu's items; hidden when there is none
    QStringList ticked;
    bool spanish;         // the windows open in Spanish, else with their English texts
};

void PrintTo(const TStartRow& row, std::ostream* os)
{
    *os << row.name;
}

class LanguageStartUpRows : public LanguageFixture,
                            public testing::WithParamInterface<TStartRow> {};

TEST_P(LanguageStartUpRows, OffersTheCatalogsAndOpensEveryWindowInTheChosenLanguage)
{
    const TStartRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(Start(row.environment, row.catalogs, row.langCode));

    EXPECT_EQ(LanguageItems(), row.items);
    EXPECT_EQ(TickedItems(), row.ticked);
    EXPECT_EQ(window().MLanguage()->menuAction()->isVisible(), !row.items.isEmpty());
    ExpectWindowsIn(windows(), row.spanish);
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Brevon 1.4.3.0"));
}

const TCatalogs kSpanishAndEnglish = {{"es", "es"}, {"en", "en"}};

INSTANTIATE_TEST_SUITE_P(
    Rows, LanguageStartUpRows,
    testing::Values(
        TStartRow{"StoredSpanish", {{"LANG", "C.UTF-8"}}, kSpanishAndEnglish, "es",
                  {"English", "Español"}, {"MIes"}, true},
        TStartRow{"StoredEnglish", {{"LANG", "es_AR.UTF-8"}}, kSpanishAndEnglish, "en",
                  {"English", "Español"}, {"MIen"}, false},
        // es is compared with es_ar: the texts are Spanish, but no item is ticked.
        TStartRow{"EnvironmentSpanishWithCountry",
                  {{"LANGUAGE", "es_AR"}, {"LANG", "es_AR.UTF-8"}}, {{"es", "es"}}, "",
                  {"Español"}, {}, true},
        TStartRow{"StoredCodeWithoutCatalog", {{"LANG", "es_AR.UTF-8"}}, kSpanishAndEnglish,
                  "pt", {"English", "Español"}, {}, false},
        // xx holds the Spanish texts, but languagecodes.mo has no name for it.
        TStartRow{"CodeWithoutName", {{"LANG", "C.UTF-8"}}, {{"es", "es"}, {"xx", "es"}}, "xx",
                  {"Español", "xx"}, {"MIxx"}, true},
        TStartRow{"NoCatalog", {{"LANG", "es_AR.UTF-8"}}, {}, "es", {}, {}, false}),
    [](const testing::TestParamInfo<TStartRow>& info) { return info.param.name; });

} // namespace

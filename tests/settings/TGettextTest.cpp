#include "settings/TGettext.h"

#include "tests/settings/TEnvironmentGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <libintl.h>
#include <ostream>
#include <string>

// Last, as its `_` macro asks.
#include "settings/Gettext.h"

namespace {

// The test catalogs: locale/{en,es,xx}/LC_MESSAGES/default.mo and locale/languagecodes.mo
// naming en and es. es translates "Load Memory" and "Volt's"; en only "Volt's", to "Volts".
const QString kCatalogs = QStringLiteral(BREVON_TEST_CATALOGS);

QString Tr(const char* msgid)
{
    return TGettext::Translate(msgid);
}

// Makes the file `path` (a folder when it ends with "/"), empty or as a copy of `copyOf`.
void MakeFile(const QString& path, const QString& copyOf = {})
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    if (path.endsWith(u'/'))
        return;
    if (!copyOf.isEmpty()) {
        ASSERT_TRUE(QFile::copy(copyOf, path));
        return;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

QString DefaultCatalog(const QString& baseDir, const QString& code)
{
    return baseDir + QStringLiteral("/locale/") + code + QStringLiteral("/LC_MESSAGES/default.mo");
}

class TGettextTest : public testing::Test {
protected:
    TEnvironmentGuard environment_;
};

TEST_F(TGettextTest, ListsTheLanguagesThatHaveADefaultCatalog)
{
    TEnvironmentGuard::Start({{"LANG", "C.UTF-8"}});
    const TGettext gettext(kCatalogs);
    EXPECT_EQ(gettext.LocaleDir(), kCatalogs + QStringLiteral("/locale"));
    EXPECT_EQ(gettext.GetListOfLanguages(), QStringList({"en", "es", "xx"}));
    EXPECT_EQ(gettext.GetListOfLanguages(QStringLiteral("languagecodes")), QStringList());
}

struct TFolderRow {
    const char* name;
    QStringList files; // below the base folder; empty files
    QStringList expected;
};

void PrintTo(const TFolderRow& row, std::ostream* os)
{
    *os << row.name;
}

class TGettextFolders : public testing::TestWithParam<TFolderRow> {
protected:
    TEnvironmentGuard environment_;
};

TEST_P(TGettextFolders, ListsOnlyFoldersWithADefaultCatalog)
{
    QTemporaryDir base;
    for (const QString& file : GetParam().files)
        MakeFile(base.filePath(file));
    const TGettext gettext(base.path());
    EXPECT_EQ(gettext.GetListOfLanguages(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TGettextFolders,
    testing::Values(
        TFolderRow{"NoLocaleFolder", {}, {}},
        TFolderRow{"EmptyLocaleFolder", {"locale/languagecodes.mo"}, {}},
        TFolderRow{"FoldersWithoutADefaultCatalog",
                   {"locale/fr/LC_MESSAGES/other.mo", "locale/de/LC_MESSAGES/",
                    "locale/pt/default.mo"},
                   {}},
        TFolderRow{"SortedCodes",
                   {"locale/pt/LC_MESSAGES/default.mo", "locale/de/LC_MESSAGES/default.mo",
                    "locale/es/LC_MESSAGES/default.mo", "locale/it/LC_MESSAGES/other.mo"},
                   {"de", "es", "pt"}}),
    [](const testing::TestParamInfo<TFolderRow>& info) { return info.param.name; });

TEST_F(TGettextTest, StartUpNamesTheLanguagesAndSwitchesToTheStoredOne)
{
    TEnvironmentGuard::Start({{"LANG", "C.UTF-8"}});
    TGettext gettext(kCatalogs);

    const TLanguageLists lists = gettext.LanguageStartUp(QStringLiteral("es"));

    EXPECT_EQ(lists.LangCodes, QStringList({"en", "es", "xx"}));
    // A code without a name in languagecodes.mo stays as the code.
    EXPECT_EQ(lists.LangNames, QStringList({"English", "Español", "xx"}));
    EXPECT_EQ(gettext.GetCurrentLanguage(), QStringLiteral("es"));
    EXPECT_EQ(Tr("Load Memory"), QStringLiteral("Cargar memoria"));
}

TEST_F(TGettextTest, StartUpWithoutLanguageNamesShowsTheCodes)
{
    TEnvironmentGuard::Start({{"LANG", "C.UTF-8"}});
    QTemporaryDir base;
    for (const char* code : {"es", "en"})
        MakeFile(DefaultCatalog(base.path(), code), DefaultCatalog(kCatalogs, code));
    TGettext gettext(base.path());

    const TLanguageLists lists = gettext.LanguageStartUp(QStringLiteral("es"));

    EXPECT_EQ(lists.LangCodes, QStringList({"en", "es"}));
    EXPECT_EQ(lists.LangNames, QStringList({"en", "es"}));
    EXPECT_EQ(Tr("Load Memory"), QStringLiteral("Cargar memoria"));
}

TEST_F(TGettextTest, StartUpWithoutCatalogsGivesEmptyLists)
{
    TEnvironmentGuard::Start({{"LANG", "C.UTF-8"}});
    QTemporaryDir base;
    TGettext gettext(base.path());

    const TLanguageLists lists = gettext.LanguageStartUp(QStringLiteral("es"));

    EXPECT_TRUE(lists.LangCodes.isEmpty());
    EXPECT_TRUE(lists.LangNames.isEmpty());
    // A stored code without a catalog leaves the texts untranslated.
    EXPECT_EQ(gettext.GetCurrentLanguage(), QStringLiteral("es"));
    EXPECT_EQ(Tr("Load Memory"), QStringLiteral("Load Memory"));
}

// Whatever language the process starts in, choosing one switches the texts at once, and back.
struct TStartRow {
    const char* name;
    TEnvironmentGuard::TVariables variables;
};

void PrintTo(const TStartRow& row, std::ostream* os)
{
    *os << row.name;
}

class TGettextSwitch : public testing::TestWithParam<TStartRow> {
protected:
    TEnvironmentGuard environment_;
};

TEST_P(TGettextSwitch, ChoosingALanguageTakesEffectAtOnce)
{
    TEnvironmentGuard::Start(GetParam().variables);
    TGettext gettext(kCatalogs);

    gettext.UseLanguage(QStringLiteral("es"));
    EXPECT_EQ(Tr("Load Memory"), QStringLiteral("Cargar memoria"));
    EXPECT_EQ(Tr("Volt's"), QStringLiteral("Voltios"));

    gettext.UseLanguage(QStringLiteral("en"));
    EXPECT_EQ(gettext.GetCurrentLanguage(), QStringLiteral("en"));
    EXPECT_EQ(Tr("Load Memory"), QStringLiteral("Load Memory"));
    EXPECT_EQ(Tr("Volt's"), QStringLiteral("Volts"));

    gettext.UseLanguage(QStringLiteral("es"));
    EXPECT_EQ(Tr("Volt's"), QStringLiteral("Voltios"));
    EXPECT_EQ(TGettext::Translate(QStringLiteral("Load Memory")), QStringLiteral("Cargar memoria"));
    // A plain gettext() call uses the domain "default" too.
    EXPECT_STREQ(::gettext("Load Memory"), "Cargar memoria");

    // A language without a catalog shows the texts as written.
    gettext.UseLanguage(QStringLiteral("pt"));
    EXPECT_EQ(gettext.GetCurrentLanguage(), QStringLiteral("pt"));
    EXPECT_EQ(Tr("Volt's"), QStringLiteral("Volt's"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TGettextSwitch,
    testing::Values(TStartRow{"LangUnset", {}},
                    TStartRow{"LangC", {{"LANG", "C"}}},
                    TStartRow{"LangPosix", {{"LANG", "POSIX"}}},
                    TStartRow{"LangNotInstalled", {{"LANG", "de_DE.UTF-8"}}},
                    TStartRow{"LcAllC", {{"LC_ALL", "C"}, {"LANG", "es_AR.UTF-8"}}},
                    TStartRow{"LangCUtf8", {{"LANG", "C.UTF-8"}}}),
    [](const testing::TestParamInfo<TStartRow>& info) { return info.param.name; });

// Without a chosen language the environment's applies.
struct TEnvironmentRow {
    const char* name;
    TEnvironmentGuard::TVariables variables;
    const char* currentLanguage;
    const char* volts; // "Volt's" translated
};

void PrintTo(const TEnvironmentRow& row, std::ostream* os)
{
    *os << row.name;
}

class TGettextEnvironment : public testing::TestWithParam<TEnvironmentRow> {
protected:
    TEnvironmentGuard environment_;
};

TEST_P(TGettextEnvironment, AnEmptyCodeGivesTheEnvironmentsLanguage)
{
    const TEnvironmentRow& row = GetParam();
    TEnvironmentGuard::Start(row.variables);
    TGettext gettext(kCatalogs);

    // As made, and at start-up with an empty stored code.
    EXPECT_EQ(gettext.GetCurrentLanguage(), QString::fromUtf8(row.currentLanguage));
    EXPECT_EQ(Tr("Volt's"), QString::fromUtf8(row.volts));
    gettext.LanguageStartUp({});
    EXPECT_EQ(gettext.GetCurrentLanguage(), QString::fromUtf8(row.currentLanguage));
    EXPECT_EQ(Tr("Volt's"), QString::fromUtf8(row.volts));

    // Back to it after another language: the environment is the one found at the start.
    gettext.UseLanguage(QStringLiteral("xx"));
    gettext.UseLanguage({});
    EXPECT_EQ(gettext.GetCurrentLanguage(), QString::fromUtf8(row.currentLanguage));
    EXPECT_EQ(Tr("Volt's"), QString::fromUtf8(row.volts));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TGettextEnvironment,
    testing::Values(
        TEnvironmentRow{"Unset", {}, "", "Volt's"},
        TEnvironmentRow{"LangC", {{"LANG", "C"}}, "", "Volt's"},
        TEnvironmentRow{"LangCUtf8", {{"LANG", "C.UTF-8"}}, "", "Volt's"},
        TEnvironmentRow{"LangWithoutCatalog", {{"LANG", "de_DE.UTF-8"}}, "de_DE", "Volt's"},
        TEnvironmentRow{"CountryFallsBackToLanguage", {{"LANG", "es_AR.UTF-8"}}, "es_AR",
                        "Voltios"},
        TEnvironmentRow{"LanguageComesFirst",
                        {{"LANGUAGE", "fr:es"}, {"LANG", "en_US.UTF-8"}}, "fr", "Voltios"},
        TEnvironmentRow{"LcAllBeforeLang",
                        {{"LC_ALL", "es_ES.UTF-8"}, {"LANG", "en_US.UTF-8"}}, "es_ES", "Voltios"},
        TEnvironmentRow{"LcMessagesBeforeLang",
                        {{"LC_MESSAGES", "en_GB.UTF-8"}, {"LANG", "es_AR.UTF-8"}}, "en_GB",
                        "Volts"},
        TEnvironmentRow{"LcAllCMeansNoLanguage", {{"LC_ALL", "C"}, {"LANG", "es_AR.UTF-8"}}, "",
                        "Volt's"},
        TEnvironmentRow{"ModifierIsKept", {{"LANG", "sr_RS.UTF-8@latin"}}, "sr_RS@latin",
                        "Volt's"}),
    [](const testing::TestParamInfo<TEnvironmentRow>& info) { return info.param.name; });

TEST_F(TGettextTest, PutsTheTextDomainLanguageAndLocaleBackWhenDestroyed)
{
    for (const bool languageSet : {true, false}) {
        TEnvironmentGuard::Start(languageSet ? TEnvironmentGuard::TVariables{{"LANGUAGE", "xx"}}
                                             : TEnvironmentGuard::TVariables{});
        ASSERT_STREQ(std::setlocale(LC_MESSAGES, nullptr), "C");
        const std::string textDomain = textdomain(nullptr);
        {
            TGettext gettext(kCatalogs);
            gettext.UseLanguage(QStringLiteral("es"));
            EXPECT_EQ(Tr("Load Memory"), QStringLiteral("Cargar memoria"));
        }
        EXPECT_EQ(qEnvironmentVariableIsSet("LANGUAGE"), languageSet);
        EXPECT_EQ(qgetenv("LANGUAGE"), languageSet ? QByteArray("xx") : QByteArray());
        EXPECT_STREQ(std::setlocale(LC_MESSAGES, nullptr), "C");
        EXPECT_EQ(textdomain(nullptr), textDomain);
        EXPECT_EQ(Tr("Load Memory"), QStringLiteral("Load Memory"));
    }
}

TEST_F(TGettextTest, TranslatesListsThroughADomain)
{
    TEnvironmentGuard::Start({{"LANG", "C.UTF-8"}});
    TGettext gettext(kCatalogs);
    gettext.UseLanguage(QStringLiteral("es"));

    EXPECT_EQ(gettext.TranslateProperties({"Load Memory", "Unknown", ""}, "default"),
              QStringList({"Cargar memoria", "Unknown", ""}));

    // A domain bound to one file is the same in every language.
    gettext.bindtextdomainToFile(QStringLiteral("names"),
                                 kCatalogs + QStringLiteral("/locale/languagecodes.mo"));
    for (const char* language : {"en", "es", "xx"}) {
        gettext.UseLanguage(QString::fromUtf8(language));
        EXPECT_EQ(gettext.TranslateProperties({"es", "en", "pt"}, "names"),
                  QStringList({"Español", "English", "pt"}))
            << language;
    }

    gettext.bindtextdomainToFile(QStringLiteral("names"), kCatalogs + QStringLiteral("/none.mo"));
    EXPECT_EQ(gettext.TranslateProperties({"es"}, "names"), QStringList({"es"}));
}

TEST_F(TGettextTest, TheEmptyTextStaysEmpty)
{
    TEnvironmentGuard::Start({{"LANG", "C.UTF-8"}});
    TGettext gettext(kCatalogs);
    gettext.UseLanguage(QStringLiteral("es"));
    // gettext itself would answer with the catalog's header.
    EXPECT_EQ(Tr(""), QString());
    EXPECT_EQ(TGettext::Translate(QString()), QString());
}

TEST_F(TGettextTest, TheMarkingMacros)
{
    TEnvironmentGuard::Start({{"LANG", "C.UTF-8"}});
    TGettext gettext(kCatalogs);
    gettext.UseLanguage(QStringLiteral("es"));

    // N_ only marks: the window keeps the English text and translates it later.
    EXPECT_STREQ(N_("Load Memory"), "Load Memory");
    EXPECT_EQ(_("Load Memory"), QStringLiteral("Cargar memoria"));
}

} // namespace

#include "settings/TGettext.h"
#include "settings/TMoCatalog.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The folder of the programs, which holds locale/ with the catalogs built from po/.
const QString kProgramDir = QStringLiteral(BREVON_PROGRAM_DIR);

TMoCatalog LoadCatalog(const QString& relativePath)
{
    TMoCatalog catalog;
    EXPECT_TRUE(catalog.Load(QDir(kProgramDir).filePath(relativePath)))
        << relativePath.toStdString();
    return catalog;
}

QList<QByteArray> Sorted(QList<QByteArray> ids)
{
    std::sort(ids.begin(), ids.end());
    return ids;
}

TEST(TCatalogs, EveryLanguageHasACatalogAndAName)
{
    TGettext gettext(kProgramDir);
    const TLanguageLists lists = gettext.LanguageStartUp({});
    EXPECT_EQ(lists.LangCodes, QStringList({"en", "es"}));
    EXPECT_EQ(lists.LangNames, QStringList({"English", "Español"}));
}

TEST(TCatalogs, EnglishAndSpanishTranslateTheSameTexts)
{
    const TMoCatalog en = LoadCatalog(QStringLiteral("locale/en/LC_MESSAGES/default.mo"));
    const TMoCatalog es = LoadCatalog(QStringLiteral("locale/es/LC_MESSAGES/default.mo"));
    ASSERT_FALSE(es.MessageIds().isEmpty());
    EXPECT_EQ(Sorted(en.MessageIds()), Sorted(es.MessageIds()));
    for (const QByteArray& id : es.MessageIds()) {
        const QString text = QString::fromUtf8(id);
        EXPECT_EQ(en.Translate(text), text);
        // A text with an access key keeps one.
        EXPECT_EQ(es.Translate(text).count(u'&'), text.count(u'&')) << id.toStdString();
    }
    EXPECT_EQ(es.Translate(QStringLiteral("&Language")), QStringLiteral("&Idioma"));
    EXPECT_EQ(es.Translate(QStringLiteral("Memory loaded finished succesfull  ")),
              QStringLiteral("Memoria cargada con éxito  "));
}

TEST(TCatalogs, FixedTextsAreNotInTheCatalogs)
{
    const TMoCatalog es = LoadCatalog(QStringLiteral("locale/es/LC_MESSAGES/default.mo"));
    for (const char* text : {"Brevon", " KorvelConnect", " Desconectado", "Orbel", " Detectado",
                             " No Detectado"}) {
        EXPECT_FALSE(es.MessageIds().contains(QByteArray(text))) << text;
    }
}

} // namespace

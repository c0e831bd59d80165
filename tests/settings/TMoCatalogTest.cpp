#include "settings/TMoCatalog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

const QString kCatalogs = QStringLiteral(BREVON_TEST_CATALOGS);

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(TMoCatalog, ReadsTheLanguageNamesInEitherByteOrder)
{
    for (const char* file : {"/locale/languagecodes.mo", "/languagecodes-big-endian.mo"}) {
        TMoCatalog catalog;
        ASSERT_TRUE(catalog.Load(kCatalogs + QLatin1StringView(file))) << file;
        EXPECT_EQ(catalog.Translate(QStringLiteral("es")), QStringLiteral("Español")) << file;
        EXPECT_EQ(catalog.Translate(QStringLiteral("en")), QStringLiteral("English")) << file;
        EXPECT_EQ(catalog.Translate(QStringLiteral("pt")), QStringLiteral("pt")) << file;
        // The empty id is the header, which is no translation.
        EXPECT_EQ(catalog.Translate(QString()), QString()) << file;
    }
}

TEST(TMoCatalog, UsesPlainEntriesAndTheSingularOfPluralOnes)
{
    TMoCatalog catalog;
    ASSERT_TRUE(catalog.Load(kCatalogs + QStringLiteral("/forms.mo")));
    EXPECT_EQ(catalog.Translate(QStringLiteral("plain")), QStringLiteral("llano"));
    EXPECT_EQ(catalog.Translate(QStringLiteral("one file")), QStringLiteral("un archivo"));
    EXPECT_EQ(catalog.Translate(QStringLiteral("context")), QStringLiteral("context"));
    EXPECT_EQ(catalog.Translate(QStringLiteral("untranslated")), QStringLiteral("untranslated"));
}

TEST(TMoCatalog, AMissingFileGivesAnEmptyCatalog)
{
    TMoCatalog catalog;
    EXPECT_FALSE(catalog.Load(kCatalogs + QStringLiteral("/missing.mo")));
    EXPECT_EQ(catalog.Translate(QStringLiteral("es")), QStringLiteral("es"));
}

struct TBrokenRow {
    const char* name;
    std::function<void(QByteArray&)> breakIt;
};

void PrintTo(const TBrokenRow& row, std::ostream* os)
{
    *os << row.name;
}

void PutU32(QByteArray& data, qsizetype pos, quint32 value)
{
    qToLittleEndian(value, data.data() + pos);
}

class TMoCatalogBroken : public testing::TestWithParam<TBrokenRow> {};

TEST_P(TMoCatalogBroken, IsRefusedAndLeavesTheCatalogEmpty)
{
    QByteArray data = ReadFile(kCatalogs + QStringLiteral("/locale/languagecodes.mo"));
    ASSERT_GT(data.size(), 28);
    GetParam().breakIt(data);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.mo"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
    file.close();

    TMoCatalog catalog;
    ASSERT_TRUE(catalog.Load(kCatalogs + QStringLiteral("/locale/languagecodes.mo")));
    EXPECT_FALSE(catalog.Load(path));
    EXPECT_EQ(catalog.Translate(QStringLiteral("es")), QStringLiteral("es"));
}

// The offsets are those of the header: magic 0, revision 4, count 8, id table 12, text table 16.
INSTANTIATE_TEST_SUITE_P(
    Rows, TMoCatalogBroken,
    testing::Values(
        TBrokenRow{"Empty", [](QByteArray& d) { d.clear(); }},
        TBrokenRow{"ShorterThanTheHeader", [](QByteArray& d) { d.truncate(27); }},
        TBrokenRow{"WrongMagic", [](QByteArray& d) { PutU32(d, 0, 0x12345678); }},
        TBrokenRow{"UnknownRevision", [](QByteArray& d) { PutU32(d, 4, 2u << 16); }},
        TBrokenRow{"CountBeyondTheFile", [](QByteArray& d) { PutU32(d, 8, 0xFFFFFFFF); }},
        TBrokenRow{"IdTableBeyondTheFile",
                   [](QByteArray& d) { PutU32(d, 12, static_cast<quint32>(d.size())); }},
        TBrokenRow{"TextTableBeyondTheFile", [](QByteArray& d) { PutU32(d, 16, 0xFFFFFFF0); }},
        TBrokenRow{"StringBeyondTheFile",
                   [](QByteArray& d) {
                       // The first id's offset.
                       const auto table = qFromLittleEndian<quint32>(d.constData() + 12);
                       PutU32(d, table + 4, static_cast<quint32>(d.size() + 1));
                   }},
        TBrokenRow{"StringLengthBeyondTheFile",
                   [](QByteArray& d) {
                       const auto table = qFromLittleEndian<quint32>(d.constData() + 16);
                       PutU32(d, table, 0xFFFFFFFF);
                   }}),
    [](const testing::TestParamInfo<TBrokenRow>& info) { return info.param.name; });

} // namespace

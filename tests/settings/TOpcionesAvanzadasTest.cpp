#include "settings/TOpcionesAvanzadas.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <ostream>

namespace {

const QByteArray kDefaultIn = "M:\\RUVEZIZA\\ES_IN\\";
const QByteArray kDefaultOut = "M:\\RUVEZIZA\\ES_OUT\\";

// The stored form of a text: the text, then zero bytes up to 256.
QByteArray Field(const QByteArray& text)
{
    QByteArray field(TOpcionesAvanzadas::kTextFieldSize, '\0');
    field.replace(0, text.size(), text);
    return field;
}

QByteArray Le32(int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return bytes;
}

// The values of the options group, by name, as the store gives them back.
using TStored = std::map<QString, QVariant>;

// A settings file in a temporary folder.
class TStore {
public:
    QString Path() const { return dir_.filePath(QStringLiteral("Brevon.conf")); }

    void Write(const TStored& values) const
    {
        QSettings settings(Path(), QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("OpcionesAvanzadas"));
        for (const auto& [name, value] : values)
            settings.setValue(name, value);
    }

    TStored Read() const
    {
        QSettings settings(Path(), QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("OpcionesAvanzadas"));
        TStored values;
        for (const QString& name : settings.childKeys())
            values[name] = settings.value(name);
        return values;
    }

private:
    QTemporaryDir dir_;
};

// The four values as written by the options object.
TStored Written(const QByteArray& in, const QByteArray& out, int32_t serialComm,
                const QByteArray& langCode)
{
    return {{"PathEntrada", Field(in)},
            {"PathSalida", Field(out)},
            {"SerialComm", Le32(serialComm)},
            {"LangCode", Field(langCode)}};
}

void ExpectOptions(const TOpcionesAvanzadas& options, const QByteArray& in, const QByteArray& out,
                   int32_t serialComm, const QByteArray& langCode)
{
    EXPECT_EQ(options.PathEntrada(), QString::fromLocal8Bit(in));
    EXPECT_EQ(options.PathSalida(), QString::fromLocal8Bit(out));
    EXPECT_EQ(options.SerialComm(), serialComm);
    EXPECT_EQ(options.LangCode(), QString::fromLocal8Bit(langCode));
}

TEST(TOpcionesAvanzadas, FirstRunCreatesTheValuesWithTheDefaults)
{
    TStore store;
    const TOpcionesAvanzadas options(store.Path());

    ExpectOptions(options, kDefaultIn, kDefaultOut, 0, "");
    const TStored stored = store.Read();
    EXPECT_EQ(stored, Written(kDefaultIn, kDefaultOut, 0, ""));
    for (const char* name : {"PathEntrada", "PathSalida", "LangCode"})
        EXPECT_EQ(stored.at(name).toByteArray().size(), 256) << name;
    EXPECT_EQ(stored.at("SerialComm").toByteArray().size(), 4);
}

struct TLoadRow {
    const char* name;
    TStored stored;
    QByteArray in;           // the options expected after loading
    QByteArray out;
    int32_t serialComm;
    QByteArray langCode;
    bool rewritten;          // all four written back; otherwise the store is left as it was
};

void PrintTo(const TLoadRow& row, std::ostream* os)
{
    *os << row.name;
}

class TOpcionesAvanzadasLoad : public testing::TestWithParam<TLoadRow> {};

TEST_P(TOpcionesAvanzadasLoad, ReadsTheStoredValues)
{
    const TLoadRow& row = GetParam();
    TStore store;
    store.Write(row.stored);

    const TOpcionesAvanzadas options(store.Path());

    ExpectOptions(options, row.in, row.out, row.serialComm, row.langCode);
    EXPECT_EQ(store.Read(),
              row.rewritten ? Written(row.in, row.out, row.serialComm, row.langCode) : row.stored);
}

// A first value stored short, without its zero bytes, shows whether the values were written back.
const QByteArray kIn = "C:\\in\\";
const QByteArray kOut = "C:\\out\\";

INSTANTIATE_TEST_SUITE_P(
    Rows, TOpcionesAvanzadasLoad,
    testing::Values(
        TLoadRow{"AllFour",
                 {{"PathEntrada", kIn}, {"PathSalida", Field(kOut)}, {"SerialComm", Le32(7)},
                  {"LangCode", Field("es")}},
                 kIn, kOut, 7, "es", false},
        TLoadRow{"SerialComm23IsKept",
                 {{"PathEntrada", kIn}, {"PathSalida", kOut}, {"SerialComm", Le32(23)},
                  {"LangCode", Field("es")}},
                 kIn, kOut, 23, "es", false},
        TLoadRow{"SerialComm24IsResetAndWrittenBack",
                 {{"PathEntrada", kIn}, {"PathSalida", kOut}, {"SerialComm", Le32(24)},
                  {"LangCode", Field("es")}},
                 kIn, kOut, 0, "es", true},
        TLoadRow{"SerialCommMinus1IsResetAndWrittenBack",
                 {{"PathEntrada", kIn}, {"PathSalida", kOut},
                  {"SerialComm", QByteArray("\xFF\xFF\xFF\xFF", 4)}, {"LangCode", Field("en")}},
                 kIn, kOut, 0, "en", true},
        TLoadRow{"ResetWithoutLangCodeWritesItEmpty",
                 {{"PathEntrada", kIn}, {"PathSalida", kOut}, {"SerialComm", Le32(100)}},
                 kIn, kOut, 0, "", true},
        TLoadRow{"WithoutLangCode",
                 {{"PathEntrada", kIn}, {"PathSalida", kOut}, {"SerialComm", Le32(5)}},
                 kIn, kOut, 5, "", false},
        TLoadRow{"MissingPathSalidaStopsTheReading",
                 {{"PathEntrada", kIn}, {"SerialComm", Le32(5)}, {"LangCode", Field("es")}},
                 kIn, kDefaultOut, 0, "", false},
        TLoadRow{"PathEntradaOver256BytesStopsAtOnce",
                 {{"PathEntrada", QByteArray(257, 'A')}, {"PathSalida", kOut},
                  {"SerialComm", Le32(5)}, {"LangCode", Field("es")}},
                 kDefaultIn, kDefaultOut, 0, "", false},
        TLoadRow{"SerialCommOver4BytesStopsTheReading",
                 {{"PathEntrada", kIn}, {"PathSalida", kOut},
                  {"SerialComm", QByteArray("\x05\0\0\0\0", 5)}, {"LangCode", Field("es")}},
                 kIn, kOut, 0, "", false},
        TLoadRow{"ShortSerialCommFillsItsLowBytes",
                 {{"PathEntrada", kIn}, {"PathSalida", kOut}, {"SerialComm", QByteArray("\x05")},
                  {"LangCode", Field("es")}},
                 kIn, kOut, 5, "es", false},
        TLoadRow{"TextEndsAtItsFirstZero",
                 {{"PathEntrada", QByteArray("C:\\a\0junk", 9)}, {"PathSalida", kOut},
                  {"SerialComm", Le32(1)}, {"LangCode", Field("es")}},
                 "C:\\a", kOut, 1, "es", false},
        TLoadRow{"Text256BytesWithoutZeroKeeps255",
                 {{"PathEntrada", QByteArray(256, 'A')}, {"PathSalida", kOut},
                  {"SerialComm", Le32(1)}, {"LangCode", Field("es")}},
                 QByteArray(255, 'A'), kOut, 1, "es", false},
        TLoadRow{"ValuesStoredAsStrings",
                 {{"PathEntrada", QStringLiteral("D:\\plain\\")}, {"PathSalida", kOut},
                  {"SerialComm", Le32(2)}, {"LangCode", QStringLiteral("en")}},
                 "D:\\plain\\", kOut, 2, "en", false}),
    [](const testing::TestParamInfo<TLoadRow>& info) { return info.param.name; });

TEST(TOpcionesAvanzadas, SetLangCodeWritesAllFourValues)
{
    TStore store;
    store.Write({{"PathEntrada", kIn}, {"PathSalida", kOut}, {"SerialComm", Le32(9)}});
    TOpcionesAvanzadas options(store.Path());

    options.SetLangCode(QStringLiteral("es"));

    ExpectOptions(options, kIn, kOut, 9, "es");
    EXPECT_EQ(store.Read(), Written(kIn, kOut, 9, "es"));

    // The same code again writes the same four values once more.
    options.SetLangCode(QStringLiteral("es"));
    EXPECT_EQ(store.Read(), Written(kIn, kOut, 9, "es"));
}

TEST(TOpcionesAvanzadas, SetLangCodeCutsALongCodeTo255Bytes)
{
    TStore store;
    TOpcionesAvanzadas options(store.Path());

    options.SetLangCode(QString(300, u'x'));

    EXPECT_EQ(options.LangCode(), QString(255, u'x'));
    EXPECT_EQ(store.Read().at("LangCode").toByteArray(), Field(QByteArray(255, 'x')));
    // Read back by the next run.
    EXPECT_EQ(TOpcionesAvanzadas(store.Path()).LangCode(), QString(255, u'x'));
}

TEST(TOpcionesAvanzadas, AStoreThatCannotBeWrittenKeepsTheOptionsInMemory)
{
    QTemporaryDir dir;
    // A settings file below a plain file can be neither read nor created.
    const QString blocker = dir.filePath(QStringLiteral("file"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString path = blocker + QStringLiteral("/Brevon.conf");

    TOpcionesAvanzadas options(path);
    ExpectOptions(options, kDefaultIn, kDefaultOut, 0, "");

    options.SetLangCode(QStringLiteral("es"));
    EXPECT_EQ(options.LangCode(), QStringLiteral("es"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(TOpcionesAvanzadas, ThePerUserStoreIsKorvelBrevon)
{
    // Points the per-user store of this test process at a temporary folder.
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());

    TOpcionesAvanzadas options;
    options.SetLangCode(QStringLiteral("en"));

    QSettings settings(QStringLiteral("Korvel"), QStringLiteral("Brevon"));
    settings.beginGroup(QStringLiteral("OpcionesAvanzadas"));
    EXPECT_EQ(settings.value(QStringLiteral("LangCode")).toByteArray(), Field("en"));
#ifndef Q_OS_WIN
    // Outside Windows the per-user store is a file below the folder set above.
    EXPECT_TRUE(settings.fileName().startsWith(dir.path())) << settings.fileName().toStdString();
#endif
}

} // namespace

// The last recording's folder is read back by the next run and leaves the four options alone.
TEST(TOpcionesAvanzadas, TheDatalogFolderIsKeptForTheNextRun)
{
    TStore store;
    TOpcionesAvanzadas options(store.Path());
    EXPECT_TRUE(options.DatalogFolder().isEmpty());
    const QString folder = QStringLiteral("/home/installer/registros ñ/") + QString(300, u'x');

    options.SetDatalogFolder(folder);

    EXPECT_EQ(options.DatalogFolder(), folder);
    EXPECT_EQ(store.Read(), Written(kDefaultIn, kDefaultOut, 0, ""));
    const TOpcionesAvanzadas next(store.Path());
    EXPECT_EQ(next.DatalogFolder(), folder);
    ExpectOptions(next, kDefaultIn, kDefaultOut, 0, "");
}

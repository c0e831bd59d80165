#include "settings/TOpcionesAvanzadas.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace {

constexpr const char* kOrganisation = "Korvel";
constexpr const char* kApplication = "Brevon";
constexpr const char* kGroup = "OpcionesAvanzadas";
constexpr const char* kDatalogGroup = "Datalog";
constexpr const char* kDatalogFolderName = "Folder";

constexpr const char* kPathEntradaName = "PathEntrada";
constexpr const char* kPathSalidaName = "PathSalida";
constexpr const char* kSerialCommName = "SerialComm";
constexpr const char* kLangCodeName = "LangCode";

constexpr const char* kDefaultPathEntrada = "M:\\RUVEZIZA\\ES_IN\\";
constexpr const char* kDefaultPathSalida = "M:\\RUVEZIZA\\ES_OUT\\";
constexpr int kSerialCommSize = 4;
constexpr int32_t kSerialCommMax = 23;

// A stored value's bytes, whatever type the store gives it back as; nothing when it is missing.
std::optional<QByteArray> StoredBytes(const QSettings& store, const char* name)
{
    const QVariant value = store.value(QLatin1StringView(name));
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    return value.toString().toLocal8Bit();
}

// What a 256-byte field keeps of `bytes`: up to the first zero byte, at most 255 bytes.
QByteArray FieldText(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    const qsizetype end = zero < 0 ? bytes.size() : zero;
    return bytes.left(std::min<qsizetype>(end, TOpcionesAvanzadas::kMaxTextLength));
}

// The stored form of a text: the text, then zero bytes up to 256.
QByteArray FieldBytes(const QByteArray& text)
{
    QByteArray field(TOpcionesAvanzadas::kTextFieldSize, '\0');
    std::memcpy(field.data(), text.constData(), static_cast<size_t>(text.size()));
    return field;
}

bool ReadText(const QSettings& store, const char* name, QByteArray& field)
{
    const std::optional<QByteArray> bytes = StoredBytes(store, name);
    if (!bytes || bytes->size() > TOpcionesAvanzadas::kTextFieldSize)
        return false;
    field = FieldText(*bytes);
    return true;
}

bool ReadSerialComm(const QSettings& store, int32_t& value)
{
    const std::optional<QByteArray> bytes = StoredBytes(store, kSerialCommName);
    if (!bytes || bytes->size() > kSerialCommSize)
        return false;
    std::array<uchar, kSerialCommSize> littleEndian{};
    std::memcpy(littleEndian.data(), bytes->constData(), static_cast<size_t>(bytes->size()));
    value = qFromLittleEndian<int32_t>(littleEndian.data());
    return true;
}

} // namespace

TOpcionesAvanzadas::TOpcionesAvanzadas()
{
    LoadOptions();
}

TOpcionesAvanzadas::TOpcionesAvanzadas(const QString& fileName, QSettings::Format format)
    : fileName_(fileName)
    , format_(format)
{
    LoadOptions();
}

std::unique_ptr<QSettings> TOpcionesAvanzadas::OpenStore(const char* group) const
{
    auto store = fileName_.isEmpty()
        ? std::make_unique<QSettings>(QString::fromLatin1(kOrganisation),
                                      QString::fromLatin1(kApplication))
        : std::make_unique<QSettings>(fileName_, format_);
    store->beginGroup(QLatin1StringView(group));
    return store;
}

void TOpcionesAvanzadas::SetDefaults()
{
    serialComm_ = 0;
    pathEntrada_ = kDefaultPathEntrada;
    pathSalida_ = kDefaultPathSalida;
    langCode_.clear();
}

void TOpcionesAvanzadas::LoadOptions()
{
    SetDefaults();
    datalogFolder_ =
        OpenStore(kDatalogGroup)->value(QLatin1StringView(kDatalogFolderName)).toString();
    {
        const std::unique_ptr<QSettings> store = OpenStore(kGroup);
        if (store->status() == QSettings::NoError) {
            if (store->childKeys().isEmpty()) {
                // First run: the options are created with their defaults.
                CheckSerialComm();
                WriteOptionValues(*store);
                return;
            }
            // Reading stops at the first value that is missing or too large.
            ReadText(*store, kPathEntradaName, pathEntrada_)
                && ReadText(*store, kPathSalidaName, pathSalida_)
                && ReadSerialComm(*store, serialComm_)
                && ReadText(*store, kLangCodeName, langCode_);
        }
    }
    if (CheckSerialComm())
        SaveOptions();
}

bool TOpcionesAvanzadas::CheckSerialComm()
{
    if (serialComm_ >= 0 && serialComm_ <= kSerialCommMax)
        return false;
    serialComm_ = 0;
    return true;
}

void TOpcionesAvanzadas::SaveOptions()
{
    const std::unique_ptr<QSettings> store = OpenStore(kGroup);
    if (!store->isWritable())
        return;
    WriteOptionValues(*store);
}

void TOpcionesAvanzadas::WriteOptionValues(QSettings& store) const
{
    std::array<uchar, kSerialCommSize> serialComm{};
    qToLittleEndian<int32_t>(serialComm_, serialComm.data());
    store.setValue(QLatin1StringView(kPathEntradaName), FieldBytes(pathEntrada_));
    store.setValue(QLatin1StringView(kPathSalidaName), FieldBytes(pathSalida_));
    store.setValue(QLatin1StringView(kSerialCommName),
                   QByteArray(reinterpret_cast<const char*>(serialComm.data()), kSerialCommSize));
    store.setValue(QLatin1StringView(kLangCodeName), FieldBytes(langCode_));
    store.sync(); // the results are not examined: a failed write is lost
}

void TOpcionesAvanzadas::SetLangCode(const QString& code)
{
    langCode_ = FieldText(code.toLocal8Bit());
    CheckSerialComm();
    SaveOptions();
}

void TOpcionesAvanzadas::SetDatalogFolder(const QString& folder)
{
    datalogFolder_ = folder;
    const std::unique_ptr<QSettings> store = OpenStore(kDatalogGroup);
    if (!store->isWritable())
        return;
    store->setValue(QLatin1StringView(kDatalogFolderName), folder);
    store->sync();
}

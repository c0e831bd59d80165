#include "settings/TMoCatalog.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr quint32 kMoMagic = 0x950412de;
constexpr qsizetype kMoHeaderSize = 28; // magic, revision, count, two table offsets, hash table
constexpr quint64 kDescriptorSize = 8;  // a string descriptor: length, then offset

// The caller has checked that the four bytes at `pos` lie inside `data`.
quint32 ReadU32(const QByteArray& data, quint64 pos, bool bigEndian)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData()) + pos;
    return bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
}

// A plural entry holds its forms one after the other, separated by zero bytes; the first is the
// singular.
QByteArray FirstForm(const char* text, quint64 length)
{
    return QByteArray(text, qstrnlen(text, static_cast<size_t>(length)));
}

} // namespace

bool TMoCatalog::Load(const QString& fileName)
{
    entries_.clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return Parse(file.readAll());
}

bool TMoCatalog::Parse(const QByteArray& data)
{
    if (data.size() < kMoHeaderSize)
        return false;
    // The magic number, read in the file's own byte order, tells that order.
    bool bigEndian = false;
    if (ReadU32(data, 0, true) == kMoMagic)
        bigEndian = true;
    else if (ReadU32(data, 0, false) != kMoMagic)
        return false;
    // Revision 1 only adds system-dependent strings in tables of its own; the plain tables read
    // here are the same as in revision 0.
    if ((ReadU32(data, 4, bigEndian) >> 16) > 1)
        return false;

    const quint64 size = static_cast<quint64>(data.size());
    const quint64 count = ReadU32(data, 8, bigEndian);
    const quint64 idTable = ReadU32(data, 12, bigEndian);
    const quint64 textTable = ReadU32(data, 16, bigEndian);
    // All operands are below 2^32, so none of the sums below can overflow 64 bits.
    if (idTable + count * kDescriptorSize > size || textTable + count * kDescriptorSize > size)
        return false;

    const auto readString = [&](quint64 table, quint64 index, QByteArray& out) {
        const quint64 at = table + index * kDescriptorSize;
        const quint64 length = ReadU32(data, at, bigEndian);
        const quint64 offset = ReadU32(data, at + 4, bigEndian);
        if (offset + length > size)
            return false;
        out = FirstForm(data.constData() + offset, length);
        return true;
    };

    QHash<QByteArray, QByteArray> entries;
    for (quint64 i = 0; i < count; ++i) {
        QByteArray msgid;
        QByteArray msgstr;
        if (!readString(idTable, i, msgid) || !readString(textTable, i, msgstr))
            return false;
        // The empty id is the catalog's header; an id holding the byte 4 carries a context.
        if (msgid.isEmpty() || msgid.contains('\x04') || msgstr.isEmpty())
            continue;
        entries.insert(msgid, msgstr);
    }
    entries_ = std::move(entries);
    return true;
}

QString TMoCatalog::Translate(const QString& msgid) const
{
    const auto it = entries_.constFind(msgid.toUtf8());
    return it == entries_.constEnd() ? msgid : QString::fromUtf8(*it);
}

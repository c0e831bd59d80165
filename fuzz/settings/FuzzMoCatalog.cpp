// The .mo catalog reader, on files of any content: a catalog that loads answers every id it
// lists, and one that does not load is empty.

#include "../support/FuzzCheck.h"
#include "../support/TFuzzFile.h"

#include "settings/TMoCatalog.h"

namespace {

constexpr int kMaxLookups = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TFuzzFile file(".mo");
    TMoCatalog catalog;
    const bool loaded = catalog.Load(file.Write(data, size));
    const QList<QByteArray> ids = catalog.MessageIds();
    if (!loaded)
        FUZZ_CHECK(ids.isEmpty());
    int lookups = 0;
    for (const QByteArray& id : ids) {
        FUZZ_CHECK(!id.isEmpty() && !id.contains('\x04'));
        catalog.Translate(QString::fromUtf8(id));
        if (++lookups == kMaxLookups)
            break;
    }
    // An id that no catalog holds comes back as it is.
    const QString absent = QStringLiteral("\u00a7 not in any catalog \u00a7");
    if (!ids.contains(absent.toUtf8()))
        FUZZ_CHECK(catalog.Translate(absent) == absent);
    return 0;
}

// The stored options, read from a settings file of any content: the options that come out are
// within their limits, and what the object writes back reads back the same.

#include "../support/FuzzCheck.h"
#include "../support/TFuzzFile.h"

#include "settings/TOpcionesAvanzadas.h"

#include <QSettings>

namespace {

void CheckLimits(const TOpcionesAvanzadas& options)
{
    FUZZ_CHECK(options.SerialComm() >= 0 && options.SerialComm() <= 23);
    // The store keeps at most 255 bytes of each text. Bytes that are not UTF-8 come out as one
    // replacement character each, which takes three bytes to write again, so the bound holds
    // for the text's characters, not for its encoding.
    for (const QString& text : { options.PathEntrada(), options.PathSalida(), options.LangCode() }) {
        FUZZ_CHECK(text.size() <= TOpcionesAvanzadas::kMaxTextLength);
        FUZZ_CHECK(!text.contains(QChar(u'\0')));
    }
}

bool Same(const TOpcionesAvanzadas& a, const TOpcionesAvanzadas& b)
{
    return a.SerialComm() == b.SerialComm() && a.PathEntrada() == b.PathEntrada()
        && a.PathSalida() == b.PathSalida() && a.LangCode() == b.LangCode();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TFuzzFile file(".conf");
    const QString path = file.Write(data, size);
    // A file the settings parser refuses is left as it is: nothing is written over it.
    const bool parsed = QSettings(path, QSettings::IniFormat).status() == QSettings::NoError;
    TOpcionesAvanzadas loaded(path);
    CheckLimits(loaded);
    if (!parsed)
        return 0;

    // A language pick writes all four options; reading the file again gives the same four.
    loaded.SetLangCode(QStringLiteral("es"));
    TOpcionesAvanzadas again(path);
    CheckLimits(again);
    FUZZ_CHECK(Same(loaded, again));
    return 0;
}

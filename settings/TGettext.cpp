#include "settings/TGettext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <clocale>
#include <libintl.h>

namespace {

constexpr const char* kLanguageVariable = "LANGUAGE";
constexpr const char* kLanguageNamesFile = "languagecodes.mo";

bool IsCLocaleName(const char* name)
{
    return name == nullptr || qstrcmp(name, "C") == 0 || qstrcmp(name, "POSIX") == 0;
}

// The language the environment asks for, in gettext's order: LANGUAGE (languages separated by
// colons), else the first of LC_ALL, LC_MESSAGES and LANG that is set.
QByteArray EnvironmentLanguage()
{
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

// The first language of a gettext language list without its charset: "es_AR.UTF-8:en" gives
// "es_AR", "sr_RS.UTF-8@latin" gives "sr_RS@latin". The C locale names no language.
QString FirstLanguageCode(const QByteArray& languages)
{
    const qsizetype colon = languages.indexOf(':');
    QString code = QString::fromUtf8(colon < 0 ? languages : languages.left(colon));
    const qsizetype dot = code.indexOf(u'.');
    if (dot >= 0) {
        const qsizetype at = code.indexOf(u'@', dot);
        code.remove(dot, (at < 0 ? code.size() : at) - dot);
    }
    if (code == u"C" || code == u"POSIX")
        return {};
    return code;
}

// gettext keeps the translations it has looked up, keyed by the LC_MESSAGES locale but not by
// LANGUAGE. Setting the current domain again, even to the same name, makes it drop them (its
// documented signal that the environment changed).
void ForgetCachedTranslations()
{
    const QByteArray current = textdomain(nullptr);
    textdomain(current.constData());
}

} // namespace

TGettext::TGettext()
    : TGettext(ProgramCatalogBase(QCoreApplication::applicationDirPath()))
{
}

QString TGettext::ProgramCatalogBase(const QString& programDir)
{
    // Only a folder counts: /usr/bin holds the C library's program `locale`.
    const QDir dir(programDir);
    if (QFileInfo(dir.filePath(QStringLiteral("locale"))).isDir())
        return dir.path();
    return QDir::cleanPath(dir.filePath(QStringLiteral("../share/brevon")));
}

TGettext::TGettext(const QString& baseDir)
    : baseDir_(baseDir)
    , environmentLanguage_(EnvironmentLanguage())
    , savedLanguage_(qgetenv(kLanguageVariable))
    , hadLanguage_(qEnvironmentVariableIsSet(kLanguageVariable))
    , savedTextDomain_(textdomain(nullptr))
{
    PrepareMessagesLocale();
    BindDomain(kDefaultDomain);
    textdomain(kDefaultDomain);
    UseLanguage({});
}

TGettext::~TGettext()
{
    if (hadLanguage_)
        qputenv(kLanguageVariable, savedLanguage_);
    else
        qunsetenv(kLanguageVariable);
    setlocale(LC_MESSAGES, savedMessagesLocale_.constData());
    textdomain(savedTextDomain_.constData()); // also drops the cached translations
}

// gettext ignores LANGUAGE while the LC_MESSAGES locale is "C" or "POSIX", and that is the
// locale of a process whose LANG is unset, is C, or names a locale that is not installed. Then
// LC_MESSAGES is set to a locale that is always there and has no catalogs of its own (C.UTF-8 is
// built into glibc from 2.35), so that LANGUAGE alone chooses the language.
void TGettext::PrepareMessagesLocale()
{
    const char* current = setlocale(LC_MESSAGES, nullptr);
    savedMessagesLocale_ = current != nullptr ? current : "C";
    if (!IsCLocaleName(current) || !IsCLocaleName(setlocale(LC_MESSAGES, "")))
        return;
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8", "en_US.utf8"}) {
        if (setlocale(LC_MESSAGES, name) != nullptr)
            return;
    }
}

QString TGettext::LocaleDir() const
{
    return QDir(baseDir_).filePath(QStringLiteral("locale"));
}

void TGettext::BindDomain(const QByteArray& domain) const
{
    if (boundDomains_.contains(domain))
        return;
    bindtextdomain(domain.constData(), QFile::encodeName(LocaleDir()).constData());
    // Translations come back in UTF-8 whatever the charset of the LC_CTYPE locale.
    bind_textdomain_codeset(domain.constData(), "UTF-8");
    boundDomains_.insert(domain);
}

QStringList TGettext::GetListOfLanguages(const QString& domain) const
{
    const QDir localeDir(LocaleDir());
    const QString catalog = QStringLiteral("/LC_MESSAGES/%1.mo").arg(domain);
    QStringList codes;
    for (const QString& code : localeDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (QFileInfo(localeDir.filePath(code + catalog)).isFile())
            codes.append(code);
    }
    codes.sort();
    return codes;
}

void TGettext::bindtextdomainToFile(const QString& domain, const QString& moFile)
{
    TMoCatalog catalog;
    catalog.Load(moFile); // a missing or broken file leaves the domain untranslated, silently
    fileDomains_.insert(domain, std::move(catalog));
}

QStringList TGettext::TranslateProperties(const QStringList& texts, const QString& domain) const
{
    QStringList translated;
    translated.reserve(texts.size());
    const auto file = fileDomains_.constFind(domain);
    if (file != fileDomains_.constEnd()) {
        for (const QString& text : texts)
            translated.append(file->Translate(text));
        return translated;
    }
    const QByteArray gettextDomain = domain.toUtf8();
    BindDomain(gettextDomain);
    for (const QString& text : texts)
        translated.append(Translate(text, gettextDomain.constData()));
    return translated;
}

void TGettext::UseLanguage(const QString& code)
{
    const QByteArray languages = code.isEmpty() ? environmentLanguage_ : code.toUtf8();
    currentLanguage_ = code.isEmpty() ? FirstLanguageCode(environmentLanguage_) : code;
    // LANGUAGE is always set: left empty, the choice would fall back to the LC_MESSAGES locale,
    // which may be the stand-in chosen above. "C" asks gettext for no translation.
    qputenv(kLanguageVariable, languages.isEmpty() ? QByteArray("C") : languages);
    ForgetCachedTranslations();
}

QString TGettext::GetCurrentLanguage() const
{
    return currentLanguage_;
}

TLanguageLists TGettext::LanguageStartUp(const QString& langCode)
{
    TLanguageLists lists;
    lists.LangCodes = GetListOfLanguages(kDefaultDomain);
    bindtextdomainToFile(kLanguageCodesDomain, QDir(LocaleDir()).filePath(kLanguageNamesFile));
    lists.LangNames = TranslateProperties(lists.LangCodes, kLanguageCodesDomain);
    UseLanguage(langCode);
    return lists;
}

QString TGettext::Translate(const char* msgid, const char* domain)
{
    // gettext answers the empty text with the catalog's header.
    if (msgid == nullptr || *msgid == '\0')
        return {};
    return QString::fromUtf8(dgettext(domain, msgid));
}

QString TGettext::Translate(const QString& msgid, const char* domain)
{
    if (msgid.isEmpty())
        return msgid;
    const QByteArray id = msgid.toUtf8();
    const char* translated = dgettext(domain, id.constData());
    return translated == id.constData() ? msgid : QString::fromUtf8(translated);
}

#pragma once

#include "settings/TMoCatalog.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// The languages offered in the "&Language" menu: codes that have a "default" catalog and, at
// the same index, the language's name.
struct TLanguageLists {
    QStringList LangCodes;
    QStringList LangNames;
};

// The program's run-time translation over GNU gettext (libintl).
//
// Catalogs lie below <base>/locale: <code>/LC_MESSAGES/<domain>.mo per language, and
// languagecodes.mo, which maps language codes to language names for every language. The domain
// "default" holds the window texts.
//
// gettext's state is the process's: the domain bindings, the current text domain (made
// "default", so that a plain gettext() call translates the window texts too), the LC_MESSAGES
// locale and the LANGUAGE environment variable, which is how this class chooses the language.
// Keep one object at a time, used on the user-interface thread only; it puts the text domain,
// LANGUAGE and LC_MESSAGES back as it found them when it is destroyed.
class TGettext {
public:
    static constexpr const char* kDefaultDomain = "default";
    static constexpr const char* kLanguageCodesDomain = "languagecodes";

    // The program's catalogs: ProgramCatalogBase of the executable's folder.
    TGettext();
    // Catalogs below `baseDir` (tests).
    explicit TGettext(const QString& baseDir);
    ~TGettext();
    TGettext(const TGettext&) = delete;
    TGettext& operator=(const TGettext&) = delete;

    // <base>/locale.
    QString LocaleDir() const;

    // Where a program in `programDir` finds its catalogs: below that folder when it holds
    // locale/ (the build tree), otherwise ../share/brevon below it (an installed program).
    static QString ProgramCatalogBase(const QString& programDir);

    // The language codes, sorted, whose folder holds a catalog of `domain`.
    QStringList GetListOfLanguages(const QString& domain = kDefaultDomain) const;

    // Binds `domain` to the single catalog `moFile`, used whatever the current language. A
    // missing or unreadable file leaves the domain without translations.
    void bindtextdomainToFile(const QString& domain, const QString& moFile);

    // Every text of `texts` translated through `domain`; a text without a translation stays.
    QStringList TranslateProperties(const QStringList& texts, const QString& domain) const;

    // Makes `code` the current language, at once for every later translation. An empty code
    // gives the environment's language: LANGUAGE, else the first of LC_ALL, LC_MESSAGES, LANG
    // that is set, as they were when this object was made.
    void UseLanguage(const QString& code);

    // The current language: the code given to UseLanguage, or for the environment's language
    // its first entry without the charset ("es_AR" for LANG=es_AR.UTF-8); empty for the C
    // locale.
    QString GetCurrentLanguage() const;

    // The language start-up: lists the languages with a "default" catalog, names them through
    // locale/languagecodes.mo (a code without a name stays as the code) and switches to
    // `langCode` (the environment's language when it is empty).
    TLanguageLists LanguageStartUp(const QString& langCode);

    // `msgid` translated through `domain` into the current language; itself when there is no
    // translation. The domain "default" is bound by the constructor.
    static QString Translate(const char* msgid, const char* domain = kDefaultDomain);
    static QString Translate(const QString& msgid, const char* domain = kDefaultDomain);

private:
    void BindDomain(const QByteArray& domain) const;
    void PrepareMessagesLocale();

    QString baseDir_;
    QString currentLanguage_;
    QByteArray environmentLanguage_;       // LANGUAGE or LC_ALL/LC_MESSAGES/LANG when made
    QByteArray savedLanguage_;             // LANGUAGE when made, put back when destroyed
    bool hadLanguage_ = false;             // whether LANGUAGE was set at all
    QByteArray savedMessagesLocale_;       // LC_MESSAGES locale when made, put back likewise
    QByteArray savedTextDomain_;           // the text domain when made, put back likewise
    QHash<QString, TMoCatalog> fileDomains_; // domains bound to a single file
    mutable QSet<QByteArray> boundDomains_;  // gettext domains bound to LocaleDir()
};

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// One GNU gettext message catalog (.mo file) read into memory, for a domain that is bound to a
// single file instead of gettext's per-language folders (the language names of
// locale/languagecodes.mo). Only plain entries are looked up: an entry with a context never
// matches, and of a plural entry the singular forms are used. Texts are taken as UTF-8, the
// charset the project's catalogs are written in.
class TMoCatalog {
public:
    // Reads `fileName`. False when it is missing or is not a well-formed catalog; the catalog is
    // then empty, so that every lookup gives back its message id.
    bool Load(const QString& fileName);

    // The translation of `msgid`, or `msgid` itself when the catalog has none.
    QString Translate(const QString& msgid) const;

    // The message ids that have a translation (the catalog header excluded).
    QList<QByteArray> MessageIds() const { return entries_.keys(); }

private:
    bool Parse(const QByteArray& data);

    QHash<QByteArray, QByteArray> entries_; // message id -> translation, both UTF-8
};

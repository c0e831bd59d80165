#pragma once

#include <QString>
#include <QStringList>

// The notice shown when the KORVEL-CONNECT adapter is plugged in but this user may not open
// it, with the fix that fits this machine: where the adapter's udev rule is installed (the
// package puts it there), a re-plug and a session at the seat; where it is not, the commands
// that install it from the source tree and reload the rules.
class TAccessNotice {
public:
    static constexpr const char* kRuleName = "60-korvel-connect.rules";

    // The folders udev reads rules from, the administrator's first.
    static QStringList RuleFolders();
    // The rule file of the source tree this program was built from while it is there;
    // otherwise its path within any Brevon source tree.
    static QString SourceRule();

    // The notice for this machine.
    static QString Text();
    // The notice when the rule is looked for in `ruleFolders` and, missing, is to be installed
    // from `sourceRule`.
    static QString Text(const QStringList& ruleFolders, const QString& sourceRule);
};

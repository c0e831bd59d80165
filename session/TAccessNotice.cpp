#include "session/TAccessNotice.h"

#include <QDir>
#include <QFileInfo>

#include "settings/Gettext.h"

QStringList TAccessNotice::RuleFolders()
{
    return { QStringLiteral("/etc/udev/rules.d"), QStringLiteral("/run/udev/rules.d"),
             QStringLiteral("/usr/lib/udev/rules.d"), QStringLiteral("/lib/udev/rules.d") };
}

QString TAccessNotice::SourceRule()
{
    const QString built = QStringLiteral(BREVON_SOURCE_RULE);
    if (QFileInfo::exists(built))
        return built;
    return QStringLiteral("packaging/") + QLatin1String(kRuleName);
}

QString TAccessNotice::Text()
{
    return Text(RuleFolders(), SourceRule());
}

QString TAccessNotice::Text(const QStringList& ruleFolders, const QString& sourceRule)
{
    QString installed;
    for (const QString& folder : ruleFolders) {
        const QString rule = QDir(folder).filePath(QLatin1String(kRuleName));
        if (QFileInfo::exists(rule)) {
            installed = rule;
            break;
        }
    }
    const QString fix = installed.isEmpty()
        ? _("The adapter's udev rule is not installed. Install it and reload the rules:\n\n"
            "    sudo install -m 644 %1 /etc/udev/rules.d/\n"
            "    sudo udevadm control --reload\n\n"
            "then unplug the adapter and plug it in again.")
              .arg(sourceRule)
        : _("The adapter's udev rule is installed (%1). Unplug the adapter and plug it in "
            "again, and check that you are logged in at this computer's seat, in a local "
            "desktop session rather than a remote one: the rule gives the adapter to the user "
            "at the seat only.")
              .arg(installed);
    return _("The KORVEL-CONNECT adapter is plugged in, but this user may not open it.")
        + QStringLiteral("\n\n") + fix + QStringLiteral("\n\n")
        + _("Brevon keeps looking for the adapter and connects as soon as it may open it.");
}

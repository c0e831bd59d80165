#include "protocol/TCtrlSetCompare.h"

#include "protocol/CtrlSetEncoding.h"
#include "protocol/TCtrlSetItem.h"

#include <QStringList>

// Marks the texts for the target update-po, which reads this file too; the caller translates.
#define N_(text) text

TCtrlSetCompare::TCtrlSetCompare(const CtrlSet& a, const CtrlSet& b)
{
    for (const TCtrlSetItem& item : TCtrlSetItem::All()) {
        FRows.push_back({ &item, item.Get(a), item.Get(b) });
        if (FRows.back().Differs())
            ++FDifferences;
    }
}

QString TCtrlSetCompare::DifferenceText(const TCtrlSetItem& item, int a, int b)
{
    if (a == b)
        return {};
    if (item.kind != TCtrlSetItem::ikNumber)
        return QStringLiteral("\u2260");
    const double difference =
        FieldToControl(item.encoding, b) - FieldToControl(item.encoding, a);
    switch (item.encoding) {
    case feVolts:
        return QString::asprintf("%+.3f", difference);
    case feMillivolts:
        return QString::asprintf("%+.1f", difference);
    case feUnscaled:
    case fePosInteg:
    case feTensOfMs:
        break;
    }
    return QString::asprintf("%+d", int(difference));
}

QString TCtrlSetCompare::Text(const QString& nameA, const QString& nameB, bool onlyDifferences,
                              const TTranslate& translate) const
{
    const QChar tab(u'\t');
    QStringList lines;
    lines << QStringLiteral("A") + tab + nameA << QStringLiteral("B") + tab + nameB;
    lines << translate(N_("Setting")) + tab + translate(N_("Unit")) + tab + QStringLiteral("A")
            + tab + QStringLiteral("B") + tab + translate(N_("Difference"));
    for (const TRow& row : FRows) {
        if (onlyDifferences && !row.Differs())
            continue;
        const TCtrlSetItem& item = *row.item;
        lines << item.CaptionText(translate) + tab
                + (item.unit ? translate(item.unit) : QString()) + tab
                + item.ValueText(row.a, translate) + tab + item.ValueText(row.b, translate) + tab
                + DifferenceText(item, row.a, row.b);
    }
    return lines.join(u'\n') + u'\n';
}

#pragma once

#include "protocol/CtrlSet.h"

#include <QString>

#include <functional>
#include <vector>

struct TCtrlSetItem;

// Two control sets side by side, item by item of the one table of items (TCtrlSetItem): the
// values A and B of every field and bit, whether they differ, and by how much in the unit the
// windows show them in.
class TCtrlSetCompare {
public:
    using TTranslate = std::function<QString(const char*)>;

    struct TRow {
        const TCtrlSetItem* item;
        int a; // raw, as TCtrlSetItem::Get gives it
        int b;
        bool Differs() const { return a != b; }
    };

    TCtrlSetCompare(const CtrlSet& a, const CtrlSet& b);

    // Every item, in the table's order.
    const std::vector<TRow>& Rows() const { return FRows; }
    int Differences() const { return FDifferences; }

    // B minus A in the item's unit, signed ("+48.9", "-0.005", "+200"); "≠" for an item that is
    // not a number (a flag, the control mode, the RPM signal); empty when they are equal.
    static QString DifferenceText(const TCtrlSetItem& item, int a, int b);

    // The table as text, one line a row and its cells separated by tabs: a line for each of
    // the two sets' names, the headings, then every row (or only those that differ).
    QString Text(const QString& nameA, const QString& nameB, bool onlyDifferences,
                 const TTranslate& translate) const;

private:
    std::vector<TRow> FRows;
    int FDifferences = 0;
};

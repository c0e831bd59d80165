#pragma once

#include "protocol/TCtrlSetCompare.h"

#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

// Two control sets side by side, a window of its own: a row for every item of the control set
// with its caption, unit, value A, value B and the difference, the rows that differ
// highlighted; "Only differences" hides the others, and the table copies as text.
class TCompareForm : public QWidget {
    Q_OBJECT
public:
    enum TColumn { coSetting, coUnit, coA, coB, coDifference, kColumns };

    TCompareForm(const CtrlSet& a, const QString& nameA, const CtrlSet& b, const QString& nameB,
                 QWidget* parent = nullptr);

    const TCtrlSetCompare& Compare() const { return FCompare; }
    QTableWidget* Table() const { return FTable; }
    QCheckBox* OnlyDifferences() const { return FOnlyDifferences; }
    QString SummaryText() const;
    // The table as it shows now, as text.
    QString TableText() const;

    void OnlyDifferencesClick();
    void BCopyClick();

    static const QColor& DifferenceColor();

private:
    void BuildTable();

    TCtrlSetCompare FCompare;
    QString FNameA;
    QString FNameB;
    QTableWidget* FTable = nullptr;
    QCheckBox* FOnlyDifferences = nullptr;
    QLabel* FSummary = nullptr;
};

#include "ui/memory/TCompareForm.h"

#include "protocol/TCtrlSetItem.h"
#include "settings/TComponentTranslator.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <tuple>

#include "settings/Gettext.h"

namespace {

QString Translated(const char* text)
{
    return text ? TGettext::Translate(text) : QString();
}

} // namespace

const QColor& TCompareForm::DifferenceColor()
{
    static const QColor color(255, 226, 150);
    return color;
}

TCompareForm::TCompareForm(const CtrlSet& a, const QString& nameA, const CtrlSet& b,
                           const QString& nameB, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , FCompare(a, b)
    , FNameA(nameA)
    , FNameB(nameB)
{
    setObjectName(QStringLiteral("CompareForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(N_("Compare control sets")));
    resize(860, 640);
    auto* root = new QVBoxLayout(this);

    auto* names = new QGridLayout;
    for (const auto& [row, letter, name] : { std::tuple(0, "A", nameA), std::tuple(1, "B", nameB) }) {
        auto* key = new QLabel(QLatin1String(letter), this);
        QFont bold = key->font();
        bold.setBold(true);
        key->setFont(bold);
        TP_Ignore(key);
        auto* value = new QLabel(name, this);
        value->setObjectName(QStringLiteral("LName%1").arg(QLatin1String(letter)));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        TP_Ignore(value);
        names->addWidget(key, row, 0);
        names->addWidget(value, row, 1);
    }
    names->setColumnStretch(1, 1);
    root->addLayout(names);

    FTable = new QTableWidget(this);
    FTable->setObjectName(QStringLiteral("CompareTable"));
    BuildTable();
    root->addWidget(FTable, 1);

    FSummary = new QLabel(this);
    FSummary->setObjectName(QStringLiteral("LSummary"));
    TP_Ignore(FSummary);
    FSummary->setText(SummaryText());
    root->addWidget(FSummary);

    auto* buttons = new QHBoxLayout;
    FOnlyDifferences = new QCheckBox(QStringLiteral(N_("Only differences")), this);
    FOnlyDifferences->setObjectName(QStringLiteral("OnlyDifferences"));
    connect(FOnlyDifferences, &QCheckBox::toggled, this, &TCompareForm::OnlyDifferencesClick);
    auto* copy = new QPushButton(QStringLiteral(N_("Copy as text")), this);
    copy->setObjectName(QStringLiteral("BCopy"));
    connect(copy, &QPushButton::clicked, this, &TCompareForm::BCopyClick);
    auto* close = new QPushButton(QStringLiteral(N_("Close")), this);
    close->setObjectName(QStringLiteral("BClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(FOnlyDifferences);
    buttons->addStretch(1);
    buttons->addWidget(copy);
    buttons->addWidget(close);
    root->addLayout(buttons);
    TranslateComponent(this);
}

void TCompareForm::BuildTable()
{
    FTable->setColumnCount(kColumns);
    FTable->setHorizontalHeaderLabels({ _("Setting"), _("Unit"), QStringLiteral("A"),
                                        QStringLiteral("B"), _("Difference") });
    FTable->horizontalHeaderItem(coA)->setToolTip(FNameA);
    FTable->horizontalHeaderItem(coB)->setToolTip(FNameB);
    FTable->verticalHeader()->hide();
    FTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    FTable->setWordWrap(false);
    const auto& rows = FCompare.Rows();
    FTable->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const TCtrlSetCompare::TRow& row = rows[std::size_t(r)];
        const TCtrlSetItem& item = *row.item;
        const QString cells[kColumns] = {
            item.CaptionText(Translated), Translated(item.unit),
            item.ValueText(row.a, Translated), item.ValueText(row.b, Translated),
            TCtrlSetCompare::DifferenceText(item, row.a, row.b),
        };
        for (int c = 0; c < kColumns; ++c) {
            auto* cell = new QTableWidgetItem(cells[c]);
            if (c >= coA)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.Differs()) {
                cell->setBackground(DifferenceColor());
                cell->setForeground(Qt::black);
                QFont bold = FTable->font();
                bold.setBold(true);
                cell->setFont(bold);
            }
            FTable->setItem(r, c, cell);
        }
    }
    FTable->resizeColumnsToContents();
    FTable->horizontalHeader()->setSectionResizeMode(coSetting, QHeaderView::Stretch);
    FTable->resizeRowsToContents();
}

QString TCompareForm::SummaryText() const
{
    if (FCompare.Differences() == 0)
        return _("The two control sets are equal.");
    return _("%1 of %2 settings differ.")
        .arg(FCompare.Differences())
        .arg(FCompare.Rows().size());
}

QString TCompareForm::TableText() const
{
    return FCompare.Text(FNameA, FNameB, FOnlyDifferences->isChecked(), Translated);
}

void TCompareForm::OnlyDifferencesClick()
{
    const bool only = FOnlyDifferences->isChecked();
    const auto& rows = FCompare.Rows();
    for (int r = 0; r < int(rows.size()); ++r)
        FTable->setRowHidden(r, only && !rows[std::size_t(r)].Differs());
}

void TCompareForm::BCopyClick()
{
    QApplication::clipboard()->setText(TableText());
}

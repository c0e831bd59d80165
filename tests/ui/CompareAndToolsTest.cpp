// The "&Tools" menu's windows: the comparison of two control sets (the controller's and a
// file's, or two files'), with its highlighted differences, its "only differences" toggle and
// its copy as text; and the log viewer opened on a file. The file dialogs and the error box
// are the menu's seams; the files are real.
#include "tests/datalog/DatalogFiles.h"

#include "datalog/TDatalogColumns.h"
#include "protocol/TControlSet.h"
#include "protocol/TCtrlSetItem.h"
#include "ui/datalog/TLogViewerForm.h"
#include "ui/datalog/TToolsMenu.h"
#include "ui/memory/TCompareForm.h"
#include "session/TControlSetFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

CtrlSet Tuned()
{
    uint8_t bytes[kCtrlSetSize];
    for (int i = 0; i < kCtrlSetSize; ++i)
        bytes[i] = uint8_t(i * 7 + 3);
    return CtrlSet::FromBytes(bytes);
}

CtrlSet Inverted(const CtrlSet& set)
{
    const CtrlSet::TBytes bytes = set.ToBytes();
    uint8_t inverted[kCtrlSetSize];
    for (int i = 0; i < kCtrlSetSize; ++i)
        inverted[i] = uint8_t(~bytes[std::size_t(i)]);
    return CtrlSet::FromBytes(inverted);
}

QString Untranslated(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

bool Highlighted(QTableWidget* table, int row)
{
    for (int c = 0; c < TCompareForm::kColumns; ++c)
        if (table->item(row, c)->background().color() != TCompareForm::DifferenceColor())
            return false;
    return true;
}

int ShownRows(QTableWidget* table)
{
    int shown = 0;
    for (int r = 0; r < table->rowCount(); ++r)
        shown += table->isRowHidden(r) ? 0 : 1;
    return shown;
}

class Tools : public ::testing::Test {
protected:
    Tools()
        : FMenu(new TToolsMenu(*FWindow.menuBar(), FControlSet, &FWindow))
    {
        FMenu->ShowError = [this](const QString& message) { FErrors << message; };
        FMenu->ChooseOpenFile = [this](const QString&, const QString&) {
            return FChoices.isEmpty() ? QString() : FChoices.takeFirst();
        };
    }
    QString WriteSet(const CtrlSet& set, const QString& name)
    {
        QString error;
        const QString path = FFiles.Path(name);
        EXPECT_TRUE(TControlSetFile::Write(path, set, error)) << error.toStdString();
        return path;
    }
    // The windows the menu opened so far.
    template <class T> QList<T*> Opened() { return FWindow.findChildren<T*>(); }

    QMainWindow FWindow;
    TControlSet FControlSet;
    TToolsMenu* FMenu;
    DatalogFiles FFiles;
    QStringList FErrors;
    QStringList FChoices; // what the file dialog answers, in turn
};

} // namespace

TEST_F(Tools, EqualSetsShowNoDifference)
{
    FChoices << WriteSet(Tuned(), QStringLiteral("a.mem")) << WriteSet(Tuned(), QStringLiteral("b.mem"));
    FMenu->CompararDosArchivos1->trigger();
    ASSERT_TRUE(FErrors.isEmpty()) << FErrors.join(u'\n').toStdString();
    ASSERT_EQ(Opened<TCompareForm>().size(), 1);
    TCompareForm& form = *Opened<TCompareForm>().first();
    QTableWidget* table = form.Table();
    ASSERT_EQ(table->rowCount(), int(TCtrlSetItem::All().size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        EXPECT_FALSE(Highlighted(table, r)) << r;
        EXPECT_EQ(table->item(r, TCompareForm::coA)->text(), table->item(r, TCompareForm::coB)->text());
        EXPECT_TRUE(table->item(r, TCompareForm::coDifference)->text().isEmpty()) << r;
    }
    EXPECT_EQ(form.SummaryText(), QStringLiteral("The two control sets are equal."));
    form.OnlyDifferences()->setChecked(true);
    EXPECT_EQ(ShownRows(table), 0);
}

// Every byte differs: every row is highlighted and stays under "only differences". Each row
// shows its item of the one table of items, caption and unit as the dialogs show them.
TEST_F(Tools, EveryFieldDifferingHighlightsEveryRow)
{
    const CtrlSet a = Tuned();
    FChoices << WriteSet(a, QStringLiteral("a.mem")) << WriteSet(Inverted(a), QStringLiteral("b.mem"));
    FMenu->CompararDosArchivos1->trigger();
    ASSERT_EQ(Opened<TCompareForm>().size(), 1);
    TCompareForm& form = *Opened<TCompareForm>().first();
    QTableWidget* table = form.Table();
    const auto& items = TCtrlSetItem::All();
    ASSERT_EQ(table->rowCount(), int(items.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        const TCtrlSetItem& item = items[std::size_t(r)];
        EXPECT_TRUE(Highlighted(table, r)) << item.name;
        EXPECT_EQ(table->item(r, TCompareForm::coSetting)->text(), item.CaptionText(Untranslated));
        EXPECT_EQ(table->item(r, TCompareForm::coUnit)->text(), Untranslated(item.unit));
        EXPECT_EQ(table->item(r, TCompareForm::coA)->text(), item.ValueText(item.Get(a), Untranslated));
        EXPECT_FALSE(table->item(r, TCompareForm::coDifference)->text().isEmpty()) << item.name;
    }
    EXPECT_EQ(form.SummaryText(),
              QStringLiteral("%1 of %1 settings differ.").arg(items.size()));
    form.OnlyDifferences()->setChecked(true);
    EXPECT_EQ(ShownRows(table), table->rowCount());
}

// One setting differs: "only differences" leaves its row alone, and the copy holds what shows.
TEST_F(Tools, OnlyDifferencesAndCopyAsText)
{
    const TCtrlSetItem& changed = *TCtrlSetItem::Find("RpmReacL");
    CtrlSet b = Tuned();
    changed.Set(b, changed.Get(b) + 10);
    FChoices << WriteSet(Tuned(), QStringLiteral("a.mem")) << WriteSet(b, QStringLiteral("b.mem"));
    FMenu->CompararDosArchivos1->trigger();
    ASSERT_EQ(Opened<TCompareForm>().size(), 1);
    TCompareForm& form = *Opened<TCompareForm>().first();
    form.OnlyDifferences()->click();
    ASSERT_EQ(ShownRows(form.Table()), 1);
    for (int r = 0; r < form.Table()->rowCount(); ++r)
        if (!form.Table()->isRowHidden(r)) {
            EXPECT_EQ(form.Table()->item(r, TCompareForm::coSetting)->text(),
                      changed.CaptionText(Untranslated));
            EXPECT_EQ(form.Table()->item(r, TCompareForm::coDifference)->text(), QStringLiteral("+10"));
        }

    form.findChild<QPushButton*>(QStringLiteral("BCopy"))->click();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, form.TableText());
    const QStringList lines = copied.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << copied.toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("a.mem")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("b.mem")));
    EXPECT_TRUE(lines[3].startsWith(changed.CaptionText(Untranslated) + u'\t')) << lines[3].toStdString();

    form.OnlyDifferences()->click();
    EXPECT_EQ(ShownRows(form.Table()), form.Table()->rowCount());
    EXPECT_EQ(form.TableText().split(u'\n', Qt::SkipEmptyParts).size(),
              3 + int(TCtrlSetItem::All().size()));
}

// A file that is not a control set, or not there, is named in a message and opens no window.
TEST_F(Tools, FilesThatAreNoControlSetAreRefused)
{
    const QString good = WriteSet(Tuned(), QStringLiteral("good.mem"));
    struct Case {
        const char* name;
        QString path;
        const char* says;
    };
    const Case cases[] = {
        { "empty", FFiles.Write(std::string(), QStringLiteral("empty.mem")), "holds 0." },
        { "one byte short", FFiles.Write(std::string(kCtrlSetSize - 1, 'x'), QStringLiteral("47.mem")),
          "holds 47." },
        { "one byte over", FFiles.Write(std::string(kCtrlSetSize + 1, 'x'), QStringLiteral("49.mem")),
          "holds 49." },
        { "missing", FFiles.Path(QStringLiteral("absent.mem")), "Cannot open file" },
    };
    for (const Case& c : cases)
        for (bool first : { true, false }) {
            FErrors.clear();
            FChoices = first ? QStringList { c.path, good } : QStringList { good, c.path };
            FMenu->CompararDosArchivos1->trigger();
            ASSERT_EQ(FErrors.size(), 1) << c.name;
            EXPECT_TRUE(FErrors[0].contains(QDir::toNativeSeparators(c.path))) << c.name;
            EXPECT_TRUE(FErrors[0].contains(QLatin1String(c.says)))
                << c.name << ": " << FErrors[0].toStdString();
            EXPECT_TRUE(Opened<TCompareForm>().isEmpty()) << c.name;
        }
}

// The controller's copy is compared only once it has been read; then it is column A.
TEST_F(Tools, CompareWithFileTakesTheControllersCopy)
{
    const QString file = WriteSet(Tuned(), QStringLiteral("car.mem"));
    FChoices << file;
    FMenu->CompararArchivo1->trigger();
    ASSERT_EQ(FErrors.size(), 1);
    EXPECT_TRUE(FErrors[0].contains(QStringLiteral("has not been read yet")));
    EXPECT_EQ(FChoices.size(), 1) << "no file was asked for";
    EXPECT_TRUE(Opened<TCompareForm>().isEmpty());

    FErrors.clear();
    const CtrlSet read = Inverted(Tuned());
    FControlSet.TakeRead(read);
    FMenu->CompararArchivo1->trigger();
    ASSERT_TRUE(FErrors.isEmpty()) << FErrors.join(u'\n').toStdString();
    ASSERT_EQ(Opened<TCompareForm>().size(), 1);
    const TCtrlSetCompare& compare = Opened<TCompareForm>().first()->Compare();
    EXPECT_EQ(compare.Differences(), int(TCtrlSetItem::All().size()));
    for (const auto& row : compare.Rows()) {
        EXPECT_EQ(row.a, row.item->Get(read)) << row.item->name;
        EXPECT_EQ(row.b, row.item->Get(Tuned())) << row.item->name;
    }
}

TEST_F(Tools, ViewLogOpensAViewerOrSaysWhyNot)
{
    FChoices << FFiles.Write("time,rpm\n0,1\n", QStringLiteral("bad.csv"));
    FMenu->VerLog1->trigger();
    ASSERT_EQ(FErrors.size(), 1);
    EXPECT_TRUE(FErrors[0].contains(QStringLiteral("bad.csv")));
    EXPECT_TRUE(Opened<TLogViewerForm>().isEmpty());

    FErrors.clear();
    FChoices << FFiles.Write(LogText({ MakeRow(0, 1), MakeRow(50, 2) }));
    FMenu->VerLog1->trigger();
    EXPECT_TRUE(FErrors.isEmpty());
    ASSERT_EQ(Opened<TLogViewerForm>().size(), 1);
    TLogViewerForm& viewer = *Opened<TLogViewerForm>().first();
    viewer.FinishLoading();
    ASSERT_NE(viewer.Log(), nullptr);
    EXPECT_EQ(viewer.Log()->Rows(), 2u);

    // A cancelled dialog opens nothing.
    FMenu->VerLog1->trigger();
    EXPECT_EQ(Opened<TLogViewerForm>().size(), 1);
}

// A menu alone records and replays nothing: those items stand disabled until the main
// window's recorder takes them.
TEST_F(Tools, RecordingItemsStandDisabled)
{
    for (QAction* a : { FMenu->GrabarLog1, FMenu->DetenerGrabacion1, FMenu->ReproducirLog1 })
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QAction* a : { FMenu->VerLog1, FMenu->CompararArchivo1, FMenu->CompararDosArchivos1 })
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

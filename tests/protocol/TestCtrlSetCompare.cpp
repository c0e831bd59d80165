// Two control sets compared item by item of the one table of items.
#include "protocol/CtrlSetEncoding.h"
#include "protocol/TCtrlSetCompare.h"
#include "protocol/TCtrlSetItem.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <set>

namespace {

QString Untranslated(const char* text)
{
    return QString::fromUtf8(text);
}

CtrlSet Tuned()
{
    uint8_t bytes[kCtrlSetSize];
    for (int i = 0; i < kCtrlSetSize; ++i)
        bytes[i] = uint8_t(i * 7 + 3);
    return CtrlSet::FromBytes(bytes);
}

} // namespace

TEST(CtrlSetCompare, EqualSetsHaveNoDifference)
{
    for (const CtrlSet& set : { CtrlSet {}, Tuned() }) {
        const TCtrlSetCompare compare(set, set);
        EXPECT_EQ(compare.Differences(), 0);
        ASSERT_EQ(compare.Rows().size(), TCtrlSetItem::All().size());
        for (const auto& row : compare.Rows()) {
            EXPECT_FALSE(row.Differs()) << row.item->name;
            EXPECT_TRUE(TCtrlSetCompare::DifferenceText(*row.item, row.a, row.b).isEmpty());
        }
        // Only the two names and the headings are left when only differences are asked for.
        EXPECT_EQ(compare.Text(QStringLiteral("x"), QStringLiteral("y"), true, Untranslated)
                      .count(u'\n'),
                  3);
    }
}

// Every byte and every bit differs: every item of the table shows as a difference, once.
TEST(CtrlSetCompare, EveryFieldDifferingShowsEveryItem)
{
    const CtrlSet a = Tuned();
    const CtrlSet::TBytes bytes = a.ToBytes();
    uint8_t inverted[kCtrlSetSize];
    for (int i = 0; i < kCtrlSetSize; ++i)
        inverted[i] = uint8_t(~bytes[std::size_t(i)]);
    const CtrlSet b = CtrlSet::FromBytes(inverted);

    const TCtrlSetCompare compare(a, b);
    EXPECT_EQ(compare.Differences(), int(TCtrlSetItem::All().size()));
    std::set<const TCtrlSetItem*> seen;
    for (const auto& row : compare.Rows()) {
        EXPECT_TRUE(row.Differs()) << row.item->name;
        EXPECT_EQ(row.a, row.item->Get(a));
        EXPECT_EQ(row.b, row.item->Get(b));
        EXPECT_FALSE(TCtrlSetCompare::DifferenceText(*row.item, row.a, row.b).isEmpty())
            << row.item->name;
        seen.insert(row.item);
    }
    EXPECT_EQ(seen.size(), TCtrlSetItem::All().size());
    const QString text = compare.Text(QStringLiteral("x"), QStringLiteral("y"), true, Untranslated);
    EXPECT_EQ(text.count(u'\n'), 3 + compare.Differences());
}

TEST(CtrlSetCompare, DifferencesReadInTheItemsUnits)
{
    struct Row {
        const char* name;
        int a, b;
        const char* text;
    };
    const Row rows[] = {
        { "SondaRica", 143, 153, "+48.9" }, // counts to millivolts
        { "SondaRica", 153, 143, "-48.9" },
        { "CutOffLTps", 102, 103, "+0.005" }, // one count of volts, finer than the shown 0.50
        { "SimLTim", 150, 100, "-500" },      // tens of ms as ms
        { "PosInteg", 30, 40, "+10" },
        { "RpmReacL", 1000, 1250, "+250" },
        { "ActSim", 0, 1, "\u2260" },
        { "SwitchMan", 1, 0, "\u2260" },
        { "PulsoVuelta", 4, 3, "\u2260" },
        { "RpmReacL", 1000, 1000, "" },
    };
    for (const Row& r : rows) {
        const TCtrlSetItem* item = TCtrlSetItem::Find(r.name);
        ASSERT_NE(item, nullptr) << r.name;
        EXPECT_EQ(TCtrlSetCompare::DifferenceText(*item, r.a, r.b), QString::fromUtf8(r.text))
            << r.name << " " << r.a << " " << r.b;
    }
}

// The text copied: the sets' names, the headings, then one line a row with the item's caption,
// unit, both values as the windows show them and the difference, separated by tabs.
TEST(CtrlSetCompare, TextHoldsTheTableAsShown)
{
    CtrlSet a;
    CtrlSet b;
    b.SondaRica = 206;
    b.Flags = cfTpsInv;
    const TCtrlSetCompare compare(a, b);
    EXPECT_EQ(compare.Differences(), 2);
    const QString all = compare.Text(QStringLiteral("Controller"), QStringLiteral("/tmp/car.mem"),
                                     false, Untranslated);
    const QStringList lines = all.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3 + int(TCtrlSetItem::All().size()));
    EXPECT_EQ(lines[0], QStringLiteral("A\tController"));
    EXPECT_EQ(lines[1], QStringLiteral("B\t/tmp/car.mem"));
    EXPECT_EQ(lines[2], QStringLiteral("Setting\tUnit\tA\tB\tDifference"));

    const QStringList only = compare.Text(QStringLiteral("Controller"),
                                          QStringLiteral("/tmp/car.mem"), true, Untranslated)
                                 .split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(only.size(), 5);
    EXPECT_EQ(only[3], QStringLiteral("TPS with inverted signal (5 - 0 Volt)\t\tOff\tOn\t\u2260"));
    EXPECT_EQ(only[4], QStringLiteral("Lambda probe: Rich\tmV\t0\t1006\t+1006.8"));
}

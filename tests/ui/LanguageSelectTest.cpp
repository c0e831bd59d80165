// Choosing a language in the "&Language" menu: every window is translated again at once from
// its English texts, the caption and the fixed texts are set again and the choice is stored;
// the texts the program writes itself stay as written.
#include "tests/ui/LanguageFixture.h"

#include "ui/dialogs/TConfCtrlForm.h"
#include "ui/dialogs/TSliderRow.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/memory/TMemoryOps.h"
#include "ui/widgets/TValueBox.h"

#include <QLabel>

#include <ostream>

namespace {

struct TSelectRow {
    const char* name;
    const char* stored; // the language of the start
    const char* chosen;
    bool spanish;       // the windows in Spanish afterwards, else with their English texts
};

void PrintTo(const TSelectRow& row, std::ostream* os)
{
    *os << row.name;
}

class LanguageSelect : public LanguageFixture, public testing::WithParamInterface<TSelectRow> {
protected:
    void SetUp() override
    {
        Start({{"LANG", "C.UTF-8"}}, {{"es", "es"}, {"en", "en"}}, GetParam().stored);
    }
};

TEST_P(LanguageSelect, TranslatesEveryWindowAgainAndStoresTheCode)
{
    const TSelectRow& row = GetParam();
    const QTemporaryDir files;
    window().MemoryOps().ChooseSaveFile = [&files](const QString&) {
        return files.filePath(QStringLiteral("car.mem"));
    };
    window().MemoryOps().Guardarcomo1Click();
    ASSERT_EQ(window().windowTitle(), QStringLiteral("Brevon [car.mem]"));
    QAction* item = LanguageItem(row.chosen);
    ASSERT_NE(item, nullptr);

    item->trigger();

    ExpectWindowsIn(windows(), row.spanish);
    EXPECT_EQ(window().Monitor().iPlot1()->channelTitle(TLiveMonitor::chLowerCutOff),
              QString::fromUtf8(row.spanish ? "Corte inferior" : "Lower Cut Off"));
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Brevon 1.4.3.0"));
    EXPECT_EQ(TickedItems(), QStringList({QStringLiteral("MI") + QLatin1String(row.chosen)}));
    EXPECT_EQ(LanguageItems(), QStringList({"English", "Español"}));
    EXPECT_EQ(window().Options().LangCode(), QLatin1String(row.chosen));
    EXPECT_EQ(Stored(), StoredDefaults(row.chosen));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LanguageSelect,
    testing::Values(TSelectRow{"SpanishAfterEnglish", "en", "es", true},
                    TSelectRow{"EnglishAfterSpanish", "es", "en", false},
                    TSelectRow{"TickedLanguageAgain", "es", "es", true}),
    [](const testing::TestParamInfo<TSelectRow>& info) { return info.param.name; });

class LanguageSelectFromEnglish : public LanguageFixture {
protected:
    void SetUp() override { Start({{"LANG", "C.UTF-8"}}, {{"es", "es"}, {"en", "en"}}, "en"); }
};

// Written just before the change, as the program writes values and states: texts that have a
// translation all the same stay as they are.
TEST_F(LanguageSelectFromEnglish, ValuesAndStatesStayAsWritten)
{
    TLiveMonitor& monitor = window().Monitor();
    TValueBox* dialogBox = windows().ConfCtrlForm().Row(QStringLiteral("PosInteg"))->ValueBox();
    const std::pair<QLabel*, QString> written[] = {
        {window().StatusPanel(0), QStringLiteral("Gasoline")},
        {window().StatusPanel(1), QStringLiteral("Max")},
        {monitor.VAL_Rpm(), QStringLiteral("Lower")},
        {monitor.VAL_Lambda(), QStringLiteral("Rich")},
        {dialogBox, QStringLiteral("Active")},
    };
    for (const auto& [label, text] : written)
        label->setText(text);

    LanguageItem("es")->trigger();

    for (const auto& [label, text] : written)
        EXPECT_EQ(label->text(), text) << label->objectName().toStdString();
    EXPECT_EQ(window().MLanguage()->title(), QStringLiteral("&Idioma"));
}

} // namespace

// Edits that did not reach the controller, as the window shows them: the caption's marker, the
// question on reconnection, the notice, and a file prepared at a desk without an adapter.
#include "tests/ui/MainWindowFixture.h"

#include "protocol/CtrlSetEncoding.h"
#include "protocol/TCtrlSetItem.h"
#include "ui/dialogs/TConfCtrlForm.h"
#include "ui/dialogs/TConfCutOffForm.h"
#include "ui/dialogs/TConfLambdaForm.h"
#include "ui/dialogs/TFlagBox.h"
#include "ui/dialogs/TSliderRow.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/memory/TSaveChoiceBox.h"
#include "ui/memory/TUnsentEditsBox.h"
#include "ui/widgets/TSlider.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

using UnsentEdits = MainWindowFixture;

TEST_F(UnsentEdits, EditsMadeUnpluggedMarkTheCaptionAndAreOfferedOnReconnection)
{
    ASSERT_TRUE(RunUntilReceiving());
    const CtrlSet before = HeldByController();
    transport().SetPlugged(false);
    ASSERT_TRUE(RunUntil([&] { return window().Supervision().LastLinkStatus() == lkNoAdapter; }));

    window().Monitor().SET_AperturaPos()->setPosition(333);
    windows().ConfCutOffForm().FlagBox(QStringLiteral("TpsInv"))->click();
    ASSERT_TRUE(RunUntil([&] { return window().windowTitle() == QStringLiteral("Brevon 1.4.3.0 *"); }));
    EXPECT_EQ(window().StatusPanel(0)->text(), QStringLiteral(" KorvelConnect Desconectado"));

    rig().unsentAnswer = TMemoryOps::TUnsentChoice::SendAgain;
    transport().SetPlugged(true);
    ASSERT_TRUE(RunUntil([&] { return !rig().unsentAsked.empty(); }));
    const QString table = TUnsentEditsBox::Table(rig().unsentAsked[0]);
    EXPECT_TRUE(table.contains(QStringLiteral("<td>Valve Position: Control</td><td></td><td>%1</td>"
                                              "<td>333</td>")
                                   .arg(before.AperturaPos)))
        << table.toStdString();
    EXPECT_TRUE(table.contains(QStringLiteral(
        "<td>TPS with inverted signal (5 - 0 Volt)</td><td></td><td>Off</td><td>On</td>")))
        << table.toStdString();

    ASSERT_TRUE(RunUntil([&] {
        const CtrlSet held = HeldByController();
        return held.AperturaPos == 333 && HasFlag(held.Flags, cfTpsInv);
    }));
    ASSERT_TRUE(RunUntil([&] { return window().windowTitle() == QStringLiteral("Brevon 1.4.3.0"); }));
    EXPECT_EQ(rig().unsentAsked.size(), 1u);
}

TEST_F(UnsentEdits, ControlsOfTheMainWindowAreTheirItems)
{
    // The items the question names after the main window's controls edit what those do.
    TLiveMonitor& m = window().Monitor();
    const std::pair<const char*, TSlider*> sliders[] = {
        { "SET_AperturaPos", m.SET_AperturaPos() },
        { "SET_AperturaPosMin", m.SET_AperturaPosMin() },
        { "SET_AperturaPosMax", m.SET_AperturaPosMax() },
    };
    int position = 101;
    for (const auto& [name, slider] : sliders) {
        slider->setPosition(position);
        EXPECT_EQ(TCtrlSetItem::Find(name)->Get(controlSet().Working()), position) << name;
        position += 100;
    }
    m.PulsoVuelta()->setCurrentIndex(6);
    EXPECT_EQ(TCtrlSetItem::Find("PulsoVuelta")->Get(controlSet().Working()), 3);
    m.SwitchManItems()->button(1)->click();
    EXPECT_EQ(TCtrlSetItem::Find("SwitchMan")->Get(controlSet().Working()), 1);
}

TEST_F(UnsentEdits, NoticeShowsWithoutWaitingAndOneBoxServesThemAll)
{
    window().ShowNonModalNotice(QStringLiteral("first"));
    window().ShowNonModalNotice(QStringLiteral("second"));
    const auto boxes = window().findChildren<QMessageBox*>(QStringLiteral("NoticeBox"));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0]->isVisible());
    EXPECT_EQ(boxes[0]->windowModality(), Qt::NonModal);
    EXPECT_EQ(boxes[0]->text(), QStringLiteral("second"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(UnsentEdits, QuestionBoxesDefaultToSendAgainAndToTheValuesOnScreen)
{
    const std::vector<TUnsentEdit> edits = {
        { TCtrlSetItem::Find("SondaRica"), 143, 206 },
        { TCtrlSetItem::Find("CutOffLTps"), 102, 205 },
    };
    TUnsentEditsBox question(edits, &window());
    EXPECT_EQ(question.defaultButton(), question.SendAgainButton());
    EXPECT_TRUE(question.informativeText().contains(
        QStringLiteral("<td>Lambda probe: Rich</td><td>mV</td><td>698</td><td>1006</td>")));
    EXPECT_TRUE(question.informativeText().contains(
        QStringLiteral("<td>Lower cut-off: TPS</td><td>Volt</td><td>0.50</td><td>1.00</td>")));
    QTimer::singleShot(0, &question, [&question] { QTest::keyClick(&question, Qt::Key_Return); });
    EXPECT_TRUE(question.Ask());

    TSaveChoiceBox save(&window());
    QTimer::singleShot(0, &save, [&save] { QTest::keyClick(&save, Qt::Key_Return); });
    EXPECT_EQ(save.Ask(), TSaveChoice::OnScreen);
    QTimer::singleShot(0, &save, [&save] { save.ControllerButton()->click(); });
    EXPECT_EQ(save.Ask(), TSaveChoice::Controller);
    QTimer::singleShot(0, &save, [&save] { QTest::keyClick(&save, Qt::Key_Escape); });
    EXPECT_EQ(save.Ask(), std::nullopt);
}

TEST_F(UnsentEdits, FilePreparedAtTheDeskHoldsWhatTheWindowShows)
{
    transport().SetPlugged(false);
    PumpFor(200);
    window().Monitor().SET_AperturaPos()->setPosition(333);
    windows().ConfCtrlForm().Row(QStringLiteral("PosInteg"))->Slider()->setPosition(37);
    windows().ConfCutOffForm().FlagBox(QStringLiteral("TpsInv"))->click();
    windows().ConfLambdaForm().Row(QStringLiteral("SondaRica"))->Slider()->setPosition(750);
    PumpFor(400); // the dialogs' writes find no controller

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("desk.mem"));
    window().MemoryOps().ChooseSaveFile = [&](const QString&) { return path; };
    window().MemoryOps().BMemSaveClick();
    EXPECT_EQ(rig().saveAsked, 0) << "no controller values to offer";

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), kCtrlSetSize);
    const CtrlSet saved = CtrlSet::FromBytes(reinterpret_cast<const uint8_t*>(bytes.constData()));
    EXPECT_EQ(saved, controlSet().Working());
    EXPECT_EQ(saved.AperturaPos, 333);
    EXPECT_EQ(saved.PosInteg, 47);
    EXPECT_TRUE(HasFlag(saved.Flags, cfTpsInv));
    EXPECT_EQ(saved.SondaRica, MillivoltsToCounts(750));
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Brevon [desk.mem] *"));
    EXPECT_EQ(controller().CommandsReceived(0x21), 0);
}

} // namespace

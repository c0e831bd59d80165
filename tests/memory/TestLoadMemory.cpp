#include "MemoryFixture.h"

#include "protocol/TCommandCodes.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Counts the showings of the widget it watches.
class TCountShows : public QObject {
public:
    TCountShows(int& count, QObject* parent) : QObject(parent), FCount(count) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Show)
            ++FCount;
        return false;
    }

private:
    int& FCount;
};

class LoadMemory : public MemoryFixture {
protected:
    // Closes the progress dialog once its attempt is over, remembering what it showed, and
    // answers the password prompts in turn with `passwords` ("" = Cancel).
    void AnswerDialogs(std::vector<QString> answers)
    {
        AnswerModal([this, answers, next = size_t(0)](QWidget* w) mutable {
            if (w == loadProg && loadProg->OKBtn()->isEnabled()) {
                progressShowed = loadProg->LLoadingOk()->isVisibleTo(loadProg) ? "ok" : "failed";
                loadProg->OKBtn()->click();
            } else if (w == passForm) {
                ++prompts;
                const QString a = next < answers.size() ? answers[next++] : QString();
                if (a.isEmpty()) {
                    passForm->reject();
                } else {
                    passForm->InActPass()->setText(a);
                    passForm->BAceptarClick();
                }
            }
            return false; // keep answering
        });
    }

    std::string progressShowed;
    int prompts = 0;
};

TEST_F(LoadMemory, UnprotectedControllerLoadsTwice)
{
    ASSERT_TRUE(ReachReceiving());
    AnswerDialogs({});
    memory->BMemChargeClick();
    EXPECT_EQ(progressShowed, "ok");
    EXPECT_EQ(controller->CommandsReceived(cmdLoadMemory), 2);
    EXPECT_EQ(controller->CommandsReceived(cmdUnlock), 0);
    EXPECT_EQ(prompts, 0);
}

TEST_F(LoadMemory, StoredPasswordUnlocksWithoutPrompt)
{
    controller->SetPassword("clave");
    passwords.EnteredPassword = "clave";
    ASSERT_TRUE(ReachReceiving());
    AnswerDialogs({});
    memory->BMemChargeClick();
    EXPECT_EQ(progressShowed, "failed");
    EXPECT_EQ(prompts, 0);
    EXPECT_EQ(controller->CommandsReceived(cmdUnlock), 1);
    // The dialog's attempt, the refused one, and the one after the unlock that ends it.
    EXPECT_EQ(controller->CommandsReceived(cmdLoadMemory), 3);
    EXPECT_EQ(passwords.AcceptedPassword, QByteArray("clave"));
}

TEST_F(LoadMemory, WrongPasswordBringsThePromptBack)
{
    controller->SetPassword("clave");
    ASSERT_TRUE(ReachReceiving());
    AnswerDialogs({ "wrong", "clave" });
    memory->BMemChargeClick();
    EXPECT_EQ(prompts, 2);
    // The empty stored password, the wrong one, the right one.
    EXPECT_EQ(controller->CommandsReceived(cmdUnlock), 3);
    EXPECT_EQ(controller->CommandsReceived(cmdLoadMemory), 3);
    EXPECT_EQ(passwords.AcceptedPassword, QByteArray("clave"));
}

TEST_F(LoadMemory, CancelledPromptEndsTheLoop)
{
    controller->SetPassword("clave");
    ASSERT_TRUE(ReachReceiving());
    AnswerDialogs({ "wrong", "" });
    memory->BMemChargeClick();
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(controller->CommandsReceived(cmdLoadMemory), 2);
    EXPECT_TRUE(controller->Locked());
    EXPECT_TRUE(passwords.AcceptedPassword.isEmpty());
}

TEST_F(LoadMemory, GivesUpAfterFiveRefusalsOfAnUnlockedController)
{
    // The password is accepted every time, the load refused every time.
    controller->SetCommandFault(cmdLoadMemory, TSimController::cmfNak);
    ASSERT_TRUE(ReachReceiving());
    QStringList refused;
    memory->ShowLoadRefused = [&](const QString& m) { refused << m; };
    AnswerDialogs({});
    memory->BMemChargeClick();
    EXPECT_EQ(progressShowed, "failed");
    EXPECT_EQ(refused, QStringList { QStringLiteral("The controller refused to load its memory.") });
    // The dialog's attempt, the handler's first, and one after each of the five unlocks.
    EXPECT_EQ(controller->CommandsReceived(cmdUnlock), 5);
    EXPECT_EQ(controller->CommandsReceived(cmdLoadMemory), 1 + 1 + 5);
    EXPECT_EQ(prompts, 0);
}

TEST_F(LoadMemory, AClickWhileTheSequenceRunsStartsNoOther)
{
    controller->SetPassword("clave");
    ASSERT_TRUE(ReachReceiving());
    int activations = 0;
    loadProg->installEventFilter(new TCountShows(activations, loadProg));
    // While the prompt is up the sequence is still running: a click on Load Memory then (from
    // the event loop, as the toolbar's would come) must be turned away.
    bool clicked = false;
    AnswerModal([this, &clicked](QWidget* w) {
        if (w == loadProg && loadProg->OKBtn()->isEnabled()) {
            loadProg->OKBtn()->click();
        } else if (w == passForm && !clicked) {
            clicked = true;
            ++prompts;
            QTimer::singleShot(0, memory.get(), &TMemoryOps::BMemChargeClick);
        } else if (w == passForm) {
            passForm->reject();
        }
        return false;
    });
    memory->BMemChargeClick();
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(controller->CommandsReceived(cmdLoadMemory), 2);
    EXPECT_EQ(controller->CommandsReceived(cmdUnlock), 1);
}

TEST_F(LoadMemory, UnpluggedAdapterShowsTheFailureAndEnds)
{
    ASSERT_TRUE(ReachReceiving());
    transport->SetPlugged(false);
    ASSERT_TRUE(PumpUntil([this] { return link->GetLinkStatus() == lkNoAdapter; }));
    AnswerDialogs({});
    memory->BMemChargeClick();
    EXPECT_EQ(progressShowed, "failed");
    EXPECT_EQ(controller->CommandsReceived(cmdLoadMemory), 0);
    EXPECT_EQ(prompts, 0);
}

} // namespace

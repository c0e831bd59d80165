#include "MemoryFixture.h"

#include "protocol/TCommandCodes.h"
#include "session/TPasswordField.h"

#include <QLineEdit>

namespace {

TEST(PasswordField, SingleBytesThroughWindows1252)
{
    struct Row {
        const char* name;
        QString text;
        QByteArray bytes;
    };
    const Row rows[] = {
        { "ascii", QStringLiteral("Clave12"), QByteArray("Clave12") },
        { "latin", QString::fromUtf8("Añó"), QByteArray("A\xF1\xF3") },
        { "euro", QString::fromUtf8("€"), QByteArray("\x80") },
        { "no_byte", QString::fromUtf8("Ā"), QByteArray("?") },
        { "ten_at_most", QStringLiteral("abcdefghijkl"), QByteArray("abcdefghij") },
    };
    for (const Row& r : rows)
        EXPECT_EQ(TPasswordField::ToSingleBytes(r.text), r.bytes) << r.name;
    EXPECT_EQ(TPasswordField::Field(""), QByteArray(11, '\0'));
    EXPECT_EQ(TPasswordField::Field("abcdefghij"), QByteArray("abcdefghij") + QByteArray(1, '\0'));
}

class Protection : public MemoryFixture {
protected:
    void SetUp() override
    {
        MemoryFixture::SetUp();
        memProt->ShowMessage = [this](const QString& m) { messages << m; };
    }
    void Fill(const char* current, const char* fresh, const char* confirm)
    {
        memProt->InActPass()->setText(QString::fromUtf8(current));
        memProt->InNewPass()->setText(QString::fromUtf8(fresh));
        memProt->InConfPass()->setText(QString::fromUtf8(confirm));
    }
    QStringList messages;
};

TEST_F(Protection, ConfirmationDifferingInCaseIsRefusedWithoutSending)
{
    ASSERT_TRUE(ReachReceiving());
    Fill("", "Clave", "clave");
    memProt->BAceptarClick();
    EXPECT_EQ(messages, QStringList { QString::fromUtf8("La nueva contraseña y su confirmación no coinciden...") });
    EXPECT_EQ(controller->CommandsReceived(cmdUnlock), 0);
}

TEST_F(Protection, EmptyCurrentPasswordSetsANewOne)
{
    ASSERT_TRUE(ReachReceiving());
    Fill("", "clave", "clave");
    memProt->BAceptarClick();
    ASSERT_EQ(controller->CommandsReceived(cmdSetPassword), 1);
    EXPECT_EQ(messages, QStringList { QString::fromUtf8("La contraseña fue cargada con exito...") });
    EXPECT_EQ(passwords.AcceptedPassword, QByteArray("clave"));
    EXPECT_TRUE(controller->Protected());
    const std::vector<uint8_t> last = controller->LastCommand();
    ASSERT_EQ(last.size(), 34u);
    EXPECT_EQ(last[0], cmdSetPassword);
    EXPECT_EQ(std::vector<uint8_t>(last.begin() + 1, last.begin() + 12), std::vector<uint8_t>(11, 0));
}

TEST_F(Protection, WrongCurrentPasswordSendsNoSetPassword)
{
    controller->SetPassword("clave");
    ASSERT_TRUE(ReachReceiving());
    // The dialog as the menu shows it: the user fills it in and presses Ok; after the message
    // it is still open for another try, and is then cancelled.
    bool openAfterRefusal = false;
    AnswerModal([this, &openAfterRefusal](QWidget* w) {
        if (w != memProt)
            return false;
        Fill("nope", "otra", "otra");
        memProt->BAceptarClick();
        openAfterRefusal = memProt->isVisible();
        memProt->reject();
        return true;
    });
    memory->ProtegerMemClick();
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(messages, QStringList { QString::fromUtf8("La contraseña actual no coincide...") });
    // What reached the controller: one unlock with the wrong password, no set-password.
    EXPECT_EQ(controller->CommandsReceived(cmdUnlock), 1);
    EXPECT_EQ(controller->CommandsReceived(cmdSetPassword), 0);
    const std::vector<uint8_t> last = controller->LastCommand();
    ASSERT_EQ(last.size(), 12u);
    EXPECT_EQ(last[0], cmdUnlock);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(last.data() + 1), 11),
              QByteArray("nope") + QByteArray(7, '\0'));
    EXPECT_TRUE(controller->Protected());
    EXPECT_TRUE(passwords.AcceptedPassword.isEmpty());
}

} // namespace

#include "MemoryFixture.h"

#include "protocol/TCommandCodes.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class Files : public MemoryFixture {
protected:
    void SetUp() override
    {
        MemoryFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        memory->ChooseOpenFile = [this](const QString& current) {
            openDialogStartedOn = current;
            return openChoice;
        };
        memory->ChooseSaveFile = [this](const QString& current) {
            saveDialogStartedOn = current;
            return saveChoice;
        };
        memory->ShowFileError = [this](const QString& m) { errors << m; };
        window->setWindowTitle(QStringLiteral("Brevon 1.4.3.0"));
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    static void WriteBytes(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    static QByteArray ReadBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QByteArray Block(uint8_t fill)
    {
        QByteArray b(kCtrlSetSize, char(fill));
        b[0] = 0x05;
        return b;
    }

    QTemporaryDir dir;
    QString openChoice, saveChoice, openDialogStartedOn, saveDialogStartedOn;
    QStringList errors;
};

TEST_F(Files, WrongSizedFilesAreIgnoredSilently)
{
    ASSERT_TRUE(ReachReceiving());
    const CtrlSet before = controlSet.Device();
    for (int size : { 0, 47, 49 }) {
        openChoice = Path("odd.mem");
        WriteBytes(openChoice, QByteArray(size, 'x'));
        memory->BMemOpenClick();
        EXPECT_EQ(controlSet.Device(), before) << size << " bytes";
    }
    // A huge file is refused by its size, without being read.
    openChoice = Path("huge.mem");
    {
        QFile f(openChoice);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(qint64(3) << 30));
    }
    memory->BMemOpenClick();
    EXPECT_EQ(controlSet.Device(), before);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brevon 1.4.3.0"));
    EXPECT_TRUE(memory->CurrentFile().isEmpty());
    EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), 0);
}

TEST_F(Files, OpenSendsTheFileReadsBackAndNamesTheCaption)
{
    ASSERT_TRUE(ReachReceiving());
    openChoice = Path("car1.mem");
    WriteBytes(openChoice, Block(0x21));
    memory->BMemOpenClick();
    const CtrlSet fromFile = CtrlSet::FromBytes(reinterpret_cast<const uint8_t*>(Block(0x21).constData()));
    EXPECT_EQ(CtrlSet::FromBytes(controller->ControlSet().data()), fromFile);
    EXPECT_EQ(controlSet.Device(), fromFile);
    EXPECT_EQ(refresher->refreshes, 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brevon [car1.mem]"));
    EXPECT_EQ(memory->CurrentFile(), openChoice);
}

TEST_F(Files, OpenThenSaveWritesTheReadBackValues)
{
    ASSERT_TRUE(ReachReceiving());
    openChoice = Path("car1.mem");
    WriteBytes(openChoice, Block(0x21));
    controller->SetFault(TSimController::fmNakAll, 1); // the controller refuses the write
    memory->BMemOpenClick();
    memory->BMemSaveClick();
    const auto held = controller->ControlSet();
    EXPECT_EQ(ReadBytes(openChoice), QByteArray(reinterpret_cast<const char*>(held.data()), kCtrlSetSize));
}

TEST_F(Files, SaveWithoutCurrentFileRunsSaveAsAndCancelWritesNothing)
{
    saveChoice.clear();
    memory->BMemSaveClick();
    EXPECT_TRUE(memory->CurrentFile().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    saveChoice = Path("car2"); // the default extension is added
    controlSet.Device().AperturaPos = 222;
    memory->BMemSaveClick();
    const QString saved = Path("car2.mem");
    EXPECT_EQ(memory->CurrentFile(), saved);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brevon [car2.mem]"));
    const QByteArray bytes = ReadBytes(saved);
    ASSERT_EQ(bytes.size(), kCtrlSetSize);

    // Without an adapter the open changes only the copies; the next open starts on the file.
    transport->SetPlugged(false);
    controlSet.Device() = CtrlSet {};
    openChoice = saved;
    memory->BMemOpenClick();
    EXPECT_EQ(openDialogStartedOn, saved);
    EXPECT_EQ(controlSet.Device().AperturaPos, 222);
}

TEST_F(Files, FailuresNameTheFileAndChangeNothing)
{
    openChoice = Path("missing.mem");
    memory->BMemOpenClick();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(openChoice));
    EXPECT_TRUE(memory->CurrentFile().isEmpty());

    // Save as into a folder that does not exist: the error names it, the caption stays.
    saveChoice = Path("no/such/folder/car.mem");
    memory->Guardarcomo1Click();
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[1].contains(saveChoice));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brevon 1.4.3.0"));

    // A failed save keeps the previous file whole.
    const QString good = Path("good.mem");
    WriteBytes(good, Block(0x33));
    saveChoice = good;
    memory->Guardarcomo1Click();
    ASSERT_EQ(ReadBytes(good).size(), kCtrlSetSize);
}

} // namespace

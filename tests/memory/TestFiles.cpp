#include "MemoryFixture.h"

#include "protocol/TCommandCodes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

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

struct RefusedOpen {
    const char* name;
    TSimController::TCommandFault fault;
};

void PrintTo(const RefusedOpen& row, std::ostream* os)
{
    *os << row.name;
}

class OpenRefused : public Files, public ::testing::WithParamInterface<RefusedOpen> {};

TEST_P(OpenRefused, TellsKeepsTheCurrentFileAndShowsTheController)
{
    ASSERT_TRUE(ReachReceiving());
    protocol->SetReplyTimeoutMs(150);
    saveChoice = Path("car1.mem");
    memory->Guardarcomo1Click(); // the current file
    ASSERT_EQ(window->windowTitle(), QStringLiteral("Brevon [car1.mem]"));

    openChoice = Path("car2.mem");
    WriteBytes(openChoice, Block(0x21));
    controller->SetCommandFault(cmdWriteSet, GetParam().fault);
    memory->BMemOpenClick();

    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(openChoice));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brevon [car1.mem]"));
    EXPECT_EQ(memory->CurrentFile(), Path("car1.mem"));
    // The controls show what the controller holds after all.
    const CtrlSet held = Held();
    EXPECT_EQ(refresher->refreshes, 1);
    EXPECT_EQ(refresher->seen, held);
    EXPECT_EQ(controlSet.Working(), held);
    // A save now goes to the current file; the file that was opened is left as it was.
    memory->BMemSaveClick();
    EXPECT_EQ(ReadBytes(openChoice), Block(0x21));
    const auto bytes = held.ToBytes();
    EXPECT_EQ(ReadBytes(Path("car1.mem")),
              QByteArray(reinterpret_cast<const char*>(bytes.data()), kCtrlSetSize));
    EXPECT_EQ(saveAsked, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Memory, OpenRefused,
    ::testing::Values(RefusedOpen { "nak", TSimController::cmfNak },
                      RefusedOpen { "no_answer", TSimController::cmfDropAnswer }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Files, OpenWithoutAdapterShowsTheFileSendsNothingAndSavesItBack)
{
    ASSERT_TRUE(ReachReceiving());
    ASSERT_TRUE(memory->BMemLoadClick()); // the controller's values are known
    transport->SetPlugged(false);
    ASSERT_TRUE(PumpUntil([this] { return link->GetLinkStatus() == lkNoAdapter; }));
    const size_t sent = adapter->SentRecords().size();

    openChoice = Path("car1.mem");
    QByteArray file = Block(0x21);
    file[14] = char(0x2C); // AperturaPos 0x212C
    WriteBytes(openChoice, file);
    memory->BMemOpenClick();
    const CtrlSet fromFile = CtrlSet::FromBytes(reinterpret_cast<const uint8_t*>(file.constData()));
    EXPECT_EQ(controlSet.Working(), fromFile);
    EXPECT_EQ(refresher->refreshes, 2);
    EXPECT_EQ(refresher->seen, fromFile) << "the window shows the file";
    EXPECT_TRUE(controlSet.HasUnsentEdits());
    EXPECT_EQ(memory->CurrentFile(), openChoice);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brevon [car1.mem] *"));
    Pump(100);
    EXPECT_EQ(adapter->SentRecords().size(), sent);

    // Saved back with the values on screen, the default: the same 48 bytes.
    memory->BMemSaveClick();
    EXPECT_EQ(saveAsked, 1);
    EXPECT_EQ(ReadBytes(openChoice), file);
}

struct SaveRow {
    const char* name;
    std::optional<TSaveChoice> choice;
    bool written;
    bool onScreen; // the working copy, else the controller's values
};

void PrintTo(const SaveRow& row, std::ostream* os)
{
    *os << row.name;
}

class SaveWithUnsentEdits : public Files, public ::testing::WithParamInterface<SaveRow> {};

TEST_P(SaveWithUnsentEdits, WritesTheChosenValues)
{
    ASSERT_TRUE(ReachReceiving());
    ASSERT_TRUE(memory->BMemLoadClick());
    const CtrlSet held = controlSet.Device();
    controlSet.Working().AperturaPos = 321; // an edit the controller has not got
    controlSet.Working().Flags ^= 0x80;
    const QString path = Path("car.mem");
    WriteBytes(path, Block(0x33));
    saveChoice = path;
    saveAnswer = GetParam().choice;
    memory->Guardarcomo1Click();
    EXPECT_EQ(saveAsked, 1);
    const CtrlSet chosen = GetParam().onScreen ? controlSet.Working() : held;
    const auto bytes = chosen.ToBytes();
    const QByteArray expected = GetParam().written
        ? QByteArray(reinterpret_cast<const char*>(bytes.data()), kCtrlSetSize)
        : Block(0x33);
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_TRUE(controlSet.HasUnsentEdits()) << "a save sends nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Memory, SaveWithUnsentEdits,
    ::testing::Values(SaveRow { "values_on_screen", TSaveChoice::OnScreen, true, true },
                      SaveRow { "controllers_values", TSaveChoice::Controller, true, false },
                      SaveRow { "cancelled", std::nullopt, false, false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Files, SaveWithoutCurrentFileRunsSaveAsAndCancelWritesNothing)
{
    saveChoice.clear();
    memory->BMemSaveClick();
    EXPECT_TRUE(memory->CurrentFile().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    saveChoice = Path("car2"); // the default extension is added
    controlSet.Working().AperturaPos = 222;
    memory->BMemSaveClick();
    const QString saved = Path("car2.mem");
    EXPECT_EQ(memory->CurrentFile(), saved);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brevon [car2.mem] *")); // not sent yet
    const QByteArray bytes = ReadBytes(saved);
    ASSERT_EQ(bytes.size(), kCtrlSetSize);

    // The next open starts on the file.
    transport->SetPlugged(false);
    controlSet.Working() = CtrlSet {};
    openChoice = saved;
    memory->BMemOpenClick();
    EXPECT_EQ(openDialogStartedOn, saved);
    EXPECT_EQ(controlSet.Working().AperturaPos, 222);
}

// Runs `f` while no file of the process may grow beyond `bytes`: writes fail for real, the
// way a full disk makes them fail, whoever runs the test.
void WithFileSizeLimit(rlim_t bytes, const std::function<void()>& f)
{
    rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = bytes;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    f();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
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

    // A save that fails while writing leaves the previous file whole, byte for byte, by save
    // as and by save alike.
    const QString good = Path("good.mem");
    const QByteArray previous = Block(0x33);
    WriteBytes(good, previous);
    controlSet.Working().AperturaPos = 0x4444;
    saveChoice = good;
    WithFileSizeLimit(10, [this] { memory->Guardarcomo1Click(); });
    ASSERT_EQ(errors.size(), 3);
    EXPECT_TRUE(errors[2].contains(good));
    EXPECT_EQ(ReadBytes(good), previous);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brevon 1.4.3.0"));
    ASSERT_EQ(memory->CurrentFile(), good); // the name chosen stays the one to save to
    WithFileSizeLimit(10, [this] { memory->BMemSaveClick(); });
    ASSERT_EQ(errors.size(), 4);
    EXPECT_EQ(ReadBytes(good), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("good.mem") })
        << "no half-written file is left beside it";
}

} // namespace

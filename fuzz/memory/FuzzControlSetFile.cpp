// Opening a control-set file with no controller: the memory operations' open command reads the
// file the input makes, puts it in the working copy as unsent edits and the three configuration
// dialogs show it. Any file of 48 bytes is a control set; whatever values it holds, showing them
// must change neither copy, and a file of another size must change nothing. Saving the values
// on screen and opening the file again gives the same bytes.

#include "../support/FuzzCheck.h"
#include "../support/TFuzzFile.h"

#include "protocol/TControlSet.h"
#include "ui/dialogs/TConfCtrlForm.h"
#include "ui/dialogs/TConfCutOffForm.h"
#include "ui/dialogs/TConfLambdaForm.h"
#include "ui/dialogs/TMainDisplays.h"
#include "session/TControlSetFile.h"
#include "session/TControllerSession.h"
#include "ui/memory/TMemoryOps.h"

#include <QApplication>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// The main window as the dialogs see it: the edit guard, and displays whose values must be
// finite.
class TCheckingDisplays : public TMainDisplays {
public:
    bool editsEnabled = true;
    uint16_t version = 0;

    bool EditsEnabled() const override { return editsEnabled; }
    void SetEditsEnabled(bool enabled) override { editsEnabled = enabled; }
    uint16_t ControllerVersion() const override { return version; }
    void SetLambdaScale(bool) override {}
    void SetLambdaSection1End(double counts) override { FUZZ_CHECK(std::isfinite(counts)); }
    void SetLambdaSection2End(double counts) override { FUZZ_CHECK(std::isfinite(counts)); }
    void SetLambdaLimit(int limit, double mv) override
    {
        FUZZ_CHECK(limit >= 0 && limit <= 2 && std::isfinite(mv));
    }
    void SetCutOff(TCutOff, double rpm, double position) override
    {
        FUZZ_CHECK(std::isfinite(rpm) && std::isfinite(position));
    }
};

// Everything the open command touches, made once: the dialogs are the slow part.
struct TWorld {
    TControllerSession session; // no link: the write and read-back after an open fail at once
    TControlSet& controlSet = session.ControlSet();
    TCheckingDisplays displays;
    TConfCtrlForm ctrl { controlSet, displays };
    TConfCutOffForm cutOff { controlSet, displays };
    TConfLambdaForm lambda { controlSet, displays };
    TMemoryOps ops { session, displays, nullptr };
    TFuzzFile file { ".mem" };
    TFuzzFile saved { ".mem" };
    QString chosen;
    int fileErrors = 0;

    TWorld()
    {
        ops.ChooseOpenFile = [this](const QString&) { return chosen; };
        ops.ShowFileError = [this](const QString&) { ++fileErrors; };
    }
};

TWorld* world = nullptr;

CtrlSet Pattern(uint8_t seed)
{
    CtrlSet::TBytes bytes;
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(seed + i * 37);
    return CtrlSet::FromBytes(bytes.data());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    world = new TWorld;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TWorld& w = *world;
    // Copies that differ from anything a file can hold in a way the checks would notice.
    const CtrlSet before = Pattern(uint8_t(size));
    w.controlSet.Device() = before;
    w.controlSet.LoadWorkingCopy();
    w.controlSet.ClearPendingSend();
    w.displays.version = size > 0 ? uint16_t(data[0] | (size > 1 ? data[1] << 8 : 0)) : 0;

    w.chosen = w.file.Write(data, size);
    w.ops.BMemOpenClick();
    FUZZ_CHECK(w.fileErrors == 0);
    FUZZ_CHECK(!w.controlSet.PendingSend());
    if (size != kCtrlSetSize) {
        FUZZ_CHECK(w.controlSet.Device() == before && w.controlSet.Working() == before);
        return 0;
    }
    const CtrlSet opened = CtrlSet::FromBytes(data);
    const CtrlSet device = w.controlSet.Device();
    FUZZ_CHECK(w.controlSet.Working() == opened && w.controlSet.HasUnsentEdits());
    FUZZ_CHECK(std::memcmp(opened.ToBytes().data(), data, kCtrlSetSize) == 0);

    // What a read does after it has loaded the copies: every dialog shows them, guard off.
    w.displays.SetEditsEnabled(false);
    const std::initializer_list<TControlRefresher*> dialogs { &w.ctrl, &w.cutOff, &w.lambda };
    for (TControlRefresher* dialog : dialogs)
        dialog->RefreshControls();
    w.displays.SetEditsEnabled(true);
    FUZZ_CHECK(w.controlSet.Working() == opened && w.controlSet.Device() == device);
    FUZZ_CHECK(!w.controlSet.PendingSend());

    // Saved and opened again, the file gives the same set.
    QString error;
    const QString path = w.saved.Write(nullptr, 0);
    FUZZ_CHECK(TControlSetFile::Write(
        path, w.controlSet.BlockToSave(TSaveChoice::OnScreen), error));
    CtrlSet again;
    FUZZ_CHECK(TControlSetFile::Read(path, again, error) == TControlSetFile::TStatus::Ok);
    FUZZ_CHECK(again == opened);
    return 0;
}

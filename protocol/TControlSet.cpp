#include "protocol/TControlSet.h"

#include "protocol/TCtrlSetItem.h"

// The copy clears the destination and copies every field in layout order; a plain
// assignment of the all-value struct gives the same 48 bytes.
void TControlSet::LoadWorkingCopy()
{
    FWorking = FDevice;
}

void TControlSet::CommitWorkingCopy()
{
    FDevice = FWorking;
    FPendingSend = true;
    ++FCommits;
}

bool TControlSet::TakePendingSend()
{
    const bool was = FPendingSend;
    FPendingSend = false;
    return was;
}

void TControlSet::ConfirmWrite(const CtrlSet& sent)
{
    FConfirmed = sent;
    FConfirmedKnown = true;
    FWholeBlockUnsent = false;
}

void TControlSet::DropUnconfirmedWrite()
{
    if (!FPendingSend)
        FDevice = FConfirmed;
}

void TControlSet::WithdrawPendingWrite()
{
    FPendingSend = false;
    FDevice = FConfirmed;
}

std::vector<TUnsentEdit> TControlSet::TakeRead(const CtrlSet& read)
{
    std::vector<TUnsentEdit> kept;
    CtrlSet merged = read;
    for (const TCtrlSetItem& item : TCtrlSetItem::All()) {
        const int edited = item.Get(FWorking);
        const bool changed = FWholeBlockUnsent || edited != item.Get(FConfirmed);
        const int held = item.Get(read);
        if (!changed || edited == held)
            continue;
        kept.push_back({ &item, held, edited });
        item.Set(merged, edited);
    }
    FConfirmed = read;
    FConfirmedKnown = true;
    FWholeBlockUnsent = false;
    FWorking = merged;
    if (kept.empty()) {
        FDevice = read;
        FPendingSend = false;
        return {};
    }
    if (FPendingSend) {
        FDevice = merged;
        return {};
    }
    FDevice = read;
    return kept;
}

void TControlSet::LoadUnsent(const CtrlSet& block)
{
    FWorking = block;
    FWholeBlockUnsent = true;
    FPendingSend = false;
    FDevice = FConfirmed;
}

bool TControlSet::HasUnsentEdits() const
{
    return FWholeBlockUnsent || FWorking != FDevice;
}

bool TControlSet::SaveNeedsChoice() const
{
    return FConfirmedKnown && HasUnsentEdits();
}

const CtrlSet& TControlSet::BlockToSave(TSaveChoice choice) const
{
    return choice == TSaveChoice::Controller ? FConfirmed : FWorking;
}

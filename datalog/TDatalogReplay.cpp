#include "datalog/TDatalogReplay.h"

#include <algorithm>
#include <iterator>

#include "settings/Gettext.h"

bool TDatalogReplay::Open(const QString& path)
{
    FError.clear();
    FNext.reset();
    FPlaying = false;
    FRows = 0;
    if (!FReader.Open(path)) {
        FError = FReader.ErrorText();
        return false;
    }
    TDatalogRow row;
    while (FReader.Next(row)) {
        if (FRows++ == 0)
            FStartMs = row.timeMs;
        FEndMs = row.timeMs;
    }
    if (FReader.ReadFailed()) {
        FError = FReader.ErrorText();
        return false;
    }
    if (FRows == 0) {
        FError = _("The log holds no readable row.");
        return false;
    }
    Seek(FStartMs, 0);
    return true;
}

QString TDatalogReplay::ErrorText() const
{
    return FError.isEmpty() && FReader.ReadFailed() ? FReader.ErrorText() : FError;
}

void TDatalogReplay::ReadNext()
{
    TDatalogRow row;
    if (FReader.Next(row))
        FNext = row;
    else
        FNext.reset();
}

void TDatalogReplay::Play(int64_t nowMs)
{
    if (FPlaying)
        return;
    if (AtEnd())
        Seek(FStartMs, nowMs);
    FPlaying = true;
    FLastNowMs = nowMs;
}

void TDatalogReplay::Pause(int64_t nowMs)
{
    if (!FPlaying)
        return;
    // The time played up to now counts; its rows go out at the next Advance.
    Advance(nowMs, {});
    FPlaying = false;
}

void TDatalogReplay::SetSpeed(int speed, int64_t nowMs)
{
    if (std::find(std::begin(kSpeeds), std::end(kSpeeds), speed) == std::end(kSpeeds))
        return;
    // The time played so far counts at the old speed.
    Advance(nowMs, {});
    FSpeed = speed;
}

void TDatalogReplay::Seek(int64_t timeMs, int64_t nowMs)
{
    timeMs = std::clamp(timeMs, FStartMs, FEndMs);
    if (!FReader.SeekTime(timeMs)) {
        FNext.reset();
        FPlaying = false;
        return;
    }
    ReadNext();
    FPositionMs = FNext ? FNext->timeMs : FEndMs;
    FLastNowMs = nowMs;
}

int TDatalogReplay::Advance(int64_t nowMs, const TShow& show)
{
    if (FPlaying) {
        const int64_t step = std::clamp<int64_t>(nowMs - FLastNowMs, 0, kMaxStepMs);
        FPositionMs = std::min(FPositionMs + step * FSpeed, FEndMs);
    }
    FLastNowMs = nowMs;
    int shown = 0;
    // A pause gathers the time played without showing: what it leaves due goes out next time.
    if (!show)
        return shown;
    while (FNext && FNext->timeMs <= FPositionMs) {
        show(*FNext);
        ++shown;
        ReadNext();
    }
    if (!FNext)
        FPlaying = false;
    return shown;
}

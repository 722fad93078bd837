#include "OrlantixGui.h"

#include "Check.h"
#include "Orlantix.h"
#include "Transforms.h"

namespace
{
constexpr const char* kTag = "src/OrlantixGui";
}

OrlantixGui::OrlantixGui(Orlantix& plug) noexcept : mPlug(plug) {}

bool OrlantixGui::ValidCell(int chordStep, int variation) noexcept
{
    const bool valid = chordStep >= 0 && chordStep < MAX_STEPS && variation >= 0 &&
                       variation < MAX_VARIATIONS_PER_CHORD;
    ORX_CHECK(kTag, valid,
              "chordStep >= 0 && chordStep < MAX_STEPS && variation >= 0 && variation < "
              "MAX_VARIATIONS_PER_CHORD");
    return valid;
}

bool OrlantixGui::ValidRow(int row) noexcept
{
    const bool valid = row >= 0 && row < MAX_VARIATIONS_PER_CHORD;
    ORX_CHECK(kTag, valid, "row >= 0 && row < MAX_VARIATIONS_PER_CHORD");
    return valid;
}

void OrlantixGui::SelectCell(int chordStep, int variation, bool selected) noexcept
{
    if (!ValidCell(chordStep, variation))
        return;
    mSelected[chordStep][variation] = selected;
    mPlug.View().RedrawVariation(chordStep, variation);
}

bool OrlantixGui::IsSelected(int chordStep, int variation) const noexcept
{
    return ValidCell(chordStep, variation) && mSelected[chordStep][variation];
}

void OrlantixGui::SelectRow(int row, bool selected) noexcept
{
    if (!ValidRow(row))
        return;
    for (int s = 0; s < MAX_STEPS; ++s)
        SelectCell(s, row, selected);
}

bool OrlantixGui::IsRowSelected(int row) const noexcept
{
    if (!ValidRow(row))
        return false;
    for (int s = 0; s < MAX_STEPS; ++s)
        if (!mSelected[s][row])
            return false;
    return true;
}

void OrlantixGui::ClearSelection() noexcept
{
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            if (mSelected[s][v])
                SelectCell(s, v, false);
}

void OrlantixGui::ApplyMelodyCommandToSelection(int code) noexcept
{
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            for (int s = 0; s < MAX_STEPS; ++s)
                for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
                    if (mSelected[s][v])
                        ApplyMelodyCommand(s, v, code, true);
        });
}

void OrlantixGui::ApplyMelodyCommand(int chordStep, int variation, int code,
                                     bool permanent) noexcept
{
    if (!ValidCell(chordStep, variation))
        return;
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            mPlug.Engine().ApplyMelodyCommand(chordStep, variation, code, permanent);
            mPlug.View().RedrawVariation(chordStep, variation);
        });
}

void OrlantixGui::ApplyPitchSetTransform(int pulse, int variation, int chordStep, int code,
                                         bool permanent) noexcept
{
    if (!ValidCell(chordStep, variation))
        return;
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            if (PitchSet* set =
                    mPlug.Engine().mProgression.GetPitchSet(chordStep, variation, pulse))
                StrikeTransform(*set, code, permanent);
            mPlug.View().RedrawVariation(chordStep, variation);
        });
}

void OrlantixGui::ApplyRowCommand(int code, int row, int amount) noexcept
{
    if (!ValidRow(row))
        return;
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            ::ApplyRowCommand(mPlug.Engine().mProgression, row, code, amount, mRowClipboard,
                              mRandom);
            // A copy changes nothing on the grid.
            if (code != kRowCopy)
                for (int s = 0; s < MAX_STEPS; ++s)
                    RedrawColumn(s);
        });
}

void OrlantixGui::ApplyRowCommandToSelectedRows(int code) noexcept
{
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            for (int row = 0; row < MAX_VARIATIONS_PER_CHORD; ++row)
                if (IsRowSelected(row))
                    ApplyRowCommand(code, row, 1);
        });
}

const OrlantixGui::RowState& OrlantixGui::Row(int row) const noexcept
{
    return mRows[ValidRow(row) ? row : 0];
}

bool OrlantixGui::AnyRowSoloed() const noexcept
{
    for (const RowState& r : mRows)
        if (r.mSoloed)
            return true;
    return false;
}

void OrlantixGui::ApplyRowState(int row) noexcept
{
    // The player skips muted melodies and reads no solo flag, so a soloed row must not carry a
    // mute flag: solo wins over the row's own mute and over another row's solo.
    const RowState& r = mRows[row];
    ChordProgression& progression = mPlug.Engine().mProgression;
    progression.SetRowSolo(row, r.mSoloed);
    progression.SetRowMute(row, !r.mSoloed && (r.mMutedByUser || r.mMutedBySolo));
    for (int s = 0; s < MAX_STEPS; ++s)
        mPlug.View().RedrawVariation(s, row);
}

void OrlantixGui::ShowRowSwitches() noexcept
{
    for (int row = 0; row < MAX_VARIATIONS_PER_CHORD; ++row)
    {
        const RowState& r = mRows[row];
        mPlug.View().ShowRowSwitches(row, r.mSoloed, r.mMutedByUser || r.mMutedBySolo);
    }
}

void OrlantixGui::ApplyAllRows() noexcept
{
    for (int row = 0; row < MAX_VARIATIONS_PER_CHORD; ++row)
        ApplyRowState(row);
    ShowRowSwitches();
}

void OrlantixGui::RowSolo(int row, bool on) noexcept
{
    if (!ValidRow(row))
        return;
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            RowState& r = mRows[row];
            if (on)
            {
                if (!AnyRowSoloed())
                    for (int other = 0; other < MAX_VARIATIONS_PER_CHORD; ++other)
                        if (other != row)
                            mRows[other].mMutedBySolo = true;
                r.mSoloed = true;
                r.mMutedBySolo = false;
            }
            else
            {
                // Un-soloing a row that is not soloed must not touch the others: a pass over saved
                // values turns solo off on every row but the soloed one.
                if (!r.mSoloed)
                    return;
                int soloed = 0;
                for (const RowState& each : mRows)
                    soloed += each.mSoloed ? 1 : 0;
                if (soloed > 1)
                    r.mMutedBySolo = true; // another row still solos: this one falls silent
                else
                    for (RowState& each : mRows)
                        each.mMutedBySolo = false;
                r.mSoloed = false;
            }
            ApplyAllRows();
        });
}

void OrlantixGui::RowMute(int row, bool on) noexcept
{
    if (!ValidRow(row))
        return;
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            RowState& r = mRows[row];
            // Only the user's own mute goes; a row muted by another row's solo stays muted.
            if (!on && !r.mMutedByUser)
                return;
            r.mMutedByUser = on;
            ApplyAllRows();
        });
}

void OrlantixGui::RowMuteFromSwitch(int row, bool on) noexcept
{
    if (!ValidRow(row))
        return;
    mPlug.Mutex().Run(
        [&]() noexcept
        {
            RowState& r = mRows[row];
            if (!on && r.mMutedBySolo)
            {
                r.mMutedBySolo = false;
                r.mSoloed = true;
            }
            r.mMutedByUser = on;
            ApplyAllRows();
        });
}

void OrlantixGui::RedrawAll() noexcept
{
    mPlug.View().RedrawAll();
}

void OrlantixGui::RedrawColumn(int chordStep) noexcept
{
    mPlug.View().RedrawColumn(chordStep);
}

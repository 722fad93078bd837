#include "PatternEngine.h"

#include "Check.h"
#include "ThreadRole.h"
#include "Transforms.h"

namespace
{
// Shared by every engine without an editor.
PatternView gNoView;

constexpr double kMaxLength = 1073741824.0; // 2^30 samples, as the beat clock's bound

// Truncation toward zero into the note-length range.
int LengthFrom(double samples) noexcept
{
    if (!(samples > 0.0))
        return 0;
    return samples > kMaxLength ? static_cast<int>(kMaxLength) : static_cast<int>(samples);
}
} // namespace

PatternEngine::PatternEngine() : mBeatClock(mRandom), mPlayer(mProgression), mpView(&gNoView)
{
    mBeatClock.SetDivision(kDefaultBeatDivision);
    mNoteLength = mBeatClock.SetNoteLength(kDefaultBeatDivision);
    for (int i = 0; i < MAX_STEPS; ++i)
        SetChordDegree(i, kDefaultChordDegrees[i]);
    SetPulsesPerChord(kPitchSetsPerMelody);
    mMidiOut.Reserve(mNoteStream.MaxMessages());
}

void PatternEngine::Reserve(int notes)
{
    ORX_MAIN_THREAD();
    mNoteStream.Reserve(notes);
    mMidiOut.Reserve(mNoteStream.MaxMessages());
}

void PatternEngine::SetView(PatternView* view) noexcept
{
    ORX_MAIN_THREAD();
    mpView = view ? view : &gNoView;
}

void PatternEngine::ProcessBlock(const TransportState& t, int frames) noexcept
{
    ORX_AUDIO_THREAD();
    if (frames < 0)
        frames = 0;
    mBeatClock.UpdateTransport(t.mTempo, t.mNumerator, t.mDenominator);
    const int position = t.mSamplePos < 0 ? 0 : t.mSamplePos;
    const bool running = t.mRunning;
    if (mResyncPending)
    {
        mResyncPending = false;
        mPulseSeen = false;
    }
    if (position != mExpectedSamplePos || (running && mWasStopped))
    {
        // A pulse on the last block's end belongs to where that block ended, not here (a
        // loop's end is exclusive).
        mNoteStream.DropUnsentNotes();
        Seek(position);
    }
    mExpectedSamplePos = static_cast<int64_t>(position) + frames;
    mWasStopped = !running;

    mMidiOut.Clear();
    mKeys.BeginBlock(frames);
    if (!running)
    {
        // No pulse while stopped; whatever sounds is released at once. The keys still count.
        mNoteStream.AllNotesOff(mMidiOut);
        while (mKeys.NextDue(frames) >= 0)
            mKeys.ApplyNext();
        mKeys.EndPiece();
        return;
    }
    // A gate closed since the last block (the key mode changed) ends what still sounds.
    if (!mKeys.Open())
        mNoteStream.CutAt(0);
    // A pulse on the block's end is played here: the note it cuts short ends on the block's
    // last sample, and its own note waits in the note stream for the next block's first one.
    mBeatClock.BeginBlock(frames);
    while (mBeatClock.PulseDue())
    {
        const int offset = mBeatClock.NextPulse();
        ApplyKeys(offset);
        Pulse(offset);
    }
    ApplyKeys(frames);
    mKeys.EndPiece();
    mNoteStream.Render(frames, mMidiOut);
}

void PatternEngine::ApplyKeys(int upTo) noexcept
{
    for (int offset = mKeys.NextDue(upTo); offset >= 0; offset = mKeys.NextDue(upTo))
        if (mKeys.ApplyNext())
            mNoteStream.CutAt(offset);
}

void PatternEngine::Seek(int position) noexcept
{
    const int q = mBeatClock.Resync(position);
    ShowPlayMarker(false);
    mPlayer.SetPosition(q);
    mStrikeSeq.SetPosition(q);
    mMelodySeq.SetPosition(q);
    mPulsesToMelodyStep = 0;
    mGroove.SetCursorFromPulse(mPlayer.PulseInChord());
    mpView->RedrawGroove();
    ShowPlayMarker(true);
    mPulseSeen = false;
}

Melody& PatternEngine::CurrentMelody() noexcept
{
    // The player keeps its chord and melody indices inside the progression.
    return mPlayer.CursorOf(mPlayer.CurrentChord())
        .mpMelodySet->mMelodies[mPlayer.CurrentVariation()];
}

void PatternEngine::ShowPlayMarker(bool show) noexcept
{
    mpView->SetPlayMarker(mPlayer.CurrentChord(), mPlayer.CurrentVariation(),
                          show ? mPlayer.PulseInChord() : -1);
}

void PatternEngine::Pulse(int offset) noexcept
{
    if (mPulseSeen)
        AdvanceMusic();
    mPulseSeen = true;
    PlayCurrentPitchSet(offset);
}

void PatternEngine::AdvanceMusic() noexcept
{
    // Temporary changes end before the player moves on: a strike change after its pulse, a
    // melody change after the last pulse of its chord pass.
    Melody& before = CurrentMelody();
    PitchSet& set = before.mPitchSets[mPlayer.PulseInChord()];
    if (set.mRestorePending)
    {
        set.mPlayingMask = set.mSavedMask;
        set.mSavedMask = 0;
        set.mRestorePending = false;
    }
    if (mPlayer.PulseInChord() >= mNumPulses - 1 && before.mRestorePending)
    {
        for (int p = 0; p < kPitchSetsPerMelody; ++p)
            before.mPitchSets[p] = before.mSavedPitchSets[p];
        before.mRestorePending = false;
        mpView->RedrawVariation(mPlayer.CurrentChord(), mPlayer.CurrentVariation());
    }

    ShowPlayMarker(false);
    mPlayer.NextPulse();
    ShowPlayMarker(true);

    // The player moves first, so a modifier acts on the position about to be played.
    if (--mPulsesToMelodyStep <= 0)
    {
        if (mMelodySeq.Running())
            TickMelodySequencer();
        mPulsesToMelodyStep = mNumPulses;
    }
    if (mStrikeSeq.Running())
        TickStrikeSequencer();
    if (mGrooveEnabled)
    {
        mGroove.AdvanceCursor();
        mpView->RedrawGroove();
    }
}

bool PatternEngine::EffectivePermanence(int permanence) noexcept
{
    const bool permanent = permanence != 0;
    return mRandom.NextUnit() > mKeepThreshold ? !permanent : permanent;
}

void PatternEngine::TickStrikeSequencer() noexcept
{
    mpView->SetStepHighlight(ModifierPane::kStrike, mStrikeSeq.Cursor(), false);
    const bool moved = mStrikeSeq.Pulse();
    const int idx = mStrikeSeq.Cursor();
    mpView->SetStepHighlight(ModifierPane::kStrike, idx, true);
    if (!moved || !mStrikeSeq.ProbabilityTest())
        return;
    ORX_CHECK(kSequencerTag, idx >= 0 && idx < kModifierSteps, "idx >= 0 && idx < SIZE");
    const EnumStep<EStrikeModifier>& step = mStrikeSeq.StepAt(idx);
    const bool permanent = EffectivePermanence(step.mPermanence);
    StrikeTransform(CurrentMelody().mPitchSets[mPlayer.PulseInChord()], step.mValue, permanent);
    mpView->RedrawVariation(mPlayer.CurrentChord(), mPlayer.CurrentVariation());
}

void PatternEngine::TickMelodySequencer() noexcept
{
    mpView->SetStepHighlight(ModifierPane::kMelody, mMelodySeq.Cursor(), false);
    const bool moved = mMelodySeq.Pulse();
    const int idx = mMelodySeq.Cursor();
    mpView->SetStepHighlight(ModifierPane::kMelody, idx, true);
    if (!moved || !mMelodySeq.ProbabilityTest())
        return;
    const EnumStep<EMelodyModifier>& step = mMelodySeq.StepAt(idx);
    const bool permanent = EffectivePermanence(step.mPermanence);
    ::ApplyMelodyCommand(&CurrentMelody(), step.mValue, permanent, mVariationClipboard);
    mpView->RedrawVariation(mPlayer.CurrentChord(), mPlayer.CurrentVariation());
}

void PatternEngine::PlayCurrentPitchSet(int offset) noexcept
{
    const MelodySetCursor& cursor = mPlayer.CursorOf(mPlayer.CurrentChord());
    ORX_CHECK(kChordTag, cursor.mpMelodySet, "mpMelodySet");
    if (!cursor.mpMelodySet)
        return;
    const Melody& melody = cursor.mpMelodySet->mMelodies[cursor.mCurrentMelody];
    const int mask = melody.mPitchSets[mPlayer.PulseInChord()].mPlayingMask;
    if (!melody.mEnabled || mask == 0 || !mKeys.Open())
        return;

    // Groove velocities arrive unclamped from presets: 64-bit products cannot overflow.
    const int step = mGroove.Cursor();
    const int64_t groove = mGroove.Muted(step) ? 0 : mGroove.Velocity(step);
    int64_t velocity = static_cast<int64_t>(mVelocity) * groove / 128;
    if (mVelJitter > 0.0)
        velocity = static_cast<int64_t>(mRandom.NextSigned() * 40.0 * mVelJitter +
                                        static_cast<double>(velocity));
    velocity = velocity < 0 ? 0 : (velocity > 127 ? 127 : velocity);

    int length = mNoteLength;
    if (mLenJitter > 0.0)
    {
        length = LengthFrom(mRandom.NextShaped() * length);
        // No note shorter than a sixty-fourth note, whatever the draw.
        const int shortest = LengthFrom(mBeatClock.SamplesPerQuarter() * 0.0625);
        if (length < shortest)
            length = shortest;
        if (length < 1) // every note ends, even at absurd sample rates
            length = 1;
    }

    const int* notes = mChordPitches.Row(mScaleChoice, mMode, mKeys.Tonic(mTonic),
                                         cursor.mpMelodySet->mChordDegree);
    for (int degree = 0; degree < kNumPitchDegrees; ++degree)
    {
        if (!(mask & (1 << degree)))
            continue;
        const int note = notes[degree];
        // Notes the mapping puts outside MIDI's 0..127 are dropped here, before the note
        // stream, whose sounding table holds only those 128 keys.
        if (note < 0 || note > 127)
            continue;
        mNoteStream.AddNote(offset, mMidiChannel, note, static_cast<int>(velocity), length);
    }
}

void PatternEngine::SetSampleRate(double rate) noexcept
{
    mBeatClock.SetSampleRate(rate);
}

void PatternEngine::SetDivision(int idx) noexcept
{
    mBeatClock.SetDivision(idx);
}

void PatternEngine::SetNoteLengthDivision(int idx) noexcept
{
    mNoteLength = mBeatClock.SetNoteLength(idx);
}

void PatternEngine::SetMidiChannel(int channel) noexcept
{
    mMidiChannel = channel < 0 ? 0 : (channel > 15 ? 15 : channel);
}

void PatternEngine::SetStepCount(int numSteps) noexcept
{
    mProgression.SetStepCount(numSteps);
    mPlayer.UpdateSpan();
}

void PatternEngine::SetBeginStep(int beginStepIdx) noexcept
{
    mProgression.SetBeginStep(beginStepIdx);
    mPlayer.UpdateSpan();
}

void PatternEngine::SetPulsesPerChord(int numPulses) noexcept
{
    mNumPulses = ClampPulseCount(numPulses);
    mProgression.SetPulsesPerChord(mNumPulses);
    mPlayer.SetPositionsPerChord(mNumPulses);
    mPlayer.UpdateSpan();
}

void PatternEngine::SetChordDegree(int stepIdx, int degree) noexcept
{
    mProgression.SetChordDegree(stepIdx, degree);
    if (stepIdx >= 0 && stepIdx < MAX_STEPS)
        mChordDegrees[stepIdx] = degree;
}

bool PatternEngine::SetGrooveStepsActive(int n) noexcept
{
    if (n == mGroove.NumStepsActive())
        return false;
    mGroove.SetNumStepsActive(n);
    mpView->RedrawGroove();
    return true;
}

SequencerBase& PatternEngine::Sequencer(ModifierPane pane) noexcept
{
    if (pane == ModifierPane::kStrike)
        return mStrikeSeq;
    return mMelodySeq;
}

void PatternEngine::SetSequencerRunning(ModifierPane pane, bool running) noexcept
{
    if (pane == ModifierPane::kStrike)
        mStrikeSeq.SetRunning(running);
    else
        mMelodySeq.SetRunning(running);
}

void PatternEngine::SetSequencerDirection(ModifierPane pane, int mode) noexcept
{
    Sequencer(pane).SetMode(mode);
}

void PatternEngine::RewindSequencer(ModifierPane pane) noexcept
{
    Sequencer(pane).Rewind();
}

void PatternEngine::SetSequencerCount(ModifierPane pane, int count) noexcept
{
    Sequencer(pane).SetCountPerStep(count);
}

void PatternEngine::SetSequencerProbability(ModifierPane pane, double p) noexcept
{
    if (pane == ModifierPane::kStrike)
        mStrikeSeq.SetAllProbabilities(p);
    else
        mMelodySeq.SetAllProbabilities(p);
}

void PatternEngine::SetSequencerBegin(ModifierPane pane, int begin) noexcept
{
    if (begin >= 1 && begin <= kModifierSteps)
        Sequencer(pane).SetStart(begin - 1);
}

void PatternEngine::SetSequencerLength(ModifierPane pane, int length) noexcept
{
    if (length >= 1 && length <= kModifierSteps)
        Sequencer(pane).SetLength(length);
}

void PatternEngine::SetModifierValue(ModifierPane pane, int step, int value) noexcept
{
    if (pane == ModifierPane::kStrike)
        mStrikeSeq.SetStepValue(step, value);
    else
        mMelodySeq.SetStepValue(step, value);
}

void PatternEngine::SetModifierPermanence(ModifierPane pane, int step, int permanence) noexcept
{
    if (pane == ModifierPane::kStrike)
        mStrikeSeq.SetStepPermanence(step, permanence);
    else
        mMelodySeq.SetStepPermanence(step, permanence);
}

void PatternEngine::ApplyMelodyCommand(int stepIdx, int variationIdx, int code,
                                       bool permanent) noexcept
{
    ::ApplyMelodyCommand(mProgression.GetMelody(stepIdx, variationIdx), code, permanent,
                         mVariationClipboard);
}

#include "StateChunk.h"

#include <cstdint>

namespace
{
// Writes report success through a shared flag, so the sequence reads like the layout.
struct Writer
{
    IByteChunk& mChunk;
    bool mOk = true;

    void Int(int v) { mOk = mChunk.Put(static_cast<int32_t>(v)) && mOk; }
    void Byte(int v) { mOk = mChunk.Put(static_cast<uint8_t>(v)) && mOk; }
};

// Reads keep the position of the chunk's rules: after the first field that does not fit, the
// position is -1 and no further field is read.
struct Reader
{
    const IByteChunk& mChunk;
    int mPos;

    bool Int(int& target)
    {
        int32_t v = 0;
        mPos = mChunk.Get(&v, mPos);
        if (mPos < 0)
            return false;
        target = v;
        return true;
    }
    bool Byte(int& target)
    {
        uint8_t v = 0;
        mPos = mChunk.Get(&v, mPos);
        if (mPos < 0)
            return false;
        target = v;
        return true;
    }
    bool Flag(bool& target)
    {
        int v = 0;
        if (!Byte(v))
            return false;
        target = v != 0;
        return true;
    }
};

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

void WriteMelody(Writer& w, const Melody& m)
{
    w.Int(m.mNumPulses);
    for (const PitchSet& p : m.mPitchSets)
    {
        w.Int(p.mPlayingMask);
        w.Int(p.mBaseMask);
        w.Int(p.mSavedMask);
    }
    for (int spare : m.mSpare)
        w.Int(spare);
    w.Byte(m.mEnabled ? 1 : 0);
    w.Int(m.mRepeatCount);
}

void ReadMelody(Reader& r, Melody& m)
{
    if (r.Int(m.mNumPulses))
        m.mNumPulses = ClampPulseCount(m.mNumPulses);
    for (PitchSet& p : m.mPitchSets)
    {
        int playing = p.mPlayingMask, base = p.mBaseMask, saved = p.mSavedMask;
        r.Int(playing);
        r.Int(base);
        r.Int(saved);
        p.mPlayingMask = playing & (kMaskLimit - 1);
        p.mBaseMask = base & (kMaskLimit - 1);
        p.mSavedMask = saved & (kMaskLimit - 1);
        p.mRestorePending = false;
    }
    for (int& spare : m.mSpare)
        r.Int(spare);
    r.Flag(m.mEnabled);
    r.Int(m.mRepeatCount);
    m.mRestorePending = false;
    m.mMuted = false;
    for (int k = 0; k < kPitchSetsPerMelody; ++k)
        m.mBasePitchSets[k] = m.mPitchSets[k];
}
} // namespace

bool WritePatternState(IByteChunk& chunk, const ChordProgression& progression,
                       const GrooveMaker& groove)
{
    Writer w{chunk};
    w.Int(progression.StepCount());
    w.Int(progression.FixedCount());
    w.Int(progression.BeginStep());
    for (int i = 0; i < MAX_STEPS; ++i)
    {
        const MelodySet& step = *progression.GetStep(i);
        w.Int(step.mChordDegree);
        w.Byte(step.mActive ? 1 : 0);
        w.Int(step.mSpare);
        for (const Melody& m : step.mMelodies)
            WriteMelody(w, m);
    }
    w.Int(groove.NumStepsActive());
    for (int i = 0; i < GrooveMaker::MAX_STEPS; ++i)
        w.Byte(groove.Velocity(i) & 0xFF);
    return w.mOk;
}

int ReadPatternState(const IByteChunk& chunk, int position, ChordProgression& progression,
                     GrooveMaker& groove)
{
    Reader r{chunk, position};
    int stepCount = progression.StepCount();
    int fixedCount = progression.FixedCount();
    int beginStep = progression.BeginStep();
    r.Int(stepCount);
    r.Int(fixedCount);
    r.Int(beginStep);
    progression.SetStoredCounts(stepCount, fixedCount, beginStep);
    for (int i = 0; i < MAX_STEPS; ++i)
    {
        MelodySet& step = *progression.GetStep(i);
        if (r.Int(step.mChordDegree))
            step.mChordDegree = Clamp(step.mChordDegree, 0, 6);
        r.Flag(step.mActive);
        r.Int(step.mSpare);
        for (Melody& m : step.mMelodies)
            ReadMelody(r, m);
    }
    int active = groove.NumStepsActive();
    if (r.Int(active))
        groove.SetNumStepsActive(Clamp(active, 1, GrooveMaker::MAX_STEPS));
    for (int i = 0; i < GrooveMaker::MAX_STEPS; ++i)
    {
        int velocity = 0;
        if (r.Byte(velocity))
            groove.SetVelocity(i, velocity);
    }
    return r.mPos;
}

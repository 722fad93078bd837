#include "StateChunk.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

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

int ReadPatternImage(const IByteChunk& chunk, int position, PatternImage& image)
{
    Reader r{chunk, position};
    r.Int(image.mStepCount);
    r.Int(image.mFixedCount);
    r.Int(image.mBeginStep);
    for (PatternImage::StepFields& step : image.mSteps)
    {
        r.Int(step.mDegree);
        step.mDegree = Clamp(step.mDegree, 0, 6);
        r.Flag(step.mActive);
        r.Int(step.mSpare);
        for (PatternImage::MelodyFields& m : step.mMelodies)
        {
            r.Int(m.mNumPulses);
            m.mNumPulses = ClampPulseCount(m.mNumPulses);
            for (int k = 0; k < kPitchSetsPerMelody; ++k)
            {
                r.Int(m.mPlaying[k]);
                r.Int(m.mBase[k]);
                r.Int(m.mSaved[k]);
                m.mPlaying[k] &= kMaskLimit - 1;
                m.mBase[k] &= kMaskLimit - 1;
                m.mSaved[k] &= kMaskLimit - 1;
            }
            for (int& spare : m.mSpare)
                r.Int(spare);
            r.Flag(m.mEnabled);
            r.Int(m.mRepeatCount);
        }
    }
    r.Int(image.mGrooveActive);
    image.mGrooveActive = Clamp(image.mGrooveActive, 1, GrooveMaker::MAX_STEPS);
    for (int& velocity : image.mVelocities)
        r.Byte(velocity);
    return r.mPos;
}

void ApplyPatternImage(const PatternImage& image, ChordProgression& progression,
                       GrooveMaker& groove)
{
    progression.SetStoredCounts(image.mStepCount, image.mFixedCount, image.mBeginStep);
    for (int i = 0; i < MAX_STEPS; ++i)
    {
        const PatternImage::StepFields& from = image.mSteps[i];
        MelodySet& step = *progression.GetStep(i);
        step.mChordDegree = from.mDegree;
        step.mActive = from.mActive;
        step.mSpare = from.mSpare;
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
        {
            const PatternImage::MelodyFields& fm = from.mMelodies[v];
            Melody& m = step.mMelodies[v];
            m.mNumPulses = fm.mNumPulses;
            for (int k = 0; k < kPitchSetsPerMelody; ++k)
            {
                PitchSet& p = m.mPitchSets[k];
                p.mPlayingMask = fm.mPlaying[k];
                p.mBaseMask = fm.mBase[k];
                p.mSavedMask = fm.mSaved[k];
                p.mRestorePending = false;
            }
            std::copy(std::begin(fm.mSpare), std::end(fm.mSpare), std::begin(m.mSpare));
            m.mEnabled = fm.mEnabled;
            m.mRepeatCount = fm.mRepeatCount;
            m.mRestorePending = false;
            m.mMuted = false;
            for (int k = 0; k < kPitchSetsPerMelody; ++k)
                m.mBasePitchSets[k] = m.mPitchSets[k];
        }
    }
    groove.SetNumStepsActive(image.mGrooveActive);
    for (int i = 0; i < GrooveMaker::MAX_STEPS; ++i)
        groove.SetVelocity(i, image.mVelocities[i]);
}

int ReadPatternState(const IByteChunk& chunk, int position, ChordProgression& progression,
                     GrooveMaker& groove)
{
    // A whole chunk, the usual case, through the image; a cut one field by field below, so
    // what it does not reach stays as it was.
    PatternImage image;
    const int end = ReadPatternImage(chunk, position, image);
    if (end >= 0)
    {
        ApplyPatternImage(image, progression, groove);
        return end;
    }
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

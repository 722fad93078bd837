#pragma once
// The pattern engine as the plug-in instance owns it: the musical data, the clock, the player,
// the groove, the modifier sequencers and the note stream, and the process block that turns one
// host block's transport into the block's MIDI note events. The plug-in's parameter handlers
// write the members through the operations below; tests drive it without a host.

#include "BeatClock.h"
#include "Chord.h"
#include "ChordPitches.h"
#include "ChordProgressionPlayer.h"
#include "GrooveMaker.h"
#include "KeyPlay.h"
#include "MelodyModifierSequencer.h"
#include "MidiOutList.h"
#include "MwcRandom.h"
#include "NoteStream.h"
#include "PatternView.h"
#include "Scale.h"
#include "StrikeModifierSequencer.h"
#include "TransportState.h"

#include <cstdint>

inline constexpr int kDefaultChordDegrees[MAX_STEPS] = {0, 2, 4, 0, 2, 5, 0, 3, 5, 1, 3, 5};

class PatternEngine
{
public:
    // Built in the state the parameter defaults give ("1/8" pulses and notes, the default
    // chord degrees, the factory pattern), so a driver without a host can play at once; the
    // plug-in's pass over all parameters at open writes the same values again.
    PatternEngine();
    PatternEngine(const PatternEngine&) = delete;
    PatternEngine& operator=(const PatternEngine&) = delete;

    // [main-thread] Pre-grows the note pools and the outgoing list for notes pending notes.
    void Reserve(int notes);
    // [main-thread] Null detaches the editor.
    void SetView(PatternView* view) noexcept;

    // [audio-thread] One host block of `frames` samples; afterwards the block's messages are
    // in mMidiOut, in the order to send them. The key events waiting in mKeys take effect at
    // their offsets, each before a pulse at the same offset.
    void ProcessBlock(const TransportState& t, int frames) noexcept;

    // Parameter operations [main-thread, under the instance lock].
    void SetSampleRate(double rate) noexcept;
    void SetDivision(int idx) noexcept;
    void SetNoteLengthDivision(int idx) noexcept;
    void SetSwing(double x) noexcept { mBeatClock.SetSwing(x); }
    void SetHumanise(double x) noexcept { mBeatClock.SetHumanise(x); }
    void SetMidiChannel(int channel) noexcept;
    void SetVelocity(int velocity) noexcept { mVelocity = velocity; }
    void SetVelocityJitter(double x) noexcept { mVelJitter = x; }
    void SetLengthJitter(double x) noexcept { mLenJitter = x; }
    void SetTonic(int note) noexcept { mTonic = note; }
    void SetMode(int mode) noexcept { mMode = mode; }
    void SetIntervalSet(int idx) noexcept { mScaleChoice.SetIntervalSet(idx); }
    void SetScale(int idx) noexcept { mScaleChoice.SetScale(idx); }
    // 1 - "LifeProb": a keep-or-flip draw above it inverts a step's permanence.
    void SetLifeProbability(double p) noexcept { mKeepThreshold = 1.0 - p; }
    // Span and pulses: each re-derives the player's span.
    void SetStepCount(int numSteps) noexcept;
    void SetBeginStep(int beginStepIdx) noexcept;
    void SetPulsesPerChord(int numPulses) noexcept;
    void SetPlayerDirection(int mode) noexcept { mPlayer.SetMode(mode); }
    void SetChordDegree(int stepIdx, int degree) noexcept;
    // Answers whether the count changed; a change redraws the groove.
    bool SetGrooveStepsActive(int n) noexcept;
    void SetGrooveEnabled(bool on) noexcept { mGrooveEnabled = on; }

    // The modifier sequencers, by pane; begin and length take the parameter values 1..8 and
    // ignore others, counts below 1 become 1.
    void SetSequencerRunning(ModifierPane pane, bool running) noexcept;
    void SetSequencerDirection(ModifierPane pane, int mode) noexcept;
    void RewindSequencer(ModifierPane pane) noexcept;
    void SetSequencerCount(ModifierPane pane, int count) noexcept;
    void SetSequencerProbability(ModifierPane pane, double p) noexcept;
    void SetSequencerBegin(ModifierPane pane, int begin) noexcept;
    void SetSequencerLength(ModifierPane pane, int length) noexcept;
    void SetModifierValue(ModifierPane pane, int step, int value) noexcept;
    void SetModifierPermanence(ModifierPane pane, int step, int permanence) noexcept;
    SequencerBase& Sequencer(ModifierPane pane) noexcept;

    // A melody command (0..18 transforms, 20..24 enable, disable, copy, paste, clear) on one
    // variation, with the variation clipboard.
    void ApplyMelodyCommand(int stepIdx, int variationIdx, int code, bool permanent) noexcept;

    MwcRandom mRandom;
    MidiOutList mMidiOut;
    NoteStream mNoteStream;
    BeatClock mBeatClock;
    int mNoteLength = 0;
    ChordProgression mProgression;
    ChordProgressionPlayer mPlayer;
    int mTonic = 60;
    int mNumPulses = kPitchSetsPerMelody;
    int mVelocity = 100;
    double mVelJitter = 0.0;
    double mLenJitter = 0.0;
    int mMidiChannel = 0;
    int mPulsesToMelodyStep = 0;
    bool mPulseSeen = false;
    // Position at which the next block is expected; any other is a jump. 64 bits so that the
    // end of a block at the top of the host's 32-bit range does not overflow.
    int64_t mExpectedSamplePos = -1;
    // Set by the state loader: the next block plays the current position without advancing.
    bool mResyncPending = false;
    int mMode = 0;
    int mChordDegrees[MAX_STEPS];
    bool mGrooveEnabled = true;
    GrooveMaker mGroove;
    Scale mScaleChoice;
    double mKeepThreshold = 1.0;
    StrikeModifierSequencer mStrikeSeq;
    MelodyModifierSequencer mMelodySeq;
    Melody mVariationClipboard;
    // The keys a musician plays (off by default: only tracked).
    KeyPlay mKeys;

private:
    // Applies the key events due up to offset upTo; a closed gate ends the sounding notes.
    void ApplyKeys(int upTo) noexcept;
    void Seek(int position) noexcept;
    void Pulse(int offset) noexcept;
    void AdvanceMusic() noexcept;
    void PlayCurrentPitchSet(int offset) noexcept;
    void TickStrikeSequencer() noexcept;
    void TickMelodySequencer() noexcept;
    // The keep-or-flip decision on a step's permanence.
    bool EffectivePermanence(int permanence) noexcept;
    Melody& CurrentMelody() noexcept;
    void ShowPlayMarker(bool show) noexcept;

    PatternView* mpView;
    ChordPitches mChordPitches;
    // The clock does not run while the transport is stopped, so playing resumes with a seek
    // even when the host moved its position on in the meantime.
    bool mWasStopped = false;
};

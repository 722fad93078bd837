#pragma once
// Commands on a whole variation row, that is melody v of all twelve chord steps: enable,
// disable, copy and paste through a row clipboard, reversal, mirroring, shifts by chord and by
// pulse, random degrees and scrambling. The editor owns the clipboard and the generator. Moves
// by pulse keep to the pulses a chord plays; the hidden pitch sets beyond them stay put.

#include "Chord.h"
#include "MwcRandom.h"

enum ERowCommand
{
    kRowEnable = 0,
    kRowDisable = 1,
    kRowCopy = 2,
    kRowPaste = 3,
    kRowClear = 4,
    kRowReverseChord = 5,
    kRowReversePulse = 6,
    kRowFlipTB = 7,
    kRowShiftLeftPulse = 8,
    kRowShiftRightPulse = 9,
    kRowShiftUp = 10,
    kRowShiftDown = 11,
    kRowShiftLeftChord = 12,
    kRowShiftRightChord = 13,
    kRowRandomPulse = 14,
    kRowScrambleChord = 15,
    kNumRowCommands
};

struct RowClipboard
{
    Melody mMelodies[MAX_STEPS];
    // Nothing to paste until a row has been copied.
    bool mEmpty = true;
};

// Applies row command code to row rowNumber; amount is how many places a shift moves (1 from
// the trigger parameters). Scrambling draws from random.
void ApplyRowCommand(ChordProgression& progression, int rowNumber, int code, int amount,
                     RowClipboard& clipboard, MwcRandom& random) noexcept;

// The permutation a scramble applies: step j takes the old melody of step slots[j].
void ScrambleSlots(MwcRandom& random, int slots[MAX_STEPS]) noexcept;

#pragma once
// Edits of the pattern data that are more than value entry: mask operations on one pitch set,
// the strike transform (what a strike modifier does to the pitch set about to sound), the melody
// transform (what a melody modifier does to a whole melody) and the editor's melody commands.

#include "Chord.h"

// Melody command codes beyond the melody transforms 0..18.
enum EMelodyCommand
{
    kMelodyCmdEnable = 20,
    kMelodyCmdDisable = 21,
    kMelodyCmdCopy = 22,
    kMelodyCmdPaste = 23,
    kMelodyCmdClear = 24
};

// Every degree up k places, degree 4 wrapping to degree 0.
int MaskUp(int mask, int k) noexcept;
// Every degree down k places, degree 0 wrapping to degree 4.
int MaskDown(int mask, int k) noexcept;
// Degree i becomes degree 4 - i.
int MaskMirror(int mask) noexcept;

// The copy that moves or copies whole melodies: masks and flags of the pitch sets, the saved
// pitch sets and the melody's own flags, but not solo, the base pitch sets or any random state.
void CopyMelody(Melody& dst, const Melody& src) noexcept;
// Moves the masks and the restore flag of a pitch set; the random state stays with its slot.
void MovePitchSet(PitchSet& dst, const PitchSet& src) noexcept;

// A temporary change saves what it changes, for the restore at the next pulse.
void StrikeTransform(PitchSet& set, int value, bool permanent) noexcept;
// A temporary change saves the four pitch sets, for the restore at the end of the chord pass.
// Flips and shifts in time keep to the melody's pulse count; the pitch sets beyond it stay put.
void MelodyTransform(Melody& melody, int value, bool permanent) noexcept;
// Clears all masks of the melody and makes the empty melody its edited pattern.
void ClearMelody(Melody& melody) noexcept;

// Codes 0..18 are the melody transforms (the menus pass permanent, the melody modifier its own
// choice); 20..24 enable, disable, copy, paste and clear with the instance's clipboard.
void ApplyMelodyCommand(Melody* pMelody, int code, bool permanent, Melody& clipboard) noexcept;

#pragma once
// The values a modifier sequencer step can hold, with their display texts. A strike modifier
// reshapes the pitch set about to sound; a melody modifier reshapes the whole current melody.

inline constexpr int kModifierSteps = 8; // steps of each modifier sequencer

enum EStrikeModifier
{
    kStrikeUp1 = 0,
    kStrikeUp2,
    kStrikeUp3,
    kStrikeUp4,
    kStrikeDown1,
    kStrikeDown2,
    kStrikeDown3,
    kStrikeDown4,
    kStrikeFlip,
    kStrikeRand,
    kStrikeMute,
    kStrikeNone, // " -- ": no change, cancels a pending restore
    kStrikeOrig,
    kNumStrikeModifiers
};

enum EMelodyModifier
{
    kMelodyFlipLR = 0,
    kMelodyFlipTB,
    kMelodyLeft1,
    kMelodyLeft2,
    kMelodyLeft3,
    kMelodyRight1,
    kMelodyRight2,
    kMelodyRight3,
    kMelodyUp1,
    kMelodyUp2,
    kMelodyUp3,
    kMelodyUp4,
    kMelodyDown1,
    kMelodyDown2,
    kMelodyDown3,
    kMelodyDown4,
    kMelodyNone, // " -- ": no change, cancels a pending restore
    kMelodyRand,
    kMelodyOrig,
    kNumMelodyModifiers
};

enum EPermanence
{
    kTemporary = 0,
    kPermanent = 1
};

inline constexpr const char* kStrikeModifierNames[kNumStrikeModifiers] = {
    "^ 1", "^ 2", "^ 3", "^ 4", "v 1", "v 2", "v 3", "v 4", "Flip", "Rand", "Mute", " -- ", "Orig",
};

inline constexpr const char* kMelodyModifierNames[kNumMelodyModifiers] = {
    "L/R", "T/B", "< 1", "< 2", "< 3", "> 1", "> 2",  "> 3",  "^ 1",  "^ 2",
    "^ 3", "^ 4", "v 1", "v 2", "v 3", "v 4", " -- ", "Rand", "Orig",
};

inline constexpr const char* kPermanenceNames[2] = {"Temp", "Perm"};

inline constexpr const char* kDirectionNames[5] = {"Fwd", "Back", "FwdBack", "BackFwd", "Random"};

#pragma once
// The preset text format: a header line, one "param" line per stored parameter, one "melody"
// line per melody, and the groove velocities after "gmsteps". Reading follows the same
// pattern-matching rules the format was designed with, so older and hand-edited files load the
// same way.

#include "Chord.h"
#include "GrooveMaker.h"
#include "PresetExtras.h"

#include <cstddef>
#include <string>

class IParamTable;

inline constexpr const char* kPresetExtension = ".preset";
inline constexpr int kPresetVersionMajor = 1;
inline constexpr int kPresetVersionMinor = 0;
inline constexpr int kMaxParamNameLength = 31;
// Larger files are read only this far: a preset is a few kilobytes.
inline constexpr size_t kMaxPresetFileSize = 1 << 20;

// True for the parameters a preset never stores: those without a name, the sequencer resets
// and the command triggers.
bool IsLeftOutOfPresets(const IParamTable& plug, int paramIdx);

// The whole file, with "\n" line breaks; the extra settings' lines follow the parameters'.
std::string PresetText(const IParamTable& plug, const ChordProgression& progression,
                       const GrooveMaker& groove, const ExtraState& extras = {});

struct PresetReadResult
{
    bool mHeader = false; // the header line was read: parameters were reset and read
    int mParamLines = 0;  // param lines whose name matched a parameter
    int mMelodyLines = 0; // melody lines applied
    int mGrooveSteps = 0; // groove velocities read
    PresetExtras mExtras; // key-play mode and controller lines
};

// Applies preset text to the parameter records, the melodies and the groove velocities. The
// caller resets the span first and runs every change handler afterwards.
PresetReadResult ApplyPresetText(const char* data, size_t size, IParamTable& plug,
                                 ChordProgression& progression, GrooveMaker& groove);

// Reads a whole file (at most kMaxPresetFileSize bytes); false when it cannot be opened.
bool ReadWholeFile(const char* path, std::string& out);

// Writes text to path in text mode without ever leaving a half-written file: the text goes to
// a temporary file beside it, which replaces the target only when everything was written. On
// failure the old file is untouched and the answer is false.
bool WriteFileSafely(const char* path, const std::string& text);

// The path a "save as" writes: ".preset" is appended unless the first ".preset" in the chosen
// path ends it.
std::string PresetSavePath(const std::string& chosen);

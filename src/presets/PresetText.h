#pragma once
// The preset text format: a header line, one "param" line per stored parameter, one "melody"
// line per melody, and the groove velocities after "gmsteps". Reading follows the same
// pattern-matching rules the format was designed with, so older and hand-edited files load the
// same way.

#include "Chord.h"
#include "GrooveMaker.h"
#include "PresetExtras.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

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

// What a preset stores, copied from the instance under its lock so that the text is made
// without it.
struct PresetContent
{
    std::vector<double> mValues; // every parameter's value
    ChordProgression mProgression;
    int mVelocities[GrooveMaker::MAX_STEPS] = {};
    ExtraState mExtras; // the key-play mode and the controller map, set by the caller
};

// Copies into content, whose mValues already holds an entry for every parameter: nothing is
// allocated, so the caller may hold the instance lock.
void CopyPresetContent(const IParamTable& plug, const ChordProgression& progression,
                       const GrooveMaker& groove, PresetContent& content) noexcept;

// The whole file, with "\n" line breaks; plug gives the parameters' names. The extra
// settings' lines follow the parameters'.
std::string PresetText(const IParamTable& plug, const PresetContent& content);
// The same, straight from the instance's records.
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

// Preset text as read, before anything is applied. Reading (scanning the text, finding each
// parameter by its name) needs only the parameters' fixed names and ranges, so it runs without
// the instance lock; applying the image under it is a few short loops.
struct PresetImage
{
    bool mHeader = false; // without it nothing but the groove is applied
    // With the header, every parameter's value after the load: normalised 0 where no line sets
    // it, else the last line's value within the range.
    std::vector<double> mValues;
    int mParamLines = 0;                       // param lines whose name matched a parameter
    std::vector<std::array<int, 8>> mMelodies; // melody lines as read, in the order of the text
    std::vector<int> mVelocities;              // groove velocities from step 0
    PresetExtras mExtras;                      // key-play mode and controller lines
};

// Reads preset text; throws std::bad_alloc.
PresetImage ReadPresetImage(const char* data, size_t size, const IParamTable& plug);

// Applies an image to the parameter records, the melodies and the groove velocities. The
// caller resets the span first and runs every change handler afterwards.
PresetReadResult ApplyPresetImage(const PresetImage& image, IParamTable& plug,
                                  ChordProgression& progression, GrooveMaker& groove) noexcept;

// Both of the above in one.
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

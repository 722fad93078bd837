#include "FactoryPresets.h"

#include "Orlantix.h"

#include <cstring>
#include <memory>
#include <stdexcept>

namespace
{
// Sets a parameter by name to a display text ("1/16", "Dorian", "on") or a number, and runs its
// handler as the editor would.
void Set(Orlantix& plug, const char* name, const char* text)
{
    for (int i = 0; i < plug.NParams(); ++i)
    {
        IParameter* p = plug.GetParam(i);
        if (std::strcmp(p->Name(), name) != 0)
            continue;
        int key = 0;
        const double value = p->ValueForText(text, &key) ? key : std::stod(text);
        p->SetValue(value);
        plug.HandleParamChange(i);
        return;
    }
    throw std::invalid_argument(std::string("no parameter ") + name);
}

void Set(Orlantix& plug, const char* name, double value)
{
    Set(plug, name, std::to_string(value).c_str());
}

// The chord step's root degrees, "1".."7" as the spinners show them.
void Chords(Orlantix& plug, std::initializer_list<int> degrees)
{
    int step = 0;
    for (int d : degrees)
    {
        const std::string name = "ival" + std::to_string(step + 1);
        Set(plug, name.c_str(), std::to_string(d).c_str());
        ++step;
    }
}

// One melody's four pitch sets (bit i = pitch degree i), its enable flag and repeat count.
void Melody4(Orlantix& plug, int step, int variation, std::initializer_list<int> masks,
             bool enabled = true, int repeat = 1)
{
    Melody& m = *plug.Engine().mProgression.GetMelody(step, variation);
    int k = 0;
    for (int mask : masks)
    {
        m.mPitchSets[k].mPlayingMask = m.mPitchSets[k].mBaseMask = mask;
        m.mPitchSets[k].mSavedMask = 0;
        ++k;
    }
    for (; k < kPitchSetsPerMelody; ++k)
        m.mPitchSets[k].mPlayingMask = m.mPitchSets[k].mBaseMask = 0;
    m.mEnabled = enabled;
    m.mRepeatCount = repeat;
}

// Groove velocities from step 0 on, repeated to fill all 48 steps.
void Groove(Orlantix& plug, std::initializer_list<int> velocities)
{
    const std::vector<int> v(velocities);
    for (int i = 0; i < GrooveMaker::MAX_STEPS; ++i)
        plug.Engine().mGroove.SetVelocity(i, v[i % v.size()]);
}

void Mute(Orlantix& plug, std::initializer_list<int> steps)
{
    for (int s : steps)
        Set(plug, ("gmMute" + std::to_string(s)).c_str(), "1");
}

// The chord moves on to its next enabled melody each time it comes round again: switch the
// empty variations off so that the written melody plays on every pass.
void OnlyFirstVariation(Orlantix& plug)
{
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 1; v < MAX_VARIATIONS_PER_CHORD; ++v)
            plug.Engine().mProgression.GetMelody(s, v)->mEnabled = false;
}

void Default(Orlantix&) {}

// Rising sixteenth arpeggios over I-V-vi-IV.
void StraightArpeggio(Orlantix& plug)
{
    OnlyFirstVariation(plug);
    Set(plug, "TimeUnits", "1/16");
    Set(plug, "LengthUnits", "1/16");
    Set(plug, "Interval", "Triad");
    Set(plug, "Tonic", "C4");
    Chords(plug, {1, 5, 6, 4, 1, 5, 6, 4, 1, 5, 6, 4});
    for (int s = 0; s < MAX_STEPS; ++s)
        Melody4(plug, s, 0, {1, 2, 4, 8});
    Groove(plug, {128, 90, 110, 90});
}

// Swung seventh chords with a muted off-beat pattern in a 16-step groove.
void SwungGroove(Orlantix& plug)
{
    OnlyFirstVariation(plug);
    Set(plug, "TimeUnits", "1/8");
    Set(plug, "LengthUnits", "1/16");
    Set(plug, "Swing", 0.6);
    Set(plug, "Human", 0.15);
    Set(plug, "Interval", "Triad 7th");
    Set(plug, "Tonic", "F4");
    Chords(plug, {2, 5, 1, 6, 2, 5, 1, 1, 4, 4, 3, 6});
    for (int s = 0; s < MAX_STEPS; ++s)
        Melody4(plug, s, 0, {1, 6, 24, 6});
    Set(plug, "SeqSteps", "16");
    Groove(plug, {128, 70, 100, 60, 120, 70, 100, 90});
    Mute(plug, {3, 7, 10, 14});
}

// A natural-minor progression, i-VI-III-VII, in A.
void MinorProgression(Orlantix& plug)
{
    OnlyFirstVariation(plug);
    Set(plug, "Scale", "Nat Minor");
    Set(plug, "Interval", "Triad");
    Set(plug, "Tonic", "A4");
    Set(plug, "TimeUnits", "1/8");
    Set(plug, "LengthUnits", "1/4");
    Chords(plug, {1, 6, 3, 7, 1, 6, 3, 7, 4, 6, 5, 5});
    for (int s = 0; s < MAX_STEPS; ++s)
        Melody4(plug, s, 0,
                s % 4 == 3 ? std::initializer_list<int>{1, 4, 2, 16}
                           : std::initializer_list<int>{1, 4, 2, 8});
    Groove(plug, {120, 100, 110, 100});
}

// Both modifier sequencers at work, each step with its own chance and lifetime.
void ModifierPlay(Orlantix& plug)
{
    OnlyFirstVariation(plug);
    Set(plug, "TimeUnits", "1/16");
    Set(plug, "LengthUnits", "1/16");
    Set(plug, "Interval", "Triad 9th");
    Set(plug, "Scale", "Minor");
    Set(plug, "Tonic", "D5");
    Chords(plug, {1, 4, 5, 1, 6, 2, 5, 5, 1, 4, 2, 5});
    for (int s = 0; s < MAX_STEPS; ++s)
        Melody4(plug, s, 0, {1, 4, 2, 8});
    const char* strike[8] = {"^ 1", " -- ", "Flip", "Rand", "v 1", " -- ", "^ 2", "Orig"};
    const char* melody[8] = {" -- ", "L/R", "> 1", " -- ", "^ 1", "Rand", " -- ", "Orig"};
    for (int i = 0; i < 8; ++i)
    {
        Set(plug, ("stkMod" + std::to_string(i + 1)).c_str(), strike[i]);
        Set(plug, ("melMod" + std::to_string(i + 1)).c_str(), melody[i]);
    }
    Set(plug, "stkModT3", "Perm");
    Set(plug, "MekModT6", "Perm");
    Set(plug, "StkProb", 0.6);
    Set(plug, "MelProb", 0.75);
    Set(plug, "StkCount", "2");
    Set(plug, "LifeProb", 0.1);
    Groove(plug, {128, 96, 112, 96});
}

// The player picks a random position of the span on every pulse, over a pentatonic scale.
void RandomWalk(Orlantix& plug)
{
    OnlyFirstVariation(plug);
    Set(plug, "StepDir", "Random");
    Set(plug, "TimeUnits", "1/16");
    Set(plug, "LengthUnits", "1/8");
    Set(plug, "Scale", "Maj Pent");
    Set(plug, "Interval", "Whole (n)");
    Set(plug, "Tonic", "G4");
    Set(plug, "VelJitt", 0.3);
    Set(plug, "LenJitt", 0.5);
    Chords(plug, {1, 2, 3, 5, 6, 1, 2, 3, 5, 6, 1, 3});
    for (int s = 0; s < MAX_STEPS; ++s)
        Melody4(plug, s, 0, {1 << (s % 5), 1 << ((s + 2) % 5), 1 << ((s + 4) % 5), 0});
}

// Three pulses per chord at eighth-note triplets.
void TripletRoll(Orlantix& plug)
{
    OnlyFirstVariation(plug);
    Set(plug, "NumPulse", "3");
    Set(plug, "TimeUnits", "1/8t");
    Set(plug, "LengthUnits", "1/16t");
    Set(plug, "Interval", "Sus 4th");
    Set(plug, "Tonic", "E4");
    Chords(plug, {1, 4, 5, 4, 1, 4, 5, 5, 6, 4, 5, 1});
    for (int s = 0; s < MAX_STEPS; ++s)
        Melody4(plug, s, 0, {1, 4, 8});
    Groove(plug, {128, 80, 100});
}

// Only four chord steps active: a short loop.
void FourChords(Orlantix& plug)
{
    OnlyFirstVariation(plug);
    Set(plug, "NumStep", "4");
    Set(plug, "StepOne", "1");
    Set(plug, "Interval", "Triad 6th");
    Set(plug, "Tonic", "C5");
    Chords(plug, {1, 6, 4, 5});
    Melody4(plug, 0, 0, {1, 4, 10, 4});
    Melody4(plug, 1, 0, {1, 2, 12, 2});
    Melody4(plug, 2, 0, {3, 4, 8, 4});
    Melody4(plug, 3, 0, {1, 6, 16, 6});
}

// Each chord step cycles through four variations with their own repeat counts.
void Variations(Orlantix& plug)
{
    Set(plug, "NumStep", "4");
    Set(plug, "TimeUnits", "1/16");
    Set(plug, "LengthUnits", "1/16");
    Set(plug, "Interval", "Triad");
    Set(plug, "Tonic", "B4");
    Set(plug, "mode", "Dorian");
    Chords(plug, {1, 4, 1, 5});
    for (int s = 0; s < 4; ++s)
    {
        Melody4(plug, s, 0, {1, 2, 4, 2}, true, 2);
        Melody4(plug, s, 1, {4, 2, 1, 0}, true, 1);
        Melody4(plug, s, 2, {1, 0, 9, 0}, true, 1);
        Melody4(plug, s, 3, {16, 8, 4, 2}, true, 3);
    }
    Groove(plug, {128, 100, 110, 100, 120, 100, 110, 90});
}

const std::vector<FactoryPreset> kPresets = {
    {"Default", Default},
    {"Straight Arpeggio", StraightArpeggio},
    {"Swung Groove", SwungGroove},
    {"Minor Progression", MinorProgression},
    {"Modifier Play", ModifierPlay},
    {"Random Walk", RandomWalk},
    {"Triplet Roll", TripletRoll},
    {"Four Chords", FourChords},
    {"Variations", Variations},
};
} // namespace

const std::vector<FactoryPreset>& FactoryPresets()
{
    return kPresets;
}

std::vector<std::string> WriteFactoryPresets(const std::string& folder, std::string& error)
{
    std::vector<std::string> written;
    for (const FactoryPreset& preset : kPresets)
    {
        auto plug = std::make_unique<Orlantix>(nullptr);
        vst2::Effect* e = plug->GetEffect();
        e->dispatcher(e, vst2::effOpen, 0, 0, nullptr, 0.0f);
        try
        {
            preset.mBuild(*plug);
        }
        catch (const std::exception& ex)
        {
            error = std::string(preset.mName) + ": " + ex.what();
            return {};
        }
        const std::string path = folder + "/" + preset.mName + ".preset";
        if (!plug->WritePreset(path.c_str()))
        {
            error = "cannot write " + path;
            return {};
        }
        written.push_back(path);
    }
    return written;
}

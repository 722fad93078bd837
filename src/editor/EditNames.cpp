#include "EditNames.h"

#include <cstring>
#include <iterator>

namespace
{
struct Named
{
    const char* mParam;
    const char* mName;
};

// Controls whose label alone does not say which one they are.
constexpr Named kSpecific[] = {
    {"StkBegin", "Strike from"},
    {"StkLen", "Strike length"},
    {"MelBegin", "Melody from"},
    {"MelLen", "Melody length"},
    {"SMDir", "Strike direction"},
    {"MelDir", "Melody direction"},
    {"StkCount", "Strike count"},
    {"MelCount", "Melody count"},
    {"StkProb", "Strike probability"},
    {"MelProb", "Melody probability"},
    {"StepDir", "Chord direction"},
    {"Chan", "MIDI channel"},
    {"ival1", "Chord 1"},
    {"ival2", "Chord 2"},
    {"ival3", "Chord 3"},
    {"ival4", "Chord 4"},
    {"ival5", "Chord 5"},
    {"ival6", "Chord 6"},
    {"ival7", "Chord 7"},
    {"ival8", "Chord 8"},
    {"ival9", "Chord 9"},
    {"ival10", "Chord 10"},
    {"ival11", "Chord 11"},
    {"ival12", "Chord 12"},
};

// The edit buttons, as the cell menu (M) and the row menu (R) name the same commands.
constexpr Named kButtons[] = {
    {"M L", "Shift Left"},
    {"M R", "Shift Right"},
    {"M U", "Shift Up"},
    {"M D", "Shift Down"},
    {"M LR", "Flip L/R"},
    {"M TB", "Flip T/B"},
    {"R L", "Shift Left (chord)"},
    {"R R", "Shift Right (chord)"},
    {"R U", "Shift Up (rows)"},
    {"R D", "Shift Down (rows)"},
    {"R LR", "Reverse (chord)"},
    {"R TB", "Flip T/B (rows)"},
    {"R Lp", "Shift Left (pulse)"},
    {"R Rp", "Shift Right (pulse)"},
    {"R LRp", "Reverse (pulse)"},
};

const char* Find(const Named* table, std::size_t n, const char* param) noexcept
{
    for (std::size_t i = 0; i < n; ++i)
        if (std::strcmp(table[i].mParam, param) == 0)
            return table[i].mName;
    return nullptr;
}

const char* Specific(const char* param, const char* label) noexcept
{
    if (const char* name = Find(kSpecific, std::size(kSpecific), param))
        return name;
    return label && *label ? label : param;
}
} // namespace

const char* KnobEditName(const orx::layout::Knob& knob) noexcept
{
    return Specific(knob.mName, knob.mLabel);
}

const char* SpinnerEditName(const orx::layout::Spinner& spinner) noexcept
{
    return Specific(spinner.mName, spinner.mLabel);
}

const char* EditButtonName(const char* param) noexcept
{
    const char* name = Find(kButtons, std::size(kButtons), param);
    return name ? name : param;
}

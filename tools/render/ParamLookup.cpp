#include "ParamLookup.h"

#include "NumberParse.h"

#include <cstdint>
#include <cstring>

namespace orxrender
{
namespace
{

constexpr int kGrid = 64;        // first look: 65 evenly spaced values
constexpr int kMaxListed = 128;  // longer choice lists are shortened in messages
constexpr int kListedAtEnds = 8; // ... to this many texts at either end

// Non-negative floats are ordered like their bit patterns, so halving the pattern distance
// finds the last float of one text and the first of the next in about 30 steps.
uint32_t Bits(float x)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof(bits));
    return bits;
}

float FromBits(uint32_t bits)
{
    float x = 0.0f;
    std::memcpy(&x, &bits, sizeof(x));
    return x;
}

struct Probe
{
    ParamAccess& mParams;
    int mIndex;
    std::string TextAt(float x)
    {
        mParams.Set(mIndex, x);
        return mParams.Display(mIndex);
    }
};

struct Change
{
    float mAt; // first value showing mText
    std::string mText;
};

// Adds every change of text between lo (showing loText) and hi (showing hiText).
void Refine(Probe& probe, float lo, const std::string& loText, float hi, const std::string& hiText,
            std::vector<Change>& changes)
{
    const uint32_t loBits = Bits(lo);
    const uint32_t hiBits = Bits(hi);
    if (hiBits - loBits <= 1)
    {
        changes.push_back({hi, hiText});
        return;
    }
    const float mid = FromBits(loBits + (hiBits - loBits) / 2);
    const std::string midText = probe.TextAt(mid);
    if (midText != loText)
        Refine(probe, lo, loText, mid, midText, changes);
    if (midText != hiText)
        Refine(probe, mid, midText, hi, hiText, changes);
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string ChoiceList(const std::vector<std::string>& choices)
{
    std::string list;
    const int n = static_cast<int>(choices.size());
    for (int i = 0; i < n; ++i)
    {
        if (n > kMaxListed && i == kListedAtEnds)
        {
            list += ", ...";
            i = n - kListedAtEnds - 1;
            continue;
        }
        list += (i == 0 ? "" : ", ") + choices[static_cast<std::size_t>(i)];
    }
    if (n > kMaxListed)
        list += " (" + std::to_string(n) + " values)";
    return list;
}

} // namespace

std::vector<TextSpan> MapDisplayTexts(ParamAccess& params, int index)
{
    Probe probe{params, index};
    std::vector<Change> changes;
    float prev = 0.0f;
    std::string prevText = probe.TextAt(prev);
    changes.push_back({prev, prevText});
    for (int i = 1; i <= kGrid; ++i)
    {
        const float x = static_cast<float>(i) / kGrid;
        const std::string text = probe.TextAt(x);
        if (text != prevText)
            Refine(probe, prev, prevText, x, text, changes);
        prev = x;
        prevText = text;
    }
    std::vector<TextSpan> spans;
    for (std::size_t i = 0; i < changes.size(); ++i)
    {
        const float high = i + 1 < changes.size() ? FromBits(Bits(changes[i + 1].mAt) - 1) : 1.0f;
        spans.push_back({changes[i].mText, changes[i].mAt, high});
    }
    return spans;
}

int FindParam(ParamAccess& params, const std::string& name)
{
    const int n = params.Count();
    for (int i = 0; i < n; ++i)
        if (!name.empty() && params.Name(i) == name)
            return i;
    return -1;
}

ParamValue FindParamValue(ParamAccess& params, const std::string& name, const std::string& value)
{
    ParamValue result;
    result.mIndex = FindParam(params, name);
    if (result.mIndex < 0)
    {
        std::vector<std::string> names;
        for (int i = 0; i < params.Count(); ++i)
            if (std::string n = params.Name(i); !n.empty())
                names.push_back(n);
        result.mError = "the plug-in has no parameter " + Quoted(name) +
                        "; its parameters are: " + ChoiceList(names);
        return result;
    }
    if (!value.empty() && value.front() == '@')
    {
        const std::optional<double> x = ParseDecimal(std::string_view(value).substr(1));
        if (!x || *x < 0.0 || *x > 1.0)
            result.mError = "--param " + name + "=" + value +
                            ": a normalised value is @ and a number from 0 to 1";
        else
            result.mNormalised = static_cast<float>(*x);
        return result;
    }
    const std::vector<TextSpan> spans = MapDisplayTexts(params, result.mIndex);
    std::vector<std::string> texts;
    for (const TextSpan& span : spans)
    {
        if (span.mText != value)
        {
            texts.push_back(span.mText);
            continue;
        }
        // The middle keeps clear of the edges, where a value is one rounding away from the
        // neighbouring text.
        const float middle = static_cast<float>((static_cast<double>(span.mLow) + span.mHigh) / 2);
        Probe probe{params, result.mIndex};
        result.mNormalised = probe.TextAt(middle) == value ? middle : span.mLow;
        return result;
    }
    result.mError = "parameter " + name + " shows no value as " + Quoted(value) +
                    "; it shows: " + ChoiceList(texts);
    return result;
}

} // namespace orxrender

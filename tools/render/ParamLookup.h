#pragma once
// Finds a host-visible parameter by its name and the normalised value that shows a given
// display text, asking only what a VST 2 host can ask: the names, setting a value and reading
// the text the plug-in then shows. The text is found where the plug-in itself puts it, so
// "1/16", "C5", "Dorian" or "0.50" mean what the plug-in's own display means by them.

#include <string>
#include <vector>

namespace orxrender
{

// The host side of one plug-in's parameters.
class ParamAccess
{
public:
    virtual ~ParamAccess() = default;
    virtual int Count() = 0;
    virtual std::string Name(int index) = 0;
    virtual void Set(int index, float normalised) = 0;
    // The text the plug-in shows for the parameter's current value.
    virtual std::string Display(int index) = 0;
};

// The normalised values that show one text, from mLow to mHigh.
struct TextSpan
{
    std::string mText;
    float mLow = 0.0f;
    float mHigh = 0.0f;
};

// Every text the parameter shows over 0..1, in the order of the values. Leaves the
// parameter set to some value of the range: set it afterwards.
std::vector<TextSpan> MapDisplayTexts(ParamAccess& params, int index);

// The first parameter with this exact name, or -1.
int FindParam(ParamAccess& params, const std::string& name);

// The normalised value for a "--param" value: "@x" is x itself; anything else must be a text
// the parameter shows, and the value chosen is the middle of the values that show it.
struct ParamValue
{
    int mIndex = -1;
    float mNormalised = 0.0f;
    std::string mError; // empty on success; else a line naming the valid choices
};
ParamValue FindParamValue(ParamAccess& params, const std::string& name, const std::string& value);

} // namespace orxrender

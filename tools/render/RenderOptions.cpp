#include "RenderOptions.h"

#include "NumberParse.h"

#include <cmath>
#include <functional>
#include <string_view>

namespace orxrender
{
namespace
{

using Handler = std::function<std::string(RenderOptions&, const std::string&)>;

struct OptionSpec
{
    const char* mName;
    bool mTakesValue;
    Handler mHandler;
};

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string Bad(const char* option, const std::string& value, const char* want)
{
    return std::string(option) + " " + value + ": " + want;
}

// A whole number in [lo, hi] into *out, or the reason it is not.
std::string IntegerIn(const char* option, const std::string& value, int64_t lo, int64_t hi,
                      int64_t* out)
{
    const std::optional<int64_t> v = ParseInteger(value);
    if (!v || *v < lo || *v > hi)
        return Bad(
            option, value,
            ("expected a whole number from " + std::to_string(lo) + " to " + std::to_string(hi))
                .c_str());
    *out = *v;
    return {};
}

std::string PositiveDecimal(const char* option, const std::string& value, double hi, double* out)
{
    const std::optional<double> v = ParseDecimal(value);
    if (!v || !(*v > 0.0) || *v > hi)
        return Bad(option, value, "expected a number above 0, like 2 or 2.5");
    *out = *v;
    return {};
}

std::string ParseBlock(RenderOptions& o, const std::string& value)
{
    static constexpr std::string_view kRandom = "random:";
    if (value.compare(0, kRandom.size(), kRandom) == 0)
    {
        const std::optional<uint64_t> seed = ParseUnsigned(value.substr(kRandom.size()));
        if (!seed)
            return Bad("--block", value, "expected random:SEED with a whole number SEED");
        o.mRandomBlocks = true;
        o.mSeed = *seed;
        return {};
    }
    int64_t n = 0;
    std::string error = IntegerIn("--block", value, 1, 65536, &n);
    o.mBlock = static_cast<int>(n);
    o.mRandomBlocks = false;
    return error;
}

std::string ParseTimeSig(RenderOptions& o, const std::string& value)
{
    const std::size_t slash = value.find('/');
    const std::optional<int64_t> n = ParseInteger(value.substr(0, slash));
    const std::optional<int64_t> d =
        slash == std::string::npos ? std::nullopt : ParseInteger(value.substr(slash + 1));
    if (!n || !d || *n < 1 || *n > 64 || *d < 1 || *d > 64 || (*d & (*d - 1)) != 0)
        return Bad("--time-sig", value,
                   "expected N/D with N from 1 to 64 and D a power of two up to 64, like 3/4");
    o.mNumerator = static_cast<int>(*n);
    o.mDenominator = static_cast<int>(*d);
    return {};
}

std::string ParseLoop(RenderOptions& o, const std::string& value)
{
    const std::size_t colon = value.find(':');
    const std::optional<int64_t> start = ParseInteger(value.substr(0, colon));
    const std::optional<int64_t> end =
        colon == std::string::npos ? std::nullopt : ParseInteger(value.substr(colon + 1));
    if (!start || !end || *start < 0 || *end <= *start || *end > kMaxPosition)
        return Bad("--loop", value,
                   "expected START:END, samples with 0 <= START < END <= 2147483647");
    o.mLoopStart = *start;
    o.mLoopEnd = *end;
    return {};
}

std::string ParseParam(RenderOptions& o, const std::string& value)
{
    const std::size_t equals = value.find('=');
    if (equals == std::string::npos || equals == 0)
        return Bad("--param", value, "expected NAME=VALUE");
    o.mParams.push_back({value.substr(0, equals), value.substr(equals + 1)});
    return {};
}

// Stores a text option; the value may not be empty.
Handler Text(std::string RenderOptions::*field, const char* option)
{
    return [field, option](RenderOptions& o, const std::string& value) -> std::string
    {
        if (value.empty())
            return std::string(option) + ": expected a value";
        o.*field = value;
        return {};
    };
}

const std::vector<OptionSpec>& Specs()
{
    static const std::vector<OptionSpec> specs = {
        {"--help", false,
         [](RenderOptions& o, const std::string&) -> std::string
         {
             o.mHelp = true;
             return {};
         }},
        {"--plugin", true, Text(&RenderOptions::mPlugin, "--plugin")},
        {"--sample-rate", true,
         [](RenderOptions& o, const std::string& v)
         {
             int64_t n = 0;
             std::string error = IntegerIn("--sample-rate", v, 1000, 1000000, &n);
             o.mSampleRate = static_cast<int>(n);
             return error;
         }},
        {"--block", true, ParseBlock},
        {"--tempo", true,
         [](RenderOptions& o, const std::string& v)
         {
             const std::optional<double> t = ParseDecimal(v);
             if (!t || *t < 4.0 || *t > 1000.0)
                 return Bad("--tempo", v, "expected beats per minute from 4 to 1000");
             o.mTempo = *t;
             return std::string();
         }},
        {"--time-sig", true, ParseTimeSig},
        {"--start", true,
         [](RenderOptions& o, const std::string& v)
         { return IntegerIn("--start", v, 0, kMaxPosition, &o.mStart); }},
        {"--seconds", true,
         [](RenderOptions& o, const std::string& v)
         { return PositiveDecimal("--seconds", v, 1e6, &o.mSeconds); }},
        {"--bars", true,
         [](RenderOptions& o, const std::string& v)
         { return PositiveDecimal("--bars", v, 1e6, &o.mBars); }},
        {"--stop-at", true,
         [](RenderOptions& o, const std::string& v)
         { return IntegerIn("--stop-at", v, 0, kMaxPosition, &o.mStopAt); }},
        {"--loop", true, ParseLoop},
        {"--param", true, ParseParam},
        {"--preset", true, Text(&RenderOptions::mPreset, "--preset")},
        {"--load-state", true, Text(&RenderOptions::mLoadState, "--load-state")},
        {"--midi-in", true, Text(&RenderOptions::mMidiIn, "--midi-in")},
        {"--save-state", true, Text(&RenderOptions::mSaveState, "--save-state")},
        {"--host-product", true,
         [](RenderOptions& o, const std::string& v)
         {
             if (v.size() > 63)
                 return Bad("--host-product", v, "expected at most 63 characters");
             o.mHostProduct = v;
             return std::string();
         }},
        {"--events", true, Text(&RenderOptions::mEvents, "--events")},
        {"--midi", true, Text(&RenderOptions::mMidi, "--midi")},
        {"--synth", true, Text(&RenderOptions::mSynth, "--synth")},
        {"--wav", true, Text(&RenderOptions::mWav, "--wav")},
        {"--wav-peak", true,
         [](RenderOptions& o, const std::string& v)
         {
             const std::optional<double> db = ParseDecimal(v);
             if (!db || *db > 0.0 || *db < -96.0)
                 return Bad("--wav-peak", v, "expected decibels from -96 to 0, like -1");
             o.mWavPeak = *db;
             return std::string();
         }},
        {"--summary", false,
         [](RenderOptions& o, const std::string&) -> std::string
         {
             o.mSummary = true;
             return {};
         }},
    };
    return specs;
}

// Checks that hold between options.
std::string CheckTogether(const RenderOptions& o)
{
    if (o.mSeconds > 0.0 && o.mBars > 0.0)
        return "give --seconds or --bars, not both";
    if (o.mSynth.empty() != o.mWav.empty())
        return "--synth and --wav go together: the synthesiser's audio goes into the WAV file";
    if (o.mWavPeak <= 0.0 && o.mWav.empty())
        return "--wav-peak normalises the WAV file: give --synth and --wav too";
    if ((o.mEvents == "-") + (o.mMidi == "-") + o.mSummary > 1)
        return "only one of --events -, --midi - and --summary can write to standard output";
    const int64_t length = RenderLength(o);
    if (length < 1)
        return "the render is shorter than one sample";
    if (length > kMaxPosition - o.mStart)
        return "the render would run past sample 2147483647, the last a plug-in can count";
    return {};
}

} // namespace

double QuartersPerBar(const RenderOptions& o)
{
    return 4.0 * o.mNumerator / o.mDenominator;
}

int64_t RenderLength(const RenderOptions& o)
{
    double seconds = o.mSeconds;
    if (!(seconds > 0.0))
    {
        const double bars = o.mBars > 0.0 ? o.mBars : kDefaultBars;
        seconds = bars * QuartersPerBar(o) * 60.0 / o.mTempo;
    }
    const double frames = std::round(seconds * o.mSampleRate);
    return frames > static_cast<double>(kMaxPosition) ? kMaxPosition + 1
                                                      : static_cast<int64_t>(frames);
}

TransportPlan MakePlan(const RenderOptions& o)
{
    TransportPlan plan;
    plan.mStart = o.mStart;
    plan.mLength = RenderLength(o);
    plan.mBlock = o.mBlock;
    plan.mRandomBlocks = o.mRandomBlocks;
    plan.mSeed = o.mSeed;
    plan.mStopAt = o.mStopAt;
    plan.mLoopStart = o.mLoopStart;
    plan.mLoopEnd = o.mLoopEnd;
    return plan;
}

ParseResult ParseOptions(const std::vector<std::string>& args)
{
    ParseResult result;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        std::string name = args[i];
        std::string value;
        bool inlineValue = false;
        if (const std::size_t equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos)
        {
            value = name.substr(equals + 1);
            name.resize(equals);
            inlineValue = true;
        }
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& s : Specs())
            if (name == s.mName)
                spec = &s;
        if (!spec)
        {
            result.mError = "unknown option " + Quoted(args[i]) + " (see --help)";
            return result;
        }
        if (spec->mTakesValue && !inlineValue)
        {
            if (i + 1 >= args.size())
            {
                result.mError = name + ": expected a value";
                return result;
            }
            value = args[++i];
        }
        else if (!spec->mTakesValue && inlineValue)
        {
            result.mError = name + " takes no value";
            return result;
        }
        result.mError = spec->mHandler(result.mOptions, value);
        if (!result.mError.empty())
            return result;
    }
    if (!result.mOptions.mHelp)
        result.mError = CheckTogether(result.mOptions);
    return result;
}

} // namespace orxrender

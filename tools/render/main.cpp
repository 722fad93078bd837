// orlantix-render: hosts a VST 2 plug-in without a DAW and writes what it plays.

#include "PianoRoll.h"
#include "RenderOptions.h"
#include "Renderer.h"
#include "ToolPlatform.h"

#include <cstdio>

using namespace orxrender;

int main(int argc, char** argv)
{
    const std::vector<std::string> args = Utf8Arguments(argc, argv);
    const ParseResult parsed =
        ParseOptions(std::vector<std::string>(args.begin() + (args.empty() ? 0 : 1), args.end()));
    if (!parsed.mError.empty())
    {
        std::fprintf(stderr, "orlantix-render: %s\n", parsed.mError.c_str());
        return 2;
    }
    const RenderOptions& options = parsed.mOptions;
    if (options.mHelp)
    {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    const FilePtr reserved = ReserveStdout();
    std::FILE* out = reserved ? reserved.get() : stdout;
    RenderResult result;
    std::string error;
    if (!Render(options, out, result, error))
    {
        std::fprintf(stderr, "orlantix-render: %s\n", error.c_str());
        return 1;
    }
    if (options.mSummary)
    {
        RollSettings roll;
        roll.mStart = options.mStart;
        roll.mFrames = result.mFrames;
        roll.mSampleRate = options.mSampleRate;
        roll.mTempo = options.mTempo;
        roll.mNumerator = options.mNumerator;
        roll.mDenominator = options.mDenominator;
        std::fputs(RenderSummary(result.mEvents, roll).c_str(), out);
    }
    return std::fflush(out) == 0 ? 0 : 1;
}

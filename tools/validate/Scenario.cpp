#include "Scenario.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace orxvalidate
{

std::unique_ptr<Subject> Context::Make(bool start, float rate, int block)
{
    auto subject = std::make_unique<Subject>(mOptions.mPlugin);
    if (!subject->Loaded())
    {
        Fail("the library does not load: " + subject->Error());
        return nullptr;
    }
    if (start)
    {
        subject->Start(rate, block);
        if (!mOptions.mState.empty() && !subject->Host().SetChunk(mOptions.mState, true))
            Fail("the plug-in refuses the state given with --state");
    }
    return subject;
}

void Context::Fail(const std::string& what)
{
    mFindings.push_back(what);
}

void Context::Judge(Subject& subject, const std::string& step)
{
    subject.CollectOutside();
    const MidiStreamChecker& c = subject.Checker();
    if (mOptions.mVerbose)
        std::printf("      %s: %d blocks, %ld events, %ld note-ons\n", step.c_str(),
                    subject.Host().ProcessCalls(), c.Events(), c.NoteOns());
    if (!c.Ok())
        Fail(step + ": " + c.First()->Describe() +
             (c.ViolationCount() > 1 ? " and " + std::to_string(c.ViolationCount() - 1) + " more"
                                     : std::string()));
    if (subject.Host().BufferOverrun())
        Fail(step + ": the plug-in wrote past its block or into an input buffer");
}

void Context::ExpectSameParams(const std::vector<float>& before, const std::vector<float>& after,
                               const std::string& step)
{
    if (before.size() != after.size())
    {
        Fail(step + ": the number of parameters changed");
        return;
    }
    for (std::size_t i = 0; i < before.size(); ++i)
        if (std::memcmp(&before[i], &after[i], sizeof(float)) != 0)
        {
            Fail(step + ": parameter " + std::to_string(i) + " changed from " +
                 std::to_string(before[i]) + " to " + std::to_string(after[i]));
            return;
        }
}

void Context::ExpectNormalisedParams(Subject& subject, const std::string& step)
{
    const std::vector<float> values = subject.Params();
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!(values[i] >= 0.0f && values[i] <= 1.0f))
        {
            Fail(step + ": parameter " + std::to_string(i) + " reads " + std::to_string(values[i]) +
                 ", not a value in 0 .. 1");
            return;
        }
}

std::string FirstDifference(const std::vector<std::string>& got,
                            const std::vector<std::string>& want)
{
    const std::size_t n = std::max(got.size(), want.size());
    for (std::size_t i = 0; i < n; ++i)
    {
        const std::string a = i < got.size() ? got[i] : "nothing";
        const std::string b = i < want.size() ? want[i] : "nothing";
        if (a != b)
            return ", first difference at event " + std::to_string(i) + ": " + a + " against " + b;
    }
    return {};
}

std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want)
{
    const std::size_t n = std::min(got.size(), want.size());
    std::size_t i = 0;
    while (i < n && got[i] == want[i])
        ++i;
    if (i == n && got.size() == want.size())
        return {};
    char text[96];
    std::snprintf(text, sizeof(text), ", first difference at byte %zu of %zu (%02x against %02x)",
                  i, got.size(), i < got.size() ? got[i] : 0, i < want.size() ? want[i] : 0);
    return text;
}

std::vector<Scenario> AllScenarios()
{
    std::vector<Scenario> all;
    AddLifecycleScenarios(all);
    AddAudioScenarios(all);
    AddTransportScenarios(all);
    AddMidiScenarios(all);
    AddChunkScenarios(all);
    AddThreadScenarios(all);
    AddDeadlockScenarios(all);
    return all;
}

} // namespace orxvalidate

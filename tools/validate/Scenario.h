#pragma once
// A scenario drives fresh instances of the plug-in through one kind of host behaviour and
// reports what went wrong. Findings name the step and, for the event stream, the checker's
// first violation.

#include "Subject.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace orxvalidate
{

struct Options
{
    std::string mPlugin;
    bool mLong = false; // many more rounds, for runs outside the test suite
    uint64_t mSeed = 1;
    std::vector<std::string> mForeign; // plug-in libraries whose chunks are handed over
    bool mVerbose = false;             // a line per judged step: blocks, events, note-ons
    std::vector<uint8_t> mState;       // loaded into every started instance, as a project is
};

class Context
{
public:
    explicit Context(const Options& options)
        : mOptions(options), mRandom(options.mSeed),
          mDeadline(std::chrono::steady_clock::now() +
                    std::chrono::seconds(options.mLong ? 3600 : 15))
    {
    }

    const Options& Opts() const noexcept { return mOptions; }
    bool Long() const noexcept { return mOptions.mLong; }
    // short when in the test suite, long for --long
    int Rounds(int shortRounds, int longRounds) const noexcept
    {
        return mOptions.mLong ? longRounds : shortRounds;
    }
    Random& Rng() noexcept { return mRandom; }
    // False once the scenario has used its time (15 s, an hour in a long run): loops of rounds
    // stop early there, so slow plug-ins and slow builds (sanitizers) keep the suite short.
    bool TimeLeft() const noexcept { return std::chrono::steady_clock::now() < mDeadline; }
    std::chrono::steady_clock::time_point Deadline() const noexcept { return mDeadline; }

    // A loaded instance, started unless start is false; null (and a finding) when it does not
    // load.
    std::unique_ptr<Subject> Make(bool start = true, float rate = 44100.0f, int block = 512);
    void Fail(const std::string& what);
    // The subject's stream violations and buffer overruns become findings of `step`.
    void Judge(Subject& subject, const std::string& step);
    // Parameter values must be the same (bit patterns, so NaN counts as a change).
    void ExpectSameParams(const std::vector<float>& before, const std::vector<float>& after,
                          const std::string& step);
    // Every parameter value a host reads must be a number in 0 .. 1.
    void ExpectNormalisedParams(Subject& subject, const std::string& step);

    const std::vector<std::string>& Findings() const noexcept { return mFindings; }

private:
    const Options& mOptions;
    Random mRandom;
    std::chrono::steady_clock::time_point mDeadline;
    std::vector<std::string> mFindings;
};

struct Scenario
{
    const char* mName;
    const char* mWhat;
    bool mThreaded; // calls the plug-in from two threads at once
    void (*mRun)(Context&);
};

void AddLifecycleScenarios(std::vector<Scenario>& out);
void AddAudioScenarios(std::vector<Scenario>& out);
void AddThreadScenarios(std::vector<Scenario>& out);
void AddTransportScenarios(std::vector<Scenario>& out);
void AddMidiScenarios(std::vector<Scenario>& out);
void AddChunkScenarios(std::vector<Scenario>& out);
void AddDeadlockScenarios(std::vector<Scenario>& out);

std::vector<Scenario> AllScenarios();

// Where two event logs part: ", first difference at event N: A against B" (empty when equal).
std::string FirstDifference(const std::vector<std::string>& got,
                            const std::vector<std::string>& want);
// Where two chunks part: ", first difference at byte N of M (xx against yy)".
std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want);

} // namespace orxvalidate

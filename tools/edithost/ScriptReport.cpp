#include "ScriptReport.h"

#include <cstdio>

namespace edithost
{

ScriptReport::ScriptReport(Sink sink) : mSink(std::move(sink))
{
    if (!mSink)
        mSink = [](const std::string& line)
        {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout); // a run that hangs still shows how far it got
        };
}

void ScriptReport::Check(bool ok, int line, const std::string& what)
{
    std::lock_guard<std::mutex> lock(mMutex);
    (ok ? mPassed : mFailed) += 1;
    mSink(std::string(ok ? "ok" : "FAIL") + ": line " + std::to_string(line) + ": " + what);
}

void ScriptReport::Say(const std::string& text)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSink(text);
}

void ScriptReport::Tally()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSink(std::to_string(mPassed) + " passed, " + std::to_string(mFailed) + " failed");
}

int ScriptReport::Passed() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPassed;
}

int ScriptReport::Failed() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mFailed;
}

} // namespace edithost

#pragma once
// What an editor test host says: one "ok:" or "FAIL:" line per check with the script line it
// belongs to, notes and records in between, and the tally that ends a run ("N passed, M
// failed"). Thread-safe: the host's thread and the script's both report.

#include <functional>
#include <mutex>
#include <string>

namespace edithost
{

class ScriptReport
{
public:
    // Where the lines go; standard output when none is given.
    using Sink = std::function<void(const std::string& line)>;
    explicit ScriptReport(Sink sink = {});

    // A check of the script line line (0: before the script).
    void Check(bool ok, int line, const std::string& what);
    // A line as it is ("note: ...", "counts ...", "SKIP: ...").
    void Say(const std::string& text);
    // The last line of a run.
    void Tally();

    int Passed() const;
    int Failed() const;

private:
    mutable std::mutex mMutex;
    Sink mSink;
    int mPassed = 0;
    int mFailed = 0;
};

} // namespace edithost

#pragma once
// Faults already found and routed for a fix, so that the suite stays green meanwhile and still
// fails on anything new. One entry a line, "SCENARIO TEXT": a finding of that scenario that
// contains TEXT is reported as known. An entry that matches nothing in a scenario that ran is
// itself a finding, so the list goes as the faults go. SCENARIO "*" stands for any scenario
// (and is never reported unseen). '#' starts a comment line.

#include <string>
#include <vector>

namespace orxvalidate
{

class KnownFindings
{
public:
    // False with a message when the file cannot be read or has a malformed line.
    bool Load(const std::string& path, std::string* error);
    // Whether this finding of this scenario is a known one (and marks the entry as seen).
    bool Known(const std::string& scenario, const std::string& finding);
    // The entries of this scenario that matched nothing.
    std::vector<std::string> Unseen(const std::string& scenario) const;

private:
    struct Entry
    {
        std::string mScenario;
        std::string mText;
        bool mSeen = false;
    };
    std::vector<Entry> mEntries;
};

} // namespace orxvalidate

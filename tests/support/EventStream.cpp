#include "EventStream.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

bool operator==(const StreamEvent& a, const StreamEvent& b)
{
    return a.mTime == b.mTime && a.mStatus == b.mStatus && a.mData1 == b.mData1 &&
           a.mData2 == b.mData2;
}

std::string FormatEvent(const StreamEvent& e)
{
    char line[64];
    std::snprintf(line, sizeof line, "%lld %02x %d %d", e.mTime, e.mStatus, e.mData1, e.mData2);
    return line;
}

std::string FormatStream(const std::vector<StreamEvent>& stream)
{
    std::string out;
    for (const StreamEvent& e : stream)
        out += FormatEvent(e) + "\n";
    return out;
}

::testing::AssertionResult MatchesExpectedFile(const std::string& path, const std::string& text)
{
    const char* update = std::getenv("ORLANTIX_UPDATE_EXPECTED");
    if (update && std::string(update) == "1")
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
        if (!out)
            return ::testing::AssertionFailure() << "cannot write " << path;
        return ::testing::AssertionSuccess();
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ::testing::AssertionFailure()
               << "missing " << path << " (run with ORLANTIX_UPDATE_EXPECTED=1 to create it)";
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string expected = buffer.str();
    if (expected == text)
        return ::testing::AssertionSuccess();

    std::istringstream a(expected), b(text);
    std::string la, lb;
    int line = 1;
    while (true)
    {
        const bool ha = static_cast<bool>(std::getline(a, la));
        const bool hb = static_cast<bool>(std::getline(b, lb));
        if (!ha || !hb || la != lb)
            return ::testing::AssertionFailure()
                   << path << " line " << line << ": expected \"" << (ha ? la : "<end>")
                   << "\", got \"" << (hb ? lb : "<end>") << "\"";
        ++line;
    }
}

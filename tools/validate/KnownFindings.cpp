#include "KnownFindings.h"

#include <fstream>

namespace orxvalidate
{

bool KnownFindings::Load(const std::string& path, std::string* error)
{
    std::ifstream in(path);
    if (!in)
    {
        *error = "cannot read " + path;
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line))
    {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t space = line.find(' ');
        if (space == std::string::npos || space + 1 >= line.size())
        {
            *error = path + ":" + std::to_string(number) + ": expected \"SCENARIO TEXT\"";
            return false;
        }
        mEntries.push_back({line.substr(0, space), line.substr(space + 1)});
    }
    return true;
}

bool KnownFindings::Known(const std::string& scenario, const std::string& finding)
{
    bool known = false;
    for (Entry& e : mEntries)
        if ((e.mScenario == scenario || e.mScenario == "*") &&
            finding.find(e.mText) != std::string::npos)
        {
            e.mSeen = true;
            known = true;
        }
    return known;
}

std::vector<std::string> KnownFindings::Unseen(const std::string& scenario) const
{
    std::vector<std::string> unseen;
    for (const Entry& e : mEntries)
        if (e.mScenario == scenario && !e.mSeen)
            unseen.push_back(e.mText);
    return unseen;
}

} // namespace orxvalidate

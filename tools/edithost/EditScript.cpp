#include "EditScript.h"

#include <charconv>
#include <sstream>

namespace edithost
{

bool Command::Int(std::size_t i, int& value) const
{
    if (i >= mArgs.size())
        return false;
    const std::string& a = mArgs[i];
    const auto [end, ec] = std::from_chars(a.data(), a.data() + a.size(), value);
    return ec == std::errc() && end == a.data() + a.size();
}

std::vector<Command> ReadScript(const std::string& text)
{
    std::vector<Command> commands;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number)
    {
        if (const std::size_t hash = line.find('#'); hash != std::string::npos)
            line.resize(hash);
        std::istringstream words(line);
        Command c;
        c.mLine = number;
        if (!(words >> c.mName))
            continue;
        for (std::string w; words >> w;)
            c.mArgs.push_back(w);
        commands.push_back(std::move(c));
    }
    return commands;
}

} // namespace edithost

#include "LegendCheck.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace orx::docs
{
namespace
{

struct Entry
{
    int mNumber;
    std::string mName;
};

// The legend after the picture's line: the numbered items up to the next picture or heading.
std::vector<Entry> LegendAfter(std::istringstream& lines)
{
    static const std::regex item(R"(^(\d+)\.\s+\*\*([^*]+)\*\*)");
    std::vector<Entry> legend;
    std::string line;
    while (std::getline(lines, line))
    {
        if (line.rfind("#", 0) == 0 || line.find("![") != std::string::npos)
            break;
        std::smatch m;
        if (std::regex_search(line, m, item))
            legend.push_back({std::stoi(m[1]), m[2]});
    }
    return legend;
}

} // namespace

std::vector<std::string> CheckLegendText(const std::vector<Picture>& pictures,
                                         const std::string& manual)
{
    std::vector<std::string> problems;
    for (const Picture& picture : pictures)
    {
        const std::string link = "(manual/" + picture.mFile + ")";
        std::istringstream lines(manual);
        std::string line;
        bool shown = false;
        while (!shown && std::getline(lines, line))
            shown = line.find("![") != std::string::npos && line.find(link) != std::string::npos;
        if (!shown)
        {
            problems.push_back("does not show manual/" + picture.mFile);
            continue;
        }
        const std::vector<Entry> legend = LegendAfter(lines);
        const std::size_t n = std::max(legend.size(), picture.mCallouts.size());
        for (std::size_t i = 0; i < n; ++i)
        {
            const std::string where =
                "the legend of manual/" + picture.mFile + ", item " + std::to_string(i + 1) + ": ";
            if (i >= legend.size())
                problems.push_back(where + "missing; the picture has " +
                                   std::to_string(picture.mCallouts[i].mNumber) + " " +
                                   picture.mCallouts[i].mName);
            else if (i >= picture.mCallouts.size())
                problems.push_back(where + "the picture has no callout " +
                                   std::to_string(legend[i].mNumber));
            else if (legend[i].mNumber != picture.mCallouts[i].mNumber ||
                     legend[i].mName != picture.mCallouts[i].mName)
                problems.push_back(where + std::to_string(legend[i].mNumber) + " " +
                                   legend[i].mName + ", but the picture has " +
                                   std::to_string(picture.mCallouts[i].mNumber) + " " +
                                   picture.mCallouts[i].mName);
        }
    }
    return problems;
}

std::vector<std::string> CheckLegends(const std::vector<Picture>& pictures, const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {"cannot read " + path};
    std::ostringstream text;
    text << file.rdbuf();
    return CheckLegendText(pictures, text.str());
}

} // namespace orx::docs

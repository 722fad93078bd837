#include "ArtworkTables.h"

#include <fstream>
#include <sstream>

namespace orx::artwork
{

namespace
{

// The data lines of a table: neither empty nor comments.
std::vector<std::string> DataLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
    {
        const auto first = line.find_first_not_of(" \t\r");
        if (first != std::string::npos && line[first] != '#')
            lines.push_back(line);
    }
    return lines;
}

} // namespace

std::vector<ImageEntry> ReadImageTable(const std::string& path)
{
    std::vector<ImageEntry> table;
    for (const std::string& line : DataLines(path))
    {
        std::istringstream fields(line);
        ImageEntry e;
        if (fields >> e.mId >> e.mName >> e.mFrames >> e.mWidth >> e.mHeight && e.mFrames > 0)
            table.push_back(e);
    }
    return table;
}

std::vector<LayoutEntry> ReadLayoutTable(const std::string& path)
{
    std::vector<LayoutEntry> table;
    for (const std::string& line : DataLines(path))
    {
        std::istringstream fields(line);
        LayoutEntry e;
        if (!(fields >> e.mKind >> e.mParam >> e.mX >> e.mY))
            continue;
        std::string field;
        while (fields >> field)
            e.mFields.push_back(field);
        table.push_back(e);
    }
    return table;
}

const ImageEntry* FindImage(const std::vector<ImageEntry>& table, int id)
{
    for (const ImageEntry& e : table)
        if (e.mId == id)
            return &e;
    return nullptr;
}

} // namespace orx::artwork

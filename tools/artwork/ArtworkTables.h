#pragma once
// Readers of the two text tables the artwork is made from: resources/images.txt (every image
// with its frames and frame size) and resources/layout.txt (the placed controls).

#include <string>
#include <vector>

namespace orx::artwork
{

struct ImageEntry
{
    int mId = 0;
    std::string mName;
    int mFrames = 0;
    int mWidth = 0;  // of one frame
    int mHeight = 0; // of one frame
};

struct LayoutEntry
{
    std::string mKind; // knob, spinner, switch, button
    std::string mParam;
    int mX = 0;
    int mY = 0;
    std::vector<std::string> mFields; // the kind's own fields
};

// Empty when the file cannot be read; malformed lines are skipped.
std::vector<ImageEntry> ReadImageTable(const std::string& path);
std::vector<LayoutEntry> ReadLayoutTable(const std::string& path);

// The entry of id, or null.
const ImageEntry* FindImage(const std::vector<ImageEntry>& table, int id);

} // namespace orx::artwork

#include "EventListing.h"

#include "NumberParse.h"

namespace orxrender
{

std::string FormatEventLine(const RenderEvent& event)
{
    static constexpr char kHex[] = "0123456789abcdef";
    char number[24];
    std::string line;
    line.append(number, static_cast<std::size_t>(FormatInteger(event.mSample, number)));
    line += ' ';
    line += kHex[event.mStatus >> 4];
    line += kHex[event.mStatus & 15];
    line += ' ';
    line.append(number, static_cast<std::size_t>(FormatInteger(event.mData1, number)));
    line += ' ';
    line.append(number, static_cast<std::size_t>(FormatInteger(event.mData2, number)));
    line += '\n';
    return line;
}

} // namespace orxrender

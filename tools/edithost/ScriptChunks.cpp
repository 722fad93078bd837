// The script's checks of the plug-ins' state chunks: a value at an offset, and the whole chunk
// kept under a label and later required again byte for byte (what an undo must bring back).

#include "ScriptReport.h"
#include "ScriptSession.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace edithost
{

// The value at an offset of the plug-in's state chunk, little-endian, against the expected text.
bool ScriptSession::ExpectChunk(const Command& c)
{
    int offset = 0;
    if (c.mArgs.size() != 4 || !c.Int(1, offset) || offset < 0)
        return false;
    Slot* slot = Find(c.mArgs[0], c.mLine);
    if (!slot)
        return true;
    const std::string& type = c.mArgs[2];
    const std::string& expected = c.mArgs[3];
    std::vector<uint8_t> chunk;
    ChunkOf(*slot, chunk);
    const std::size_t at = static_cast<std::size_t>(offset);
    const std::size_t size = type == "byte" ? 1 : type == "int" ? 4 : type == "double" ? 8 : 0;
    if (size == 0 || at + size > chunk.size())
    {
        mReport.Check(false, c.mLine,
                      "no " + type + " at offset " + std::to_string(at) + " of a state chunk of " +
                          std::to_string(chunk.size()) + " bytes");
        return true;
    }
    uint64_t bits = 0;
    for (std::size_t i = 0; i < size; ++i)
        bits |= uint64_t{chunk[at + i]} << (8 * i);
    std::string shown;
    bool equal = false;
    if (type == "double")
    {
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof(value));
        shown = std::to_string(value);
        char* end = nullptr;
        const double want = std::strtod(expected.c_str(), &end);
        equal = end && *end == '\0' && value == want;
    }
    else
    {
        const long long value = size == 4 ? static_cast<long long>(static_cast<int32_t>(bits))
                                          : static_cast<long long>(bits);
        shown = std::to_string(value);
        equal = shown == expected;
    }
    mReport.Check(equal, c.mLine,
                  slot->mName + "'s state chunk holds " + shown + " at offset " +
                      std::to_string(at) + " (" + type + "), expected " + expected);
    return true;
}

bool ScriptSession::KeepChunk(const Command& c)
{
    if (c.mArgs.size() != 2)
        return false;
    Slot* slot = Find(c.mArgs[0], c.mLine);
    if (!slot)
        return true;
    std::vector<uint8_t> chunk;
    const bool read = ChunkOf(*slot, chunk) && !chunk.empty();
    // A label once kept stays: a script that reuses one means another state, and says so.
    const bool fresh = mKeptChunks.count(c.mArgs[1]) == 0;
    mReport.Check(read && fresh, c.mLine,
                  !read    ? slot->mName + "'s state chunk cannot be read to keep"
                  : !fresh ? "a state chunk is already kept as " + c.mArgs[1]
                           : slot->mName + "'s state chunk (" + std::to_string(chunk.size()) +
                                 " bytes) kept as " + c.mArgs[1]);
    if (read && fresh)
        mKeptChunks[c.mArgs[1]] = std::move(chunk);
    return true;
}

bool ScriptSession::ExpectChunkAs(const Command& c)
{
    if (c.mArgs.size() != 2)
        return false;
    Slot* slot = Find(c.mArgs[0], c.mLine);
    if (!slot)
        return true;
    const auto kept = mKeptChunks.find(c.mArgs[1]);
    if (kept == mKeptChunks.end())
    {
        mReport.Check(false, c.mLine, "no state chunk kept as " + c.mArgs[1]);
        return true;
    }
    const std::vector<uint8_t>& want = kept->second;
    std::vector<uint8_t> have;
    if (!ChunkOf(*slot, have))
    {
        mReport.Check(false, c.mLine,
                      "the host's thread is held: no state chunk of " + slot->mName +
                          " to compare");
        return true;
    }
    std::size_t first = 0, differing = 0;
    const std::size_t common = std::min(have.size(), want.size());
    for (std::size_t i = common; i-- > 0;)
        if (have[i] != want[i])
        {
            first = i;
            ++differing;
        }
    const bool equal = differing == 0 && have.size() == want.size();
    std::string what = slot->mName + "'s state chunk is the one kept as " + c.mArgs[1];
    if (have.size() != want.size())
        what += "; it has " + std::to_string(have.size()) + " bytes, the kept one " +
                std::to_string(want.size());
    else if (differing > 0)
        what += "; " + std::to_string(differing) + " bytes differ, from byte " +
                std::to_string(first) + " on";
    else
        what += " (" + std::to_string(have.size()) + " bytes)";
    mReport.Check(equal, c.mLine, what);
    return true;
}

} // namespace edithost

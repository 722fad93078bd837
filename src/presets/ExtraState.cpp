#include "ExtraState.h"

#include <cstring>

namespace
{
constexpr char kTag[4] = {'O', 'X', 'e', 'x'};
constexpr int kEntrySize = 12;
} // namespace

bool WriteExtraState(IByteChunk& chunk, const ExtraState& state)
{
    const int32_t count = state.mMap.BoundCount();
    const int32_t size = 8 + count * kEntrySize;
    bool ok = chunk.PutBytes(kTag, 4) && chunk.Put(static_cast<int32_t>(kExtraStateVersion)) &&
              chunk.Put(size) && chunk.Put(static_cast<int32_t>(state.mKeyPlayMode)) &&
              chunk.Put(count);
    for (int c = 0; ok && c < ControllerMap::kNumControllers; ++c)
    {
        const ControllerAssignment a = state.mMap.At(c);
        if (a.Bound())
            ok = chunk.Put(static_cast<int32_t>(c)) &&
                 chunk.Put(static_cast<int32_t>(a.mParamIdx)) &&
                 chunk.Put(static_cast<int32_t>(a.mChannelMask));
    }
    return ok;
}

int ReadExtraState(const IByteChunk& chunk, int position, int numParams, ExtraState& state)
{
    state = ExtraState{};
    char tag[4] = {};
    if (position < 0 || chunk.GetBytes(tag, 4, position) < 0 || std::memcmp(tag, kTag, 4) != 0)
        return position;
    int32_t version = 0, size = 0, mode = 0, count = 0;
    int pos = chunk.Get(&version, position + 4);
    pos = pos < 0 ? -1 : chunk.Get(&size, pos);
    const int end = pos < 0 || size < 8 || size > chunk.Size() - pos ? -1 : pos + size;
    if (end < 0 || version < 1)
        return position;
    pos = chunk.Get(&mode, pos);
    pos = pos < 0 ? -1 : chunk.Get(&count, pos);
    if (pos < 0 || mode < 0 || mode > 2 || count < 0 || count > ControllerMap::kNumControllers ||
        count > (end - pos) / kEntrySize)
        return position;
    ExtraState read;
    read.mKeyPlayMode = mode;
    for (int i = 0; i < count; ++i)
    {
        int32_t controller = 0, param = 0, mask = 0;
        pos = chunk.Get(&controller, pos);
        pos = chunk.Get(&param, pos);
        pos = chunk.Get(&mask, pos);
        if (pos < 0 || controller < 0 || controller >= ControllerMap::kNumControllers ||
            param < 0 || param >= numParams)
            return position;
        read.mMap.Assign(controller, param, static_cast<uint32_t>(mask));
    }
    state = read;
    return end;
}

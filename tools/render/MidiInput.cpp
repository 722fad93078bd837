#include "MidiInput.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace orxrender
{
namespace
{

// Data bytes a channel message of this status carries.
int DataBytes(uint8_t status)
{
    const int kind = status >> 4;
    return kind == 0xC || kind == 0xD ? 1 : 2;
}

struct Reader
{
    const std::vector<uint8_t>& mBytes;
    size_t mPos = 0;
    size_t mEnd = 0;

    bool Has(size_t n) const { return mPos <= mEnd && mEnd - mPos >= n; }
    uint32_t Big(int n)
    {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 8 | mBytes[mPos++];
        return v;
    }
    bool VarLen(uint32_t& v)
    {
        v = 0;
        for (int i = 0; i < 4; ++i)
        {
            if (!Has(1))
                return false;
            const uint8_t b = mBytes[mPos++];
            v = v << 7 | (b & 0x7F);
            if (!(b & 0x80))
                return true;
        }
        return false;
    }
};

struct TickEvent
{
    uint64_t mTick;
    int mTrack;
    size_t mOrder;
    InputEvent mEvent;
};

} // namespace

bool ParseMidiInput(const std::vector<uint8_t>& bytes, double sampleRate,
                    std::vector<InputEvent>& out, std::string& error)
{
    if (bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, "MThd"))
        return ParseMidiFile(bytes, sampleRate, out, error);
    return ParseEventListing(std::string(bytes.begin(), bytes.end()), out, error);
}

bool ParseEventListing(const std::string& text, std::vector<InputEvent>& out, std::string& error)
{
    out.clear();
    size_t start = 0;
    int lineNo = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (const size_t hash = line.find('#'); hash != std::string::npos)
            line.resize(hash);
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        const char* p = line.c_str();
        char* stop = nullptr;
        const long long sample = std::strtoll(p, &stop, 10);
        bool ok = stop != p && sample >= 0;
        p = stop;
        const unsigned long status = ok ? std::strtoul(p, &stop, 16) : 0;
        ok = ok && stop != p && status >= 0x80 && status < 0xF0;
        p = stop;
        long data[2] = {0, 0};
        for (int i = 0; ok && i < 2; ++i)
        {
            data[i] = std::strtol(p, &stop, 10);
            ok = stop != p && data[i] >= 0 && data[i] <= 127;
            p = stop;
        }
        while (ok && (*p == ' ' || *p == '\t' || *p == '\r'))
            ++p;
        if (!ok || *p)
        {
            error = "line " + std::to_string(lineNo) +
                    " is not \"sample status data1 data2\" (a channel message): " + line;
            return false;
        }
        out.push_back({sample, static_cast<uint8_t>(status), static_cast<uint8_t>(data[0]),
                       static_cast<uint8_t>(data[1])});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const InputEvent& a, const InputEvent& b)
                     { return a.mSample < b.mSample; });
    return true;
}

bool ParseMidiFile(const std::vector<uint8_t>& bytes, double sampleRate,
                   std::vector<InputEvent>& out, std::string& error)
{
    out.clear();
    Reader r{bytes, 0, bytes.size()};
    if (!r.Has(14) || r.Big(4) != 0x4D546864 || r.Big(4) != 6)
    {
        error = "not a Standard MIDI File";
        return false;
    }
    const uint32_t format = r.Big(2);
    const uint32_t tracks = r.Big(2);
    const uint32_t division = r.Big(2);
    if (format > 1 || division == 0 || (division & 0x8000))
    {
        error = "only MIDI files of format 0 or 1 with ticks per quarter note are read";
        return false;
    }
    std::vector<TickEvent> events;
    std::map<uint64_t, uint32_t> tempos; // tick -> microseconds per quarter note
    size_t order = 0;
    for (uint32_t t = 0; t < tracks; ++t)
    {
        r.mEnd = bytes.size();
        if (!r.Has(8) || r.Big(4) != 0x4D54726B)
        {
            error = "track " + std::to_string(t + 1) + " is missing";
            return false;
        }
        const uint32_t length = r.Big(4);
        if (!r.Has(length))
        {
            error = "track " + std::to_string(t + 1) + " is cut short";
            return false;
        }
        const size_t trackEnd = r.mPos + length;
        r.mEnd = trackEnd;
        uint64_t tick = 0;
        uint8_t running = 0;
        while (r.mPos < trackEnd)
        {
            uint32_t delta = 0;
            if (!r.VarLen(delta) || !r.Has(1))
                break;
            tick += delta;
            uint8_t status = r.mBytes[r.mPos];
            if (status >= 0x80)
                ++r.mPos;
            else if (running)
                status = running;
            else
                break;
            if (status == 0xFF)
            {
                uint32_t size = 0;
                if (!r.Has(1))
                    break;
                const uint8_t type = r.mBytes[r.mPos++];
                if (!r.VarLen(size) || !r.Has(size))
                    break;
                if (type == 0x51 && size == 3)
                    tempos[tick] = r.Big(3);
                else
                    r.mPos += size;
                continue;
            }
            if (status == 0xF0 || status == 0xF7)
            {
                uint32_t size = 0;
                if (!r.VarLen(size) || !r.Has(size))
                    break;
                r.mPos += size;
                running = 0;
                continue;
            }
            if (status >= 0xF0)
                break; // no other system message belongs in a file
            running = status;
            const int n = DataBytes(status);
            if (!r.Has(static_cast<size_t>(n)))
                break;
            InputEvent e;
            e.mStatus = status;
            e.mData1 = r.mBytes[r.mPos++] & 0x7F;
            if (n == 2)
                e.mData2 = r.mBytes[r.mPos++] & 0x7F;
            events.push_back({tick, static_cast<int>(t), order++, e});
        }
        if (r.mPos != trackEnd)
        {
            error = "track " + std::to_string(t + 1) + " holds an event that cannot be read";
            return false;
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const TickEvent& a, const TickEvent& b)
                     { return a.mTick != b.mTick ? a.mTick < b.mTick : a.mTrack < b.mTrack; });
    // Ticks to samples through the tempo map (120 BPM until the first tempo event).
    double seconds = 0.0;
    uint64_t lastTick = 0;
    uint32_t tempo = 500000;
    auto next = tempos.begin();
    for (TickEvent& e : events)
    {
        for (; next != tempos.end() && next->first <= e.mTick; ++next)
        {
            seconds += static_cast<double>(next->first - lastTick) * tempo / 1e6 / division;
            lastTick = next->first;
            tempo = next->second;
        }
        const double at =
            seconds + static_cast<double>(e.mTick - lastTick) * tempo / 1e6 / division;
        e.mEvent.mSample = std::llround(at * sampleRate);
        out.push_back(e.mEvent);
    }
    return true;
}

} // namespace orxrender

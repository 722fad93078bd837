// The saved state: it comes back whole in a fresh instance, and every chunk a host may hand
// over by mistake (another plug-in's, a truncated one, random bytes, the right size with
// absurd values) leaves the instance playing, with normalised parameters; a refused chunk
// leaves the state as it was, and an accepted one reads back the same.

#include "Scenario.h"

#include <cstring>
#include <string>
#include <vector>

namespace orxvalidate
{
namespace
{

using Bytes = std::vector<uint8_t>;

// Hands `chunk` over and checks what a host relies on afterwards.
void Offer(Context& cx, Subject& s, const Bytes& chunk, bool bank, const std::string& step)
{
    const Bytes before = s.State();
    const intptr_t accepted = s.Host().SetChunk(chunk, bank);
    const Bytes after = s.State();
    if (!accepted && after != before)
        cx.Fail(step + ": the chunk was refused but the state changed" +
                FirstDifference(after, before));
    if (accepted)
    {
        s.Host().SetChunk(after, true);
        if (s.State() != after)
            cx.Fail(step + ": the state it took does not read back the same");
    }
    cx.ExpectNormalisedParams(s, step);
    const bool clean = s.Checker().Ok();
    for (int k = 0; k < 3; ++k)
        s.Play(1024);
    if (clean && !s.Checker().Ok())
        cx.Judge(s, "playing after " + step);
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// A host saves the project (the chunk), reopens it in a fresh instance and plays: the same
// parameters, the same chunk, the same events as the instance that saved it.
void StateComesBack(Context& cx, Subject& a, const Bytes& chunk)
{
    auto b = cx.Make();
    if (!b->Host().SetChunk(chunk, true))
        cx.Fail("state: a fresh instance refused the chunk another one saved");
    if (b->State() != chunk)
        cx.Fail("state: a fresh instance given the saved chunk saves a different one");
    cx.ExpectSameParams(a.Params(), b->Params(), "state: parameters after loading it");
    a.PlayFor(44100 * 4, 512);
    b->PlayFor(44100 * 4, 512);
    if (a.EventLog() != b->EventLog())
        cx.Fail("state: the instance that loaded it plays other notes than the one that saved it" +
                FirstDifference(b->EventLog(), a.EventLog()));
    b->StopAndDrain();
    cx.Judge(*b, "state: playing after loading it");
}

void Chunks(Context& cx)
{
    auto a = cx.Make();
    if (!a)
        return;
    if (!a->HasChunks())
        return; // nothing to hand over; the opcode sweep still sent set-chunk with nulls
    // A state of its own: parameters moved by a host.
    for (int k = 0; k < 40 && a->NumParams() > 0; ++k)
        a->Host().SetParameter(cx.Rng().Below(a->NumParams()), static_cast<float>(cx.Rng().Unit()));
    const Bytes chunk = a->State();
    if (chunk.empty())
    {
        cx.Fail("state: the plug-in has the chunk flag but hands out no chunk");
        return;
    }
    StateComesBack(cx, *a, chunk);

    auto s = cx.Make();
    // Another plug-in's chunks, and what other plug-ins' chunks look like.
    for (const std::string& path : cx.Opts().mForeign)
    {
        Subject other(path);
        if (!other.Loaded())
        {
            cx.Fail("foreign chunk: " + other.Error());
            continue;
        }
        other.Start();
        if (other.HasChunks())
            for (const bool bank : {true, false})
                Offer(cx, *s, other.Host().GetChunk(bank), bank, "chunk of " + path);
    }
    const std::vector<Bytes> lookalikes = {
        Bytes{'C', 'c', 'n', 'K', 0,   0,   0, 0x40, 'F', 'B',
              'C', 'h', 'V', 's', 't', 'P', 0, 0,    0,   1},
        Text("<?xml version=\"1.0\"?><ZynAddSubFX-data version-major=\"3\"/>"),
        Bytes{0x1F, 0x8B, 0x08, 0x00, 0, 0, 0, 0, 0, 3},
        Text("param Tempo 1e308\nparam Swing nan\nmelody 1.1 1 2  3 4 5 6\n"),
        Bytes{},
    };
    for (std::size_t i = 0; i < lookalikes.size(); ++i)
        Offer(cx, *s, lookalikes[i], i % 2 == 0, "look-alike chunk " + std::to_string(i));

    // Its own chunk, cut short.
    std::vector<std::size_t> cuts = {0, 1, 2, 3, 4, 7, 8, 16, chunk.size() - 1};
    if (cx.Long())
        for (std::size_t n = 0; n < chunk.size(); ++n)
            cuts.push_back(n);
    else
        for (int k = 0; k < 200; ++k)
            cuts.push_back(
                static_cast<std::size_t>(cx.Rng().Below(static_cast<int>(chunk.size()))));
    for (const std::size_t n : cuts)
        if (cx.TimeLeft())
            Offer(cx, *s, Bytes(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n)),
                  n % 2 == 0, "chunk cut to " + std::to_string(n) + " bytes");

    // Random bytes of many sizes.
    const std::size_t sizes[] = {1, 5, 64, 1000, chunk.size(), chunk.size() + 1, 100000};
    for (int round = 0; round < cx.Rounds(12, 400) && cx.TimeLeft(); ++round)
        for (const std::size_t size : sizes)
        {
            Bytes noise(size);
            for (uint8_t& b : noise)
                b = static_cast<uint8_t>(cx.Rng().Next());
            Offer(cx, *s, noise, round % 2 == 0, "random chunk of " + std::to_string(size));
        }

    // The right size with absurd values: 4-byte windows overwritten in place.
    const uint32_t absurd[] = {0x7FC00000u, 0x7F800000u, 0xFF800000u, 0xFFFFFFFFu,
                               0x80000000u, 0x7FFFFFFFu, 0x7149F2CAu, 0x00000000u};
    const int windows = cx.Long() ? static_cast<int>(chunk.size() / 4) : 400;
    for (int w = 0; w < windows && cx.TimeLeft(); ++w)
    {
        const std::size_t at =
            cx.Long()
                ? static_cast<std::size_t>(w) * 4
                : static_cast<std::size_t>(cx.Rng().Below(static_cast<int>(chunk.size() - 3)));
        Bytes odd = chunk;
        const uint32_t v = absurd[cx.Rng().Below(8)];
        std::memcpy(odd.data() + at, &v, 4);
        Offer(cx, *s, odd, true,
              "chunk with " + std::to_string(v) + " at byte " + std::to_string(at));
    }
    // Digits made huge, text made unending, where the chunk holds text.
    Bytes digits = chunk, noEnd = chunk;
    for (uint8_t& b : digits)
        if (b >= '0' && b <= '8')
            b = '9';
    for (uint8_t& b : noEnd)
        if (b == 0 || b == '\n')
            b = 'x';
    Offer(cx, *s, digits, true, "chunk with every digit 9");
    Offer(cx, *s, noEnd, true, "chunk without line or string ends");

    // Null and size disagreeing with the bytes.
    vst2::Effect* e = s->Effect();
    Bytes copy = chunk;
    e->dispatcher(e, vst2::effSetChunk, 0, 100, nullptr, 0.0f);
    e->dispatcher(e, vst2::effSetChunk, 1, 0, copy.data(), 0.0f);
    e->dispatcher(e, vst2::effSetChunk, 0, -1, copy.data(), 0.0f);
    e->dispatcher(e, vst2::effGetChunk, 0, 0, nullptr, 0.0f);
    s->PlayFor(44100, 512);
    const bool clean = s->Checker().Ok();
    s->StopAndDrain();
    if (clean)
        cx.Judge(*s, "odd chunks");
}

} // namespace

void AddChunkScenarios(std::vector<Scenario>& out)
{
    out.push_back({"chunks",
                   "state saved and loaded into a fresh instance plays the same; chunks of other "
                   "plug-ins, look-alikes, truncated, random and with absurd values",
                   false, Chunks});
}

} // namespace orxvalidate

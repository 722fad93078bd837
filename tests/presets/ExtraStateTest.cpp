// The controller map and the key-play mode in the stored forms: the state chunk's tagged block
// after the parameters, and preset lines that a reader knowing only parameters skips.

#include "CheckCapture.h"
#include "EventStream.h"
#include "OrlantixParamIndex.h"
#include "PluginTestSupport.h"
#include "PresetText.h"
#include "StateChunk.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
constexpr int kCoreSize = 5684; // header, pattern and parameters: the chunk as it first was

std::vector<uint8_t> GetChunk(Orlantix& plug)
{
    void* data = nullptr;
    vst2::Effect* e = plug.GetEffect();
    const intptr_t size = e->dispatcher(e, vst2::effGetChunk, 0, 0, &data, 0.0f);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return size > 0 && bytes ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>{};
}

intptr_t SetChunk(Orlantix& plug, const std::vector<uint8_t>& bytes)
{
    vst2::Effect* e = plug.GetEffect();
    return e->dispatcher(e, vst2::effSetChunk, 0, static_cast<intptr_t>(bytes.size()),
                         const_cast<uint8_t*>(bytes.data()), 0.0f);
}

std::unique_ptr<Orlantix> Opened()
{
    auto plug = MakePlug();
    vst2::Effect* e = plug->GetEffect();
    e->dispatcher(e, vst2::effOpen, 0, 0, nullptr, 0.0f);
    return plug;
}

// Blocks of 256 through the instance, a key held from sample 3000 to 20000, then 26000 on.
std::vector<StreamEvent> PlayWithKeys(Orlantix& plug)
{
    std::vector<StreamEvent> stream;
    TransportState t;
    const struct
    {
        int mTime;
        int mNote;
        bool mDown;
    } keys[] = {{3000, 50, true}, {20000, 50, false}, {26000, 43, true}};
    for (int b = 0; b < 400; ++b)
    {
        for (const auto& k : keys)
            if (k.mTime / 256 == b)
                plug.Engine().mKeys.Push(k.mTime % 256, 0, k.mNote, k.mDown);
        t.mSamplePos = b * 256;
        plug.Engine().ProcessBlock(t, 256);
        AppendBlock(stream, t.mSamplePos, plug.Engine().mMidiOut);
    }
    return stream;
}

int NoteOnCount(const std::vector<StreamEvent>& stream)
{
    int n = 0;
    for (const StreamEvent& e : stream)
        n += (e.mStatus & 0xf0) == 0x90;
    return n;
}

void Bind(Orlantix& plug)
{
    Change(plug, kSwing, 0.3);
    plug.AssignController(74, kSwing, 1u);
    plug.AssignController(1, kStkProb, 0x8001u);
    plug.SetKeyPlayMode(KeyPlayMode::kGate);
}
} // namespace

TEST(ExtraState, MapAndKeyPlayTravelInTheChunkAndAFreshInstancePlaysTheSame)
{
    auto a = Opened();
    const std::vector<uint8_t> fresh = GetChunk(*a);
    EXPECT_EQ(fresh.size(), static_cast<size_t>(kCoreSize)); // a fresh instance: as always
    Bind(*a);
    const std::vector<uint8_t> chunk = GetChunk(*a);
    ASSERT_GT(chunk.size(), static_cast<size_t>(kCoreSize));
    EXPECT_EQ(std::memcmp(chunk.data() + kCoreSize, "OXex", 4), 0);

    auto b = Opened();
    CheckCapture checks;
    EXPECT_EQ(SetChunk(*b, chunk), 1);
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
    EXPECT_EQ(GetChunk(*b), chunk);
    EXPECT_EQ(b->GetKeyPlayMode(), KeyPlayMode::kGate);
    EXPECT_EQ(b->Controller(74).mParamIdx, kSwing);
    EXPECT_EQ(b->Controller(1).mChannelMask, 0x8001u);

    EXPECT_EQ(SetChunk(*a, chunk), 1); // both start from the loaded state
    const std::vector<StreamEvent> sa = PlayWithKeys(*a), sb = PlayWithKeys(*b);
    EXPECT_GE(NoteOnCount(sa), 3); // the default pattern is sparse
    EXPECT_EQ(FormatStream(sa), FormatStream(sb));

    // Today's reader: the pattern, then the parameters, and it stops there.
    auto c = Opened();
    IByteChunk bytes;
    ASSERT_TRUE(bytes.PutBytes(chunk.data(), static_cast<int>(chunk.size())));
    int pos = ReadPatternState(bytes, 8, c->Engine().mProgression, c->Engine().mGroove);
    pos = c->UnserializeParams(bytes, pos, true);
    EXPECT_EQ(pos, kCoreSize);
    for (int i = 0; i < kNumOrlantixParams; ++i)
        EXPECT_EQ(c->GetParam(i)->Value(), a->GetParam(i)->Value()) << i;
}

TEST(ExtraState, AChunkOfTodaysBuildLoadsUnchangedAndClearsMapAndKeys)
{
    auto a = Opened();
    Change(*a, kVel, 90);
    const std::vector<uint8_t> today = GetChunk(*a);
    ASSERT_EQ(today.size(), static_cast<size_t>(kCoreSize));

    auto b = Opened();
    Bind(*b);
    EXPECT_EQ(SetChunk(*b, today), 1);
    EXPECT_EQ(GetChunk(*b), today); // written back byte for byte, with no block
    EXPECT_EQ(b->GetKeyPlayMode(), KeyPlayMode::kOff);
    EXPECT_EQ(b->Controller(74).mParamIdx, -1);

    // A block that is not one is ignored: the pattern and parameters stand, nothing is bound.
    std::vector<uint8_t> bad = today;
    const uint8_t junk[] = {'O', 'X', 'e', 'x', 1, 0, 0, 0, 20, 0, 0, 0, 9, 0, 0, 0};
    bad.insert(bad.end(), std::begin(junk), std::end(junk));
    Bind(*b);
    EXPECT_EQ(SetChunk(*b, bad), 1);
    EXPECT_EQ(GetChunk(*b), today);
}

TEST(ExtraState, PresetLinesCarryTheMapAndTheModeAndReadersOfParametersSkipThem)
{
    auto a = Opened();
    Bind(*a);
    a->AssignController(64, kCellTrigger, 1u); // a parameter without a name: not written
    IParamTable& table = *a;
    ExtraState extra;
    extra.mKeyPlayMode = 2;
    extra.mMap.Assign(74, kSwing, 1u);
    extra.mMap.Assign(1, kStkProb, 0x8001u);
    extra.mMap.Assign(64, kCellTrigger, 1u);
    const std::string text =
        PresetText(table, a->Engine().mProgression, a->Engine().mGroove, extra);
    EXPECT_NE(text.find("\nparam KeyPlay 2.000000000000\n"), std::string::npos);
    EXPECT_NE(text.find("\nparam MidiCC.1.StkProb 32769.000000000000\n"), std::string::npos);
    EXPECT_NE(text.find("\nparam MidiCC.74.Swing 1.000000000000\n"), std::string::npos);
    EXPECT_EQ(text.find("MidiCC.64"), std::string::npos);

    // Into a fresh instance: the same values, map and mode.
    auto b = Opened();
    b->ReadPresetText(text.data(), text.size(), nullptr);
    EXPECT_EQ(b->GetKeyPlayMode(), KeyPlayMode::kGate);
    EXPECT_EQ(b->Controller(74).mParamIdx, kSwing);
    EXPECT_EQ(b->Controller(1).mChannelMask, 0x8001u);
    EXPECT_EQ(b->Controller(64).mParamIdx, -1);
    for (int i = 0; i < kNumOrlantixParams; ++i)
    {
        if (!IsLeftOutOfPresets(*a, i))
        {
            EXPECT_EQ(b->GetParam(i)->Value(), a->GetParam(i)->Value()) << i;
        }
    }

    // The lines match no parameter: a reader that knows only parameters sets the same ones.
    const std::string plain =
        PresetText(table, a->Engine().mProgression, a->Engine().mGroove, ExtraState{});
    auto c = Opened();
    const PresetReadResult withLines = ApplyPresetText(
        text.data(), text.size(), *c, c->Engine().mProgression, c->Engine().mGroove);
    const PresetReadResult without = ApplyPresetText(plain.data(), plain.size(), *c,
                                                     c->Engine().mProgression, c->Engine().mGroove);
    EXPECT_EQ(withLines.mParamLines, without.mParamLines);
    EXPECT_EQ(withLines.mMelodyLines, 48);
    EXPECT_EQ(withLines.mGrooveSteps, 48);

    // A preset without map lines (every factory one) keeps the map; its mode is off.
    b->ReadPresetText(plain.data(), plain.size(), nullptr);
    EXPECT_EQ(b->GetKeyPlayMode(), KeyPlayMode::kOff);
    EXPECT_EQ(b->Controller(74).mParamIdx, kSwing);
}

// The event stream of a long run must not depend on how the host cuts it into blocks: the same
// events on the same samples in the same order, for every cut. The runs are full of repeated
// legato notes, whose cut note-offs fall on block boundaries whenever the blocks divide the
// pulse (at 48 kHz and 120 BPM a 1/16 pulse is 6000 samples: every pulse for blocks of 125 and
// 250, every 4th for 64, every 16th for 256).

#include "AudioThreadRole.h"
#include "EngineDriver.h"
#include "Modifiers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <tuple>

namespace
{
struct Setting
{
    const char* mName;
    double mTempo;
    void (*mConfigure)(PatternEngine&);
};

// Swing, humanising, both jitters, both modifier sequencers and a random player, with notes
// four pulses long over neighbouring degrees: keys repeat while they still sound.
void ConfigureBusy(PatternEngine& e)
{
    e.SetDivision(DivisionIndex("1/32"));
    e.SetNoteLengthDivision(DivisionIndex("1/8"));
    e.SetSwing(0.4);
    e.SetHumanise(0.5);
    e.SetVelocityJitter(0.7);
    e.SetLengthJitter(0.5);
    e.SetLifeProbability(0.3);
    e.SetPlayerDirection(kModeRandom);
    e.SetIntervalSet(6); // "Whole (n)": neighbouring degrees, many repeated keys
    for (int i = 0; i < kModifierSteps; ++i)
    {
        e.SetModifierValue(ModifierPane::kStrike, i, (i * 5) % kNumStrikeModifiers);
        e.SetModifierPermanence(ModifierPane::kStrike, i, i % 2);
        e.SetModifierValue(ModifierPane::kMelody, i, (i * 7 + 3) % kNumMelodyModifiers);
    }
    e.SetSequencerProbability(ModifierPane::kStrike, 0.6);
    e.SetSequencerProbability(ModifierPane::kMelody, 0.9);
    e.SetSequencerDirection(ModifierPane::kStrike, kModeRandom);
    e.SetSequencerDirection(ModifierPane::kMelody, kModeBackFwd);
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int q = 0; q < kPitchSetsPerMelody; ++q)
            {
                PitchSet& set = *e.mProgression.GetPitchSet(s, v, q);
                set.mPlayingMask = set.mBaseMask = 1 + (s * 7 + v * 3 + q * 5) % 31;
            }
}

// Two keys struck on every 1/16 pulse and held for an eighth: every note but a chord's last
// is cut by the next one of its key.
void ConfigureLegato(PatternEngine& e)
{
    e.SetDivision(DivisionIndex("1/16"));
    e.SetNoteLengthDivision(DivisionIndex("1/8"));
    StrikeEveryPulse(e, 0b00101);
}

// Notes exactly one pulse long: each note-off falls on the next note-on of its key (at 44.1 kHz
// the carried sample makes every other pulse one longer, so half of them do not touch).
void ConfigureTied(PatternEngine& e)
{
    e.SetDivision(DivisionIndex("1/16"));
    e.SetNoteLengthDivision(DivisionIndex("1/16"));
    StrikeEveryPulse(e, 0b10001);
}

const Setting kSettings[] = {
    {"busy", 150.0, ConfigureBusy},
    {"legato", 120.0, ConfigureLegato},
    {"tied", 120.0, ConfigureTied},
};

constexpr long long kSeconds = 16;

// Plays the setting in blocks from nextSize and answers the stream; every message must lie
// inside its block.
std::vector<StreamEvent> Play(const Setting& setting, double rate,
                              const std::function<int()>& nextSize)
{
    PatternEngine e;
    e.SetSampleRate(rate);
    setting.mConfigure(e);
    // Room for a whole run in one block.
    e.Reserve(8192);
    TransportState t;
    t.mTempo = setting.mTempo;
    const long long total = static_cast<long long>(rate) * kSeconds;
    std::vector<StreamEvent> events;
    for (long long pos = 0; pos < total;)
    {
        const int n = static_cast<int>(std::min<long long>(nextSize(), total - pos));
        t.mSamplePos = static_cast<int>(pos);
        PlayEngineBlock(e, t, n);
        for (const IMidiMessage& m : e.mMidiOut)
            if (m.mOffset < 0 || m.mOffset >= n)
            {
                ADD_FAILURE() << "offset " << m.mOffset << " in a block of " << n;
                return {};
            }
        AppendBlock(events, pos, e.mMidiOut);
        pos += n;
    }
    return events;
}

::testing::AssertionResult SameStream(const std::vector<StreamEvent>& a,
                                      const std::vector<StreamEvent>& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (!(a[i] == b[i]))
            return ::testing::AssertionFailure()
                   << "event " << i << ": " << FormatEvent(a[i]) << " vs " << FormatEvent(b[i]);
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << a.size() << " vs " << b.size() << " events";
    return ::testing::AssertionSuccess();
}

using Key = std::tuple<long long, int, int>; // time, channel, key

std::set<Key> Keys(const std::vector<StreamEvent>& events, int kind)
{
    std::set<Key> keys;
    for (const StreamEvent& e : events)
        if ((e.mStatus & 0xf0) == kind)
            keys.insert({e.mTime, e.mStatus & 0x0f, e.mData1});
    return keys;
}

// Note-ons whose key was cut one sample earlier.
int CutsBeforeNoteOns(const std::vector<StreamEvent>& events, long long divisibleBy = 1)
{
    const std::set<Key> offs = Keys(events, 0x80);
    int cuts = 0;
    for (const auto& [t, channel, key] : Keys(events, 0x90))
        cuts += t % divisibleBy == 0 && offs.count({t - 1, channel, key});
    return cuts;
}
} // namespace

TEST(BlockInvariance, EveryCutGivesTheSameStreamAsOneBlock)
{
    auto random = std::make_shared<MwcRandom>(2024u, ~2024u);
    const std::function<int()> randomSizes = [random]
    { return 1 + static_cast<int>(random->Next() % 3000u); };
    struct Cut
    {
        const char* mName;
        std::function<int()> mBlocks;
    };
    const Cut cuts[] = {{"1", FixedBlocks(1)},     {"64", FixedBlocks(64)},
                        {"125", FixedBlocks(125)}, {"250", FixedBlocks(250)},
                        {"256", FixedBlocks(256)}, {"512", FixedBlocks(512)},
                        {"random", randomSizes}};
    for (const Setting& setting : kSettings)
        for (double rate : {44100.0, 48000.0})
        {
            const std::string name =
                std::string(setting.mName) + " at " + std::to_string(static_cast<int>(rate));
            const std::vector<StreamEvent> whole = Play(setting, rate, FixedBlocks(1 << 30));
            ASSERT_GT(whole.size(), 200u) << name;
            // A note cut by a note-on of its key ends one sample before it, never on it.
            const std::set<Key> offs = Keys(whole, 0x80);
            for (const Key& on : Keys(whole, 0x90))
                ASSERT_EQ(offs.count(on), 0u) << name << " at " << std::get<0>(on);
            EXPECT_GT(CutsBeforeNoteOns(whole), 50) << name;
            for (const Cut& cut : cuts)
                EXPECT_TRUE(SameStream(whole, Play(setting, rate, cut.mBlocks)))
                    << name << ", blocks of " << cut.mName;
        }
}

TEST(BlockInvariance, CutsOnBlockBoundariesAreAmongTheCases)
{
    // The legato run at 48 kHz: a 1/16 pulse is 48 blocks of 125, so every note-on opens a
    // block, and the note of its key that it cuts ends on the last sample of the block before:
    // 32 chord steps of four pulses, each repeating its two keys three times.
    const std::vector<StreamEvent> events = Play(kSettings[1], 48000.0, FixedBlocks(125));
    EXPECT_EQ(CutsBeforeNoteOns(events, 125), 32 * 3 * 2);
    EXPECT_EQ(CutsBeforeNoteOns(events), 32 * 3 * 2);
}

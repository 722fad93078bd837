// The host-independent plug-in base, through a minimal binding that records its host calls.

#include "AudioThreadRole.h"
#include "TestPlugs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

TEST(IPlugBase, ConstructionRecordsNamesSlotsAndChannels)
{
    BasePlug p;
    EXPECT_EQ(p.NParams(), 3);
    EXPECT_EQ(p.DeclaredParamCount(), 3);
    EXPECT_STREQ(p.EffectName(), "Effect");
    EXPECT_STREQ(p.ProductName(), "Product");
    EXPECT_STREQ(p.MfrName(), "Maker");
    EXPECT_EQ(p.UniqueID(), 0x61626364);
    EXPECT_EQ(p.PluginVersion(false), 0x010203);
    EXPECT_EQ(p.PluginVersion(true), 10203);
    EXPECT_EQ(p.GetSampleRate(), 44100.0);
    EXPECT_EQ(p.GetBlockSize(), 0);
    EXPECT_EQ(p.HostId(), -1);
    ASSERT_EQ(p.NPresets(), 3);
    EXPECT_STREQ(p.PresetSlotName(0), "- 1 -");
    EXPECT_STREQ(p.PresetSlotName(2), "- 3 -");
    EXPECT_STREQ(p.PresetSlotName(3), "");
    EXPECT_STREQ(p.PresetSlotName(-1), "");
}

TEST(IPlugBase, ChannelLayoutAndLegalIO)
{
    BasePlug p("1-1 2-2");
    ASSERT_EQ(p.NChannelPairs(), 2);
    EXPECT_EQ(p.GetChannelPair(1)->mIn, 2);
    EXPECT_EQ(p.NInChannels(), 2);
    EXPECT_EQ(p.NOutChannels(), 2);
    EXPECT_TRUE(p.LegalIO(1, -1));
    EXPECT_TRUE(p.LegalIO(-1, 2));
    EXPECT_TRUE(p.LegalIO(2, 2));
    EXPECT_FALSE(p.LegalIO(3, -1));
    EXPECT_FALSE(p.LegalIO(1, 2));

    BasePlug odd("0-2 x-3 4 -1-1 99999999999-1");
    ASSERT_EQ(odd.NChannelPairs(), 5);
    EXPECT_EQ(odd.GetChannelPair(1)->mIn, 0); // unreadable numbers count as 0
    EXPECT_EQ(odd.GetChannelPair(1)->mOut, 0);
    EXPECT_EQ(odd.GetChannelPair(2)->mIn, 4);
    EXPECT_EQ(odd.GetChannelPair(2)->mOut, 0);
    EXPECT_EQ(odd.GetChannelPair(3)->mIn, -1);
    EXPECT_EQ(odd.NOutChannels(), 2);
    EXPECT_EQ(odd.NInChannels(), IPlugBase::kMaxChannels); // absurd counts are capped

    BasePlug none("");
    EXPECT_EQ(none.NChannelPairs(), 0);
    EXPECT_FALSE(none.LegalIO(-1, -1));
}

TEST(IPlugBase, HostIdentificationFromProductString)
{
    const std::pair<const char*, int> cases[] = {
        {"REAPER", kHostReaper},
        {"Steinberg Cubase Reaper", kHostCubase},
        {"", kHostUnknown},
        {"Ableton Live 11", kHostAbletonLive},
        {"Digital Performer", kHostDigitalPerformer},
        {"Ardour", kHostUnknown},
        {"SAWStudio", kHostSAWStudio},
        {"Nuendo", kHostNuendo},
        {"Cakewalk SONAR", kHostSonar},
        {"FRUITY Loops", kHostFL},
    };
    for (const auto& [product, id] : cases)
    {
        BasePlug p;
        p.SetHost(product, 0x10000);
        EXPECT_EQ(p.HostId(), id) << product;
    }
    BasePlug p;
    p.SetHost(nullptr, 0);
    EXPECT_EQ(p.HostId(), kHostUnknown);
    const std::string longName = std::string(300, 'x') + "reaper";
    p.SetHost(longName.c_str(), 0); // cut to 255 characters before the search
    EXPECT_EQ(p.HostId(), kHostUnknown);
}

TEST(IPlugBase, PresetsDefaultUserNamesAndRecall)
{
    BasePlug p;
    p.EnsureDefaultPreset();
    EXPECT_STREQ(p.PresetSlotName(0), "Default");
    p.GetParam(0)->SetValue(0.9);
    EXPECT_TRUE(p.LoadPresetSlot(1));
    EXPECT_STREQ(p.PresetSlotName(1), "user preset 1");
    EXPECT_EQ(p.CurrentPreset(), 1);
    EXPECT_TRUE(p.LoadPresetSlot(2));
    EXPECT_STREQ(p.PresetSlotName(2), "user preset 2");
    EXPECT_FALSE(p.LoadPresetSlot(3));
    EXPECT_FALSE(p.LoadPresetSlot(-1));
    EXPECT_EQ(p.CurrentPreset(), 2);

    p.mChanges.clear();
    EXPECT_TRUE(p.LoadPresetSlot(0)); // the default values come back, every handler runs
    EXPECT_EQ(p.GetParam(0)->Value(), 0.5);
    EXPECT_EQ(p.mChanges, (std::vector<int>{0, 1, 2}));

    p.GetParam(1)->SetValue(9);
    p.StoreCurrentPreset("Mine");
    EXPECT_STREQ(p.PresetSlotName(0), "Mine");
    p.StoreCurrentPreset(""); // an empty name keeps the old one
    EXPECT_STREQ(p.PresetSlotName(0), "Mine");
    p.GetParam(1)->SetValue(2);
    EXPECT_TRUE(p.LoadPresetSlot(0));
    EXPECT_EQ(p.GetParam(1)->Value(), 9.0);
}

TEST(IPlugBase, EnsureDefaultPresetMakesASlotWhenThereIsNone)
{
    BasePlug p("2-2", 0);
    p.EnsureDefaultPreset();
    ASSERT_EQ(p.NPresets(), 1);
    EXPECT_STREQ(p.PresetSlotName(0), "Default");
    char name[64];
    p.NextUserPresetName(name, sizeof(name));
    EXPECT_STREQ(name, "user preset 1");
}

TEST(IPlugBase, UnserializeStopsAtTheFirstMissingValue)
{
    BasePlug p;
    IByteChunk chunk;
    chunk.Put(0.25);
    chunk.Put(100.0); // clamped to the range
    p.GetParam(2)->SetValue(1.0);
    EXPECT_EQ(p.UnserializeParams(chunk, 0, false), -1);
    EXPECT_EQ(p.GetParam(0)->Value(), 0.25);
    EXPECT_EQ(p.GetParam(1)->Value(), 16.0);
    EXPECT_EQ(p.GetParam(2)->Value(), 0.0); // missing: 0 clamped into its range

    BasePlug q;
    IByteChunk one;
    one.Put(0.75);
    q.GetParam(2)->SetValue(1.0);
    q.mChanges.clear();
    EXPECT_EQ(q.UnserializeParams(one, 0, false), -1);
    EXPECT_EQ(q.GetParam(1)->Value(), 1.0); // 0 clamped into 1..16
    EXPECT_EQ(q.GetParam(2)->Value(), 1.0); // beyond the failure: untouched
    EXPECT_EQ(q.mChanges.size(), 3u);

    IByteChunk nan;
    nan.Put(std::nan(""));
    nan.Put(4.0);
    nan.Put(1.0);
    EXPECT_EQ(q.UnserializeParams(nan, 0, false), 24);
    EXPECT_EQ(q.GetParam(0)->Value(), 0.0);
    EXPECT_EQ(q.UnserializeParams(nan, -1, false), -1);
}

TEST(IPlugBase, WriteParamValuesAndValueList)
{
    BasePlug p;
    p.GetParam(0)->SetValue(0.125);
    IByteChunk chunk;
    EXPECT_TRUE(p.WriteParamValues(chunk, true));
    EXPECT_EQ(chunk.Size(), 24);
    double v = 0;
    EXPECT_EQ(chunk.Get(&v, 0), 8);
    EXPECT_EQ(v, 0.125);

    IByteChunk list;
    EXPECT_TRUE(p.WriteValueList(&list, 0.75, 12, 1)); // real, integer, boolean
    ASSERT_EQ(list.Size(), 24);
    int pos = list.Get(&v, 0);
    EXPECT_EQ(v, 0.75);
    pos = list.Get(&v, pos);
    EXPECT_EQ(v, 12.0);
    list.Get(&v, pos);
    EXPECT_EQ(v, 1.0);
    EXPECT_FALSE(p.WriteValueList(nullptr));
}

TEST(IPlugBase, GuiChangesReachHostAndHandler)
{
    BasePlug p;
    p.SetParameterFromGUI(1, 1.0);
    EXPECT_EQ(p.GetParam(1)->Value(), 16.0);
    ASSERT_EQ(p.mReports.size(), 1u);
    EXPECT_EQ(p.mReports[0], (std::pair<int, double>{1, 1.0}));
    EXPECT_EQ(p.mChanges, (std::vector<int>{1}));
    p.SetParameterFromGUI(7, 0.5); // no such parameter: ignored
    EXPECT_EQ(p.mReports.size(), 1u);
}

// Parameters appended after the declared ones are the plug-in's own: an edit of one runs its
// handler, but the host, which may index its own array with what it hears, is not told.
TEST(IPlugBase, TheHostHearsOnlyOfTheParametersDeclaredToIt)
{
    struct WiderPlug : BasePlug
    {
        WiderPlug()
        {
            EXPECT_TRUE(AppendParams(1));
            GetParam(3)->InitBool("Internal", false);
        }
        void BeginParamGesture(int idx) override { mGestures.push_back(idx); }
        void EndParamGesture(int idx) override { mGestures.push_back(-idx); }
        std::vector<int> mGestures;
    } p;
    ASSERT_EQ(p.DeclaredParamCount(), 3);
    ASSERT_EQ(p.NParams(), 4);
    p.BeginParamGestureFromGUI(3);
    p.SetParameterFromGUI(3, 1.0);
    p.EndParamGestureFromGUI(3);
    EXPECT_EQ(p.GetParam(3)->Value(), 1.0);
    EXPECT_EQ(p.mChanges, (std::vector<int>{3}));
    EXPECT_TRUE(p.mReports.empty());
    EXPECT_TRUE(p.mGestures.empty());

    p.BeginParamGestureFromGUI(2);
    p.SetParameterFromGUI(2, 1.0);
    p.EndParamGestureFromGUI(2);
    EXPECT_EQ(p.mReports, (std::vector<std::pair<int, double>>{{2, 1.0}}));
    EXPECT_EQ(p.mGestures, (std::vector<int>{2, -2}));
}

TEST(IPlugBase, EditorGetsValuesAndIsOwned)
{
    int deleted = 0;
    {
        BasePlug p;
        auto* g = new FakeEditor(&deleted);
        p.AttachEditor(g);
        EXPECT_EQ(p.GetEditor(), g);
        EXPECT_EQ(g->mSurfaces, 1);
        ASSERT_EQ(g->mPushes.size(), 3u);
        EXPECT_TRUE(g->mPushes[0].mNormalised);
        EXPECT_DOUBLE_EQ(g->mPushes[1].mValue, 3.0 / 15.0);
        g->mPushes.clear();
        p.PushValuesToEditor();
        ASSERT_EQ(g->mPushes.size(), 3u);
        EXPECT_FALSE(g->mPushes[1].mNormalised);
        EXPECT_EQ(g->mPushes[1].mValue, 4.0);
        // An editor that reads every value at its next frame gets one request, no pushes.
        g->mTakesAll = true;
        p.PushValuesToEditor();
        EXPECT_EQ(g->mAllAsked, 1);
        EXPECT_EQ(g->mPushes.size(), 3u);
        p.AttachEditor(nullptr); // ignored
        EXPECT_EQ(p.GetEditor(), g);
        p.AttachEditor(new FakeEditor(&deleted)); // replaces and deletes the old one
        EXPECT_EQ(deleted, 1);
    }
    EXPECT_EQ(deleted, 2);
}

TEST(IPlugBase, DefaultHandlersPassAudioAndMidiThrough)
{
    BasePlug p("1-1 2-2");
    p.SetBlockLength(4);
    double in0[4] = {1, 2, 3, 4}, in1[4] = {5, 6, 7, 8};
    double out0[4] = {}, out1[4] = {9, 9, 9, 9};
    double* ins[] = {in0, in1};
    double* outs[] = {out0, out1};
    AsAudioThread(p.Mutex(), [&] { p.ProcessBlock(ins, outs, 4); });
    EXPECT_EQ(out0[3], 4.0);
    EXPECT_EQ(out1[0], 5.0);

    BasePlug wide("2-3");
    double* outs3[] = {out0, out1, in0};
    AsAudioThread(wide.Mutex(), [&] { wide.ProcessBlock(ins, outs3, 4); });
    EXPECT_EQ(in0[2], 0.0); // the output without an input is silenced

    IMidiMessage bend;
    bend.mStatus = 0xE0;
    bend.mData2 = 64;
    AsAudioThread(p.Mutex(), [&] { p.HandleMidiMessage(bend); });
    ASSERT_EQ(p.mEmitted.size(), 1u);
    EXPECT_EQ(p.mEmitted[0], bend);
    char text[8] = "x";
    IMutexLock lock(p.Mutex()); // as the key-name request holds it
    EXPECT_FALSE(p.GetMidiNoteText(60, text, sizeof(text)));
    EXPECT_STREQ(text, "");
}

#include "AudioThreadRole.h"
#include "CheckCapture.h"
#include "OrlantixParamIndex.h"
#include "PluginTestSupport.h"
#include "PresetFolder.h"
#include "PresetText.h"
#include "TempFolder.h"
#include "Transforms.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
void Open(Orlantix& plug)
{
    vst2::Effect* e = plug.GetEffect();
    e->dispatcher(e, vst2::effOpen, 0, 0, nullptr, 0.0f);
}

std::unique_ptr<Orlantix> Opened()
{
    auto plug = MakePlug();
    Open(*plug);
    return plug;
}
} // namespace

TEST(OrlantixPreset, RoundTripThroughAFile)
{
    TempFolder t;
    auto a = Opened();
    Change(*a, kSwing, 0.37);
    Change(*a, kTonic, 55);
    Change(*a, kInterval, 4);
    Change(*a, kMelMod1 + 2, 17);
    Change(*a, kGrooveLock0 + 47, 1);
    Melody& m = *a->Engine().mProgression.GetMelody(9, 2);
    m.mEnabled = false;
    m.mRepeatCount = 6;
    m.mPitchSets[3].mPlayingMask = 21;
    a->Engine().mGroove.SetVelocity(30, 17);
    const std::string path = t.Str() + "/round.preset";
    ASSERT_TRUE(a->WritePreset(path.c_str()));
    EXPECT_STREQ(a->CurrentPresetName().Name(), "round");

    auto b = Opened();
    CheckCapture checks;
    ASSERT_TRUE(b->ReadPreset(path.c_str()));
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
    for (int i = 0; i < kNumOrlantixParams; ++i)
    {
        if (!IsLeftOutOfPresets(*a, i))
        {
            EXPECT_EQ(b->GetParam(i)->Value(), a->GetParam(i)->Value()) << i;
        }
    }
    const Melody& n = *b->Engine().mProgression.GetMelody(9, 2);
    EXPECT_FALSE(n.mEnabled);
    EXPECT_EQ(n.mRepeatCount, 6);
    EXPECT_EQ(n.mPitchSets[3].mPlayingMask, 21);
    EXPECT_EQ(b->Engine().mGroove.Velocity(30), 17);
    EXPECT_TRUE(b->Engine().mGroove.Locked(47));
    EXPECT_EQ(b->Engine().mTonic, 55);
    EXPECT_EQ(b->Engine().mMelodySeq.StepAt(2).mValue, 17);
    EXPECT_EQ(b->CurrentPresetName().FullPath(), path);
}

TEST(OrlantixPreset, ClampedAndTruncatedValuesReachTheEngine)
{
    TempFolder t;
    auto plug = Opened();
    const std::string text = PresetText(*plug, plug->Engine().mProgression, plug->Engine().mGroove);
    std::string edited = text;
    edited.replace(edited.find("param Vel "), 27, "param Vel 200.000000000000");
    edited.replace(edited.find("param Tonic "), 29, "param Tonic 60.700000000000");
    const std::string path = t.Write("edited.preset", edited);
    ASSERT_TRUE(plug->ReadPreset(path.c_str()));
    EXPECT_EQ(plug->GetParam(kVel)->Value(), 127.0);
    EXPECT_EQ(plug->Engine().mVelocity, 127);
    EXPECT_EQ(plug->GetParam(kTonic)->Value(), 60.7);
    EXPECT_EQ(plug->Engine().mTonic, 60);
}

TEST(OrlantixPreset, HeaderOnlySetsMinimaAndMissingFileChangesNothing)
{
    TempFolder t;
    auto plug = Opened();
    EXPECT_FALSE(plug->ReadPreset((t.Str() + "/absent.preset").c_str()));
    EXPECT_EQ(plug->Engine().mVelocity, 100);

    ASSERT_TRUE(plug->ReadPreset(t.Write("bare.preset", "Orlantix V1.0\r\n").c_str()));
    EXPECT_EQ(plug->Engine().mMidiChannel, 0);
    EXPECT_EQ(plug->Engine().mVelocity, 0);
    EXPECT_EQ(plug->Engine().mProgression.StepCount(), 1);
    EXPECT_EQ(plug->Engine().mProgression.BeginStep(), 0);
    EXPECT_STREQ(plug->CurrentPresetName().Name(), "bare");
}

TEST(OrlantixPreset, FileWithoutHeaderKeepsParametersButTakesTheGroove)
{
    TempFolder t;
    auto plug = Opened();
    Change(*plug, kVel, 70);
    Change(*plug, kNumStep, 4);
    ASSERT_TRUE(plug->ReadPreset(t.Write("groove.preset", "gmsteps 1 2 3").c_str()));
    EXPECT_EQ(plug->Engine().mVelocity, 70);
    EXPECT_EQ(plug->Engine().mGroove.Velocity(2), 3);
    // The span was reset for the load and then set again from the kept parameter.
    EXPECT_EQ(plug->Engine().mProgression.StepCount(), 4);
}

TEST(OrlantixPreset, OrigBringsBackThePresetsMelodies)
{
    TempFolder t;
    auto a = Opened();
    Melody& m = *a->Engine().mProgression.GetMelody(0, 0);
    for (int k = 0; k < 4; ++k)
        m.mPitchSets[k].mPlayingMask = 1 << k;
    const std::string path = t.Str() + "/orig.preset";
    ASSERT_TRUE(a->WritePreset(path.c_str()));

    auto b = Opened();
    ASSERT_TRUE(b->ReadPreset(path.c_str()));
    Melody& loaded = *b->Engine().mProgression.GetMelody(0, 0);
    ApplyMelodyCommand(&loaded, kMelodyUp1, true, b->Engine().mVariationClipboard);
    EXPECT_EQ(loaded.mPitchSets[0].mPlayingMask, 2);
    ApplyMelodyCommand(&loaded, kMelodyOrig, true, b->Engine().mVariationClipboard);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(loaded.mPitchSets[k].mPlayingMask, 1 << k) << k;
}

TEST(OrlantixPreset, SaveAsNamesTheFileAndTheTreeFindsIt)
{
    TempFolder t;
    auto plug = Opened();
    plug->ConfigPool().SetString(kConfigPresetFolder, t.Str().c_str());
    plug->RebuildPresetTree();
    EXPECT_TRUE(plug->PresetTree()->Empty());
    EXPECT_FALSE(plug->SavePreset()); // no path yet

    // A menu is built from the tree it holds, without the lock: a rescan meanwhile replaces the
    // instance's tree and leaves the held one whole.
    const std::shared_ptr<const PresetFolder> held = plug->SharedPresetTree();
    const std::string saved = plug->SavePresetAs(t.Str() + "/mine");
    EXPECT_EQ(saved, t.Str() + "/mine.preset");
    ASSERT_NE(plug->PresetTree()->FindFile(1), nullptr);
    EXPECT_EQ(plug->PresetTree()->FindFile(1)->DisplayName(), "mine");
    EXPECT_NE(plug->PresetTree(), held.get());
    EXPECT_TRUE(held->Empty());

    Change(*plug, kVel, 12);
    EXPECT_TRUE(plug->SavePreset());
    Change(*plug, kVel, 99);
    EXPECT_TRUE(plug->LoadPresetById(1));
    EXPECT_EQ(plug->Engine().mVelocity, 12);
    EXPECT_FALSE(plug->LoadPresetById(2));
    EXPECT_EQ(plug->SavePresetAs(""), "");
}

TEST(OrlantixPreset, AnyGrooveVelocityPlaysWithinTheMidiRange)
{
    TempFolder t;
    auto plug = Opened();
    const std::string path =
        t.Write("wild.preset", "gmsteps 2147483647 -2147483648 300 -1 999999 0 128 " +
                                   std::string("7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 ") +
                                   "7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7 7");
    ASSERT_TRUE(plug->ReadPreset(path.c_str()));
    TransportState tr;
    int notes = 0;
    for (int b = 0; b < 2000; ++b)
    {
        tr.mSamplePos = b * 512;
        PlayEngineBlock(plug->Engine(), tr, 512);
        for (const IMidiMessage& msg : plug->Engine().mMidiOut)
        {
            ASSERT_LE(msg.mData2, 127);
            notes += (msg.mStatus & 0xF0) == 0x90 && msg.mData2 > 0;
        }
    }
    EXPECT_GT(notes, 0);
}

#include "PresetText.h"
#include "ParamStandIn.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct Pattern
{
    ParamStandIn mPlug;
    ChordProgression mProgression;
    GrooveMaker mGroove;

    PresetReadResult Apply(const std::string& text)
    {
        return ApplyPresetText(text.data(), text.size(), mPlug, mProgression, mGroove);
    }
    double Value(int idx) { return mPlug.GetParam(idx)->Value(); }
};

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}
} // namespace

TEST(PresetText, WrittenLayout)
{
    Pattern p;
    p.mPlug.GetParam(2)->SetValue(0.25);
    p.mProgression.GetMelody(3, 1)->mPitchSets[0].mPlayingMask = 4;
    p.mProgression.GetMelody(3, 1)->mPitchSets[2].mPlayingMask = 2;
    p.mGroove.SetVelocity(47, 7);
    const std::string text = PresetText(p.mPlug, p.mProgression, p.mGroove);

    EXPECT_EQ(text.rfind("Orlantix V1.0\nparam TimeUnits 3.000000000000\n", 0), 0u) << text;
    EXPECT_NE(text.find("param Slow 0.250000000000\n"), std::string::npos);
    EXPECT_NE(text.find("param SeqEnab 1.000000000000\n"), std::string::npos);
    EXPECT_NE(text.find("melody 3.1 1 1  4 0 2 0\n"), std::string::npos);
    // Resets, commands and nameless parameters stay out.
    EXPECT_EQ(text.find("StkRst"), std::string::npos);
    EXPECT_EQ(text.find("M D"), std::string::npos);
    EXPECT_EQ(Count(text, "param "), 9);
    EXPECT_EQ(Count(text, "melody "), 48);
    // Four lines of twelve right-aligned velocities.
    const size_t g = text.find("gmsteps\n");
    ASSERT_NE(g, std::string::npos);
    EXPECT_EQ(text.substr(g + 8, 8), " 128 128");
    EXPECT_EQ(Count(text.substr(g), "\n"), 5);
    EXPECT_EQ(text.substr(text.size() - 5), "   7\n");
}

TEST(PresetText, RoundTripRestoresParametersMelodiesAndGroove)
{
    Pattern a;
    a.mPlug.GetParam(5)->SetValue(77);
    a.mPlug.GetParam(9)->SetValue(48);
    a.mPlug.GetParam(240)->SetValue(1);
    Melody& m = *a.mProgression.GetMelody(11, 3);
    m.mEnabled = false;
    m.mRepeatCount = 5;
    for (int k = 0; k < 4; ++k)
        m.mPitchSets[k].mPlayingMask = 31 - k;
    for (int i = 0; i < GrooveMaker::MAX_STEPS; ++i)
        a.mGroove.SetVelocity(i, i * 2);

    Pattern b;
    const std::string text = PresetText(a.mPlug, a.mProgression, a.mGroove);
    const PresetReadResult r = b.Apply(text);
    EXPECT_TRUE(r.mHeader);
    EXPECT_EQ(r.mParamLines, 9);
    EXPECT_EQ(r.mMelodyLines, 48);
    EXPECT_EQ(r.mGrooveSteps, 48);
    for (int i = 0; i < ParamStandIn::kParams; ++i)
    {
        if (!IsLeftOutOfPresets(a.mPlug, i))
        {
            EXPECT_EQ(b.Value(i), a.Value(i)) << i;
        }
    }
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
        {
            const Melody& x = *a.mProgression.GetMelody(s, v);
            const Melody& y = *b.mProgression.GetMelody(s, v);
            EXPECT_EQ(x.mEnabled, y.mEnabled);
            EXPECT_EQ(x.mRepeatCount, y.mRepeatCount);
            for (int k = 0; k < 4; ++k)
            {
                EXPECT_EQ(x.mPitchSets[k].mPlayingMask, y.mPitchSets[k].mPlayingMask);
                EXPECT_EQ(y.mPitchSets[k].mBaseMask, y.mPitchSets[k].mPlayingMask);
            }
        }
    for (int i = 0; i < GrooveMaker::MAX_STEPS; ++i)
        EXPECT_EQ(b.mGroove.Velocity(i), i * 2);
}

// A preset is read before the instance lock is taken and applied under it: what is read must
// not depend on the values the parameters hold at the time, and reading changes nothing.
TEST(PresetText, AnImageReadAheadAppliesAsTheTextWould)
{
    const std::string text = "Orlantix V1.0\nparam Vel 90\nparam Tonic 60.7\nparam Vel 91\n"
                             "param Slow 9\nmelody 2.1 1 3  5 6 7 8\ngmsteps 1 2 3\n";
    Pattern direct, ahead;
    direct.Apply(text);
    const PresetImage image = ReadPresetImage(text.data(), text.size(), ahead.mPlug);
    EXPECT_EQ(ahead.Value(5), 100.0);
    for (int i = 0; i < ParamStandIn::kParams; ++i)
        ahead.mPlug.GetParam(i)->SetNormalised(0.75);
    const PresetReadResult r =
        ApplyPresetImage(image, ahead.mPlug, ahead.mProgression, ahead.mGroove);
    EXPECT_EQ(r.mParamLines, 4);
    EXPECT_EQ(r.mMelodyLines, 1);
    EXPECT_EQ(r.mGrooveSteps, 3);
    for (int i = 0; i < ParamStandIn::kParams; ++i)
        EXPECT_EQ(ahead.Value(i), direct.Value(i)) << i;
    EXPECT_EQ(ahead.Value(5), 91.0); // the last line wins
    EXPECT_EQ(ahead.mProgression.GetMelody(2, 1)->mRepeatCount, 3);
    EXPECT_EQ(ahead.mProgression.GetMelody(2, 1)->mPitchSets[3].mPlayingMask, 8);
    EXPECT_EQ(ahead.mGroove.Velocity(2), 3);
}

TEST(PresetText, ValuesAreClampedNotRounded)
{
    Pattern p;
    p.Apply("Orlantix V1.0\nparam Vel 200\nparam Tonic 60.7\nparam Chan -3\nparam Slow nan\n");
    EXPECT_EQ(p.Value(5), 127.0);
    EXPECT_EQ(p.Value(9), 60.7);
    EXPECT_EQ(p.Value(4), 1.0);
    // Not a number is skipped: the header's reset to the minimum stands.
    EXPECT_DOUBLE_EQ(p.Value(2), 0.1);
    p.Apply("Orlantix V1.0\nparam Vel 1e999\nparam Chan -1e999\n");
    EXPECT_EQ(p.Value(5), 127.0);
    EXPECT_EQ(p.Value(4), 1.0);
}

TEST(PresetText, HeaderOnlyResetsEveryParameterToItsMinimum)
{
    Pattern p;
    p.mGroove.SetVelocity(0, 99);
    const PresetReadResult r = p.Apply("Orlantix V1.0\ngmsteps\n 1 2 3\n");
    EXPECT_TRUE(r.mHeader);
    EXPECT_EQ(p.Value(4), 1.0);
    EXPECT_EQ(p.Value(5), 0.0);
    EXPECT_EQ(p.Value(10), 1.0);
    EXPECT_EQ(p.Value(25), 0.0);
    EXPECT_EQ(r.mGrooveSteps, 3);
    EXPECT_EQ(p.mGroove.Velocity(2), 3);
    EXPECT_EQ(p.mGroove.Velocity(3), 128);
}

TEST(PresetText, WithoutHeaderOnlyALeadingGrooveSectionLoads)
{
    Pattern p;
    p.mPlug.GetParam(5)->SetValue(42);
    const PresetReadResult r = p.Apply("gmsteps 300 -5\nparam Vel 1\n");
    EXPECT_FALSE(r.mHeader);
    EXPECT_EQ(p.Value(5), 42.0);
    // Velocities are stored as read; the engine keeps its arithmetic defined for any value.
    EXPECT_EQ(p.mGroove.Velocity(0), 300);
    EXPECT_EQ(p.mGroove.Velocity(1), -5);

    Pattern q;
    EXPECT_EQ(q.Apply("# not a preset\ngmsteps 1 2\n").mGrooveSteps, 0);
    EXPECT_EQ(q.mGroove.Velocity(0), 128);
}

TEST(PresetText, ReaderMatchesPatternsNotLines)
{
    Pattern p;
    // CRLF, tabs and a missing final newline; a name longer than 31 characters and an unknown
    // name are skipped, the "melody" pattern takes its numbers across any white space.
    const std::string longName(40, 'x');
    const PresetReadResult r =
        p.Apply("Orlantix V1.0\r\nparam\tVel   64\r\nparam " + longName + " 3\r\nparam Nope 1\r\n" +
                "melody 2.3 0 4\r\n 1 2 3 4\r\ngmsteps 9 8");
    EXPECT_EQ(r.mParamLines, 1);
    EXPECT_EQ(p.Value(5), 64.0);
    EXPECT_EQ(r.mMelodyLines, 1);
    const Melody& m = *p.mProgression.GetMelody(2, 3);
    EXPECT_FALSE(m.mEnabled);
    EXPECT_EQ(m.mRepeatCount, 4);
    EXPECT_EQ(m.mPitchSets[3].mPlayingMask, 4);
    EXPECT_EQ(r.mGrooveSteps, 2);

    // A value that is not a number ends the parameter section: what follows is not read.
    Pattern q;
    const PresetReadResult s = q.Apply("Orlantix V1.0\nparam Vel abc\nparam Chan 5\n");
    EXPECT_EQ(s.mParamLines, 0);
    EXPECT_EQ(q.Value(4), 1.0);
}

TEST(PresetText, MelodyLinesOutsideTheGridAndStrayBitsAreHarmless)
{
    Pattern p;
    const Melody before = *p.mProgression.GetMelody(0, 0);
    const PresetReadResult r = p.Apply("Orlantix V1.0\nmelody 12.0 1 1  1 1 1 1\n"
                                       "melody 0.4 1 1  1 1 1 1\nmelody -1.0 1 1  1 1 1 1\n"
                                       "melody 1.1 1 2  99 -1 32 31\n");
    EXPECT_EQ(r.mMelodyLines, 4);
    EXPECT_EQ(p.mProgression.GetMelody(0, 0)->mPitchSets[0].mPlayingMask,
              before.mPitchSets[0].mPlayingMask);
    const Melody& m = *p.mProgression.GetMelody(1, 1);
    EXPECT_EQ(m.mPitchSets[0].mPlayingMask, 99 & 31);
    EXPECT_EQ(m.mPitchSets[1].mPlayingMask, 31);
    EXPECT_EQ(m.mPitchSets[2].mPlayingMask, 0);
}

TEST(PresetText, LoadedMelodiesBecomeWhatOrigRestores)
{
    Pattern p;
    Melody& m = *p.mProgression.GetMelody(4, 2);
    m.mRestorePending = true;
    m.mPitchSets[1].mRestorePending = true;
    p.Apply("Orlantix V1.0\nmelody 4.2 1 1  1 2 4 8\n");
    EXPECT_FALSE(m.mRestorePending);
    for (int k = 0; k < 4; ++k)
    {
        EXPECT_EQ(m.mBasePitchSets[k].mPlayingMask, 1 << k);
        EXPECT_EQ(m.mPitchSets[k].mBaseMask, 1 << k);
        EXPECT_FALSE(m.mPitchSets[k].mRestorePending);
    }
    // Melodies not listed keep their content and their pending restores.
    Melody& other = *p.mProgression.GetMelody(4, 3);
    other.mRestorePending = true;
    p.Apply("Orlantix V1.0\n");
    EXPECT_TRUE(other.mRestorePending);
}

TEST(PresetText, SaveAsNaming)
{
    EXPECT_EQ(PresetSavePath("my.preset"), "my.preset");
    EXPECT_EQ(PresetSavePath("my"), "my.preset");
    EXPECT_EQ(PresetSavePath("a.preset.bak"), "a.preset.bak.preset");
    EXPECT_EQ(PresetSavePath("a.preset.preset"), "a.preset.preset.preset");
}

TEST(PresetText, SavingReplacesOnlyACompleteFile)
{
    TempFolder t;
    const std::string path = t.Write("keep.preset", "old content\n");
    ASSERT_TRUE(WriteFileSafely(path.c_str(), "new content\n"));
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path.c_str(), back));
    EXPECT_EQ(back, "new content\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".saving"));

    // A folder that does not exist cannot take the temporary file: nothing changes.
    EXPECT_FALSE(WriteFileSafely((t.Str() + "/missing/x.preset").c_str(), "x"));
    // A target that cannot be replaced (a folder of that name) keeps the old file and leaves no
    // temporary file behind.
    t.MakeFolder("taken.preset");
    EXPECT_FALSE(WriteFileSafely((t.Str() + "/taken.preset").c_str(), "x"));
    EXPECT_TRUE(std::filesystem::is_directory(t.Path() / "taken.preset"));
    EXPECT_FALSE(std::filesystem::exists(t.Path() / "taken.preset.saving"));
    EXPECT_FALSE(ReadWholeFile((t.Str() + "/none.preset").c_str(), back));
}

// The thread tags checked: the binding marks the thread inside each process call, and an entry
// called from the wrong thread, or without the lock its tag demands, is reported with its own
// file and line while the call goes on as before. Built without the checks, only the file tags
// are tested.

#include "AudioThreadRole.h"
#include "CheckCapture.h"
#include "IPlugVST.h"
#include "TextUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace
{

constexpr const char* kBase = "framework/plug/IPlugBase.cpp";
constexpr const char* kBaseHeader = "framework/plug/IPlugBase.h";
constexpr const char* kBinding = "framework/plug/IPlugVST.cpp";

// What the host does when the plug-in calls it; by opcode.
std::function<void(int32_t opcode)> gOnCallback;

intptr_t ORX_VSTCALL Callback(vst2::Effect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    if (gOnCallback)
        gOnCallback(opcode);
    return 0;
}

// A MIDI effect of the framework's defaults: audio through, MIDI passed on.
class RolePlug : public IPlugVST
{
public:
    RolePlug()
        : IPlugVST(&Callback, 1, "2-2", 1, "Roles", "", "Maker", 0x10000, orx::FourCC("abcd"),
                   orx::FourCC("efgh"), 0, true, true, false)
    {
        GetParam(0)->InitDouble("Gain", 0.5, 0.0, 1.0, 0.01);
    }
    // The record as the host keeps it (asked for once, on the main thread).
    vst2::Effect* const mpEffect = GetEffect();
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f)
    {
        return mpEffect->dispatcher(mpEffect, opcode, index, value, ptr, opt);
    }
    // One block through each of the three process entries.
    void ProcessAll()
    {
        vst2::Effect* e = mpEffect;
        std::vector<float> a(64), b(64), c(64), d(64);
        std::vector<double> da(64), db(64), dc(64), dd(64);
        float* in[] = {a.data(), b.data()};
        float* out[] = {c.data(), d.data()};
        double* din[] = {da.data(), db.data()};
        double* dout[] = {dc.data(), dd.data()};
        e->processReplacing(e, in, out, 64);
        e->process(e, in, out, 64);
        e->processDoubleReplacing(e, din, dout, 64);
    }
};

class ThreadRoles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!orx::kThreadChecks)
            GTEST_SKIP() << "built without ORX_THREAD_CHECKS";
        mPlug.Dispatch(vst2::effOpen);
        mPlug.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
        mPlug.Dispatch(vst2::effSetBlockSize, 0, 64);
        mPlug.Dispatch(vst2::effMainsChanged, 0, 1);
    }
    void TearDown() override { gOnCallback = nullptr; }

    RolePlug mPlug;
};

IMidiMessage Bend()
{
    IMidiMessage msg;
    msg.mStatus = 0xE0;
    msg.mData2 = 64;
    return msg;
}

} // namespace

TEST(ThreadRoleTags, ReportsNameTheSourceFromItsTopFolder)
{
    EXPECT_STREQ(orx::SourceTag("/home/me/src/orlantix/framework/plug/IPlugVST.cpp"),
                 "framework/plug/IPlugVST.cpp");
    EXPECT_STREQ(orx::SourceTag("/home/me/src/orlantix/src/engine/PatternEngine.cpp"),
                 "src/engine/PatternEngine.cpp");
    EXPECT_STREQ(orx::SourceTag("../../tools/render/main.cpp"), "tools/render/main.cpp");
    EXPECT_STREQ(orx::SourceTag("Loose.cpp"), "Loose.cpp");
    EXPECT_STREQ(orx::SourceTag(nullptr), "");
}

// A host that keeps to the tags: every entry of the effect record, the audio thread's requests
// inside process calls, MIDI through effProcessEvents. The calling thread counts as the audio
// thread exactly while a process call (or the MIDI request) runs, and then holds the lock.
TEST_F(ThreadRoles, AHostThatKeepsToTheTagsHearsNothing)
{
    CheckCapture checks;
    std::vector<std::pair<bool, bool>> seen; // inside a process call, lock held
    gOnCallback = [&](int32_t opcode)
    {
        if (opcode == vst2::audioMasterWantMidi || opcode == vst2::audioMasterProcessEvents)
            seen.push_back({orx::InProcessCall(), mPlug.Mutex().HeldByCaller()});
    };
    mPlug.ProcessAll();
    vst2::MidiEvent event{};
    event.type = vst2::kEventMidi;
    event.byteSize = sizeof(event);
    event.midiData[0] = static_cast<char>(0xE0);
    vst2::Events list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<vst2::Event*>(&event);
    EXPECT_EQ(mPlug.Dispatch(vst2::effProcessEvents, 0, 0, &list), 1);
    // Three process entries, then the bend passed on from the MIDI request.
    EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>(4, {true, true})));
    EXPECT_FALSE(orx::InProcessCall());

    vst2::Effect* e = mPlug.mpEffect;
    e->setParameter(e, 0, 0.25f);
    EXPECT_FLOAT_EQ(e->getParameter(e, 0), 0.25f);
    void* chunk = nullptr;
    const intptr_t size = mPlug.Dispatch(vst2::effGetChunk, 0, 0, &chunk);
    std::vector<char> copy(static_cast<const char*>(chunk), static_cast<const char*>(chunk) + size);
    EXPECT_EQ(mPlug.Dispatch(vst2::effSetChunk, 0, size, copy.data()), 1);
    mPlug.Dispatch(vst2::effMainsChanged, 0, 0);
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
}

// The host calls back from inside a process call, as some do from their callbacks: a request
// of the main thread's (a new sample rate) is reported and still carried out. The mark is the
// calling thread's: another thread at the same moment is no audio thread.
TEST_F(ThreadRoles, AMainThreadEntryFromInsideAProcessCallIsReported)
{
    CheckCapture checks;
    bool otherThreadInside = true;
    gOnCallback = [&](int32_t opcode)
    {
        if (opcode != vst2::audioMasterWantMidi)
            return;
        gOnCallback = nullptr;
        std::thread other([&] { otherThreadInside = orx::InProcessCall(); });
        other.join();
        mPlug.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    };
    mPlug.ProcessAll();
    EXPECT_FALSE(otherThreadInside);
    ASSERT_EQ(checks.Entries().size(), 1u) << checks.Describe();
    EXPECT_TRUE(checks.Fired(kBase, ORX_THREAD_TEXT_MAIN)) << checks.Describe();
    EXPECT_GT(checks.Entries()[0].mLine, 0);
    EXPECT_EQ(mPlug.GetSampleRate(), 48000.0);
}

// The other two broken promises, each reported once, on its own: an audio-thread entry called
// outside a process call (with the lock held), and locked entries called without the lock, on
// either thread.
TEST_F(ThreadRoles, AnAudioEntryOutsideAProcessCallOrALockedOneWithoutTheLockIsReported)
{
    CheckCapture checks;
    {
        IMutexLock lock(mPlug.Mutex());
        EXPECT_EQ(mPlug.TransportTempo(), 0.0); // the host gives no time info
    }
    ASSERT_EQ(checks.Entries().size(), 1u) << checks.Describe();
    EXPECT_TRUE(checks.Fired(kBinding, ORX_THREAD_TEXT_AUDIO)) << checks.Describe();

    checks.Clear();
    {
        const AudioThreadRole audio;                 // inside a process call, but without the lock
        EXPECT_FALSE(mPlug.EmitMidiMessage(Bend())); // this host takes no MIDI
    }
    char name[16];
    EXPECT_FALSE(mPlug.GetMidiNoteText(60, name, sizeof(name)));
    // The message's send reads the piece offset, which the base keeps: reported too.
    ASSERT_EQ(checks.Entries().size(), 3u) << checks.Describe();
    EXPECT_TRUE(checks.Fired(kBinding, ORX_THREAD_TEXT_LOCKED)) << checks.Describe();
    EXPECT_TRUE(checks.Fired(kBaseHeader, ORX_THREAD_TEXT_LOCKED)) << checks.Describe();
    EXPECT_TRUE(checks.Fired(kBase, ORX_THREAD_TEXT_LOCKED)) << checks.Describe();

    // A host-notifying entry must not be called with the lock held.
    checks.Clear();
    {
        IMutexLock lock(mPlug.Mutex());
        mPlug.ReportStateChange();
    }
    EXPECT_TRUE(checks.Fired(kBinding, ORX_THREAD_TEXT_UNLOCKED)) << checks.Describe();
}

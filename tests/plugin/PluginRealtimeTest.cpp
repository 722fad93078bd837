// The built library allocates nothing on the audio thread once warmed up: many blocks with
// notes, stops, jumps, loops, tempo changes, MIDI in and automation, all through the effect
// record. The host here is a minimal one of fixed storage, so every counted allocation is the
// plug-in's. This program replaces the global allocation functions (AllocationCounter.cpp),
// and the library, loaded with dlopen, binds to them.

#include "AllocationCounter.h"
#include "OrlantixParamIndex.h"
#include "SharedLibrary.h"
#include "Vst2Records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

vst2::TimeInfo gTime{};
int gNoteOns = 0;
int gNoteOffs = 0;
int gSysEx = 0;

intptr_t ORX_VSTCALL Host(vst2::Effect*, int32_t opcode, int32_t, intptr_t, void* ptr, float)
{
    switch (opcode)
    {
    case vst2::audioMasterVersion:
        return 2400;
    case vst2::audioMasterGetTime:
        return reinterpret_cast<intptr_t>(&gTime);
    case vst2::audioMasterProcessEvents:
    {
        const auto* events = static_cast<const vst2::Events*>(ptr);
        for (int i = 0; i < events->numEvents; ++i)
        {
            if (events->events[i]->type == vst2::kEventSysEx)
            {
                ++gSysEx;
                continue;
            }
            const auto* midi = reinterpret_cast<const vst2::MidiEvent*>(events->events[i]);
            const int kind = static_cast<unsigned char>(midi->midiData[0]) & 0xF0;
            gNoteOns += kind == 0x90;
            gNoteOffs += kind == 0x80;
        }
        return 1;
    }
    case vst2::audioMasterGetProductString:
        std::strcpy(static_cast<char*>(ptr), "Realtime Test Host");
        return 1;
    default:
        return 0;
    }
}

class Realtime : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(mLibrary.Open(ORX_PLUGIN_PATH, &error)) << error;
        auto entry = reinterpret_cast<vst2::EntryProc>(mLibrary.Symbol("VSTPluginMain"));
        ASSERT_NE(entry, nullptr);
        mEffect = entry(&Host);
        ASSERT_NE(mEffect, nullptr);
        gTime = vst2::TimeInfo{};
        gTime.sampleRate = 44100.0;
        gTime.tempo = 120.0;
        gTime.timeSigNumerator = 4;
        gTime.timeSigDenominator = 4;
        gTime.flags = vst2::kTimePlaying | vst2::kTimeTempoValid | vst2::kTimeSigValid;
        Dispatch(vst2::effOpen);
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
        Dispatch(vst2::effSetBlockSize, 0, kBlock);
        Dispatch(vst2::effMainsChanged, 0, 1);
    }

    void TearDown() override
    {
        if (mEffect)
        {
            Dispatch(vst2::effMainsChanged, 0, 0);
            Dispatch(vst2::effClose);
        }
    }

    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f)
    {
        return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
    }

    void Block(int frames)
    {
        mEffect->processReplacing(mEffect, mIn, mOut, frames);
        if (gTime.flags & vst2::kTimePlaying)
            gTime.samplePos += frames;
    }

    static constexpr int kBlock = 512;
    float mBuffers[4][4 * kBlock] = {};
    float* mIn[2] = {mBuffers[0], mBuffers[1]};
    float* mOut[2] = {mBuffers[2], mBuffers[3]};
    orxhost::SharedLibrary mLibrary;
    vst2::Effect* mEffect = nullptr;
};

} // namespace

TEST_F(Realtime, AllocationsInsideTheLibraryAreCounted)
{
    // The first chunk request grows the plug-in's chunk buffer: if the library did not bind to
    // the counting allocator, this would count nothing and a zero below would prove nothing.
    AllocationCounter counter;
    void* data = nullptr;
    EXPECT_GT(Dispatch(vst2::effGetChunk, 0, 0, &data), 0);
    EXPECT_GT(counter.Allocations(), 0);
}

TEST_F(Realtime, ProcessingAllocatesNothingAfterWarmUp)
{
    // Busy settings: short pulses, long overlapping notes, jitter, swing, humanising, all
    // modifiers running.
    mEffect->setParameter(mEffect, kTimeUnits, 16.0f / 16); // "1/32t"
    mEffect->setParameter(mEffect, kLengthUnits, 0.0f);     // "1/1"
    mEffect->setParameter(mEffect, kVelJitt, 1.0f);
    mEffect->setParameter(mEffect, kLenJitt, 1.0f);
    mEffect->setParameter(mEffect, kSwing, 0.5f);
    mEffect->setParameter(mEffect, kHuman, 0.5f);
    mEffect->setParameter(mEffect, kLifeProb, 0.5f);
    // Strike "Rand" on every step: every pulse strikes a degree, even in the empty melodies.
    for (int i = 0; i < 8; ++i)
    {
        mEffect->setParameter(mEffect, kStkMod1 + i, 9.0f / 12);
        mEffect->setParameter(mEffect, kStkModT1 + i, static_cast<float>(i % 2));
        mEffect->setParameter(mEffect, kMelMod1 + i, static_cast<float>(2 * i) / 18);
    }
    for (int i = 0; i < 20; ++i) // warm-up
        Block(kBlock);

    vst2::MidiEvent bend{};
    bend.type = vst2::kEventMidi;
    bend.byteSize = sizeof(bend);
    bend.midiData[0] = static_cast<char>(0xE0);
    // SysEx waits for the next block too, copied into storage reserved at activation; one too
    // large for it is dropped, never allocated for.
    static char dump[70000] = {static_cast<char>(0xF0)};
    vst2::SysExEvent sysex{};
    sysex.type = vst2::kEventSysEx;
    sysex.byteSize = sizeof(sysex);
    sysex.deltaFrames = 100;
    sysex.dumpBytes = 300;
    sysex.sysexDump = dump;
    vst2::SysExEvent huge = sysex;
    huge.dumpBytes = sizeof(dump);
    vst2::Event* list[3] = {reinterpret_cast<vst2::Event*>(&bend),
                            reinterpret_cast<vst2::Event*>(&sysex),
                            reinterpret_cast<vst2::Event*>(&huge)};
    struct
    {
        int32_t numEvents;
        intptr_t reserved;
        vst2::Event* events[3];
    } events{3, 0, {list[0], list[1], list[2]}};

    const int onsBefore = gNoteOns;
    const int sysexBefore = gSysEx;
    AllocationCounter counter;
    for (int round = 0; round < 40; ++round)
    {
        for (int i = 0; i < 50; ++i)
            Block(i % 7 == 0 ? 3 * kBlock + 17 : kBlock); // also longer than the block size
        gTime.flags &= ~vst2::kTimePlaying;               // stop with notes sounding
        Block(kBlock);
        Block(kBlock);
        gTime.flags |= vst2::kTimePlaying;
        gTime.samplePos = round % 2 ? 0.0 : 123456.0 * round; // loops and jumps
        gTime.tempo = round % 3 ? 120.0 : 0.0;                // and a host without one
        Dispatch(vst2::effProcessEvents, 0, 0, &events);
        mEffect->setParameter(mEffect, kVel, static_cast<float>(round % 10) / 10);
        mEffect->setParameter(mEffect, kGrooveMute0 + round % 48, 1.0f);
        mEffect->getParameter(mEffect, kVel);
    }
    EXPECT_EQ(counter.Allocations(), 0);
    EXPECT_EQ(counter.Deallocations(), 0);
    EXPECT_GT(gNoteOns - onsBefore, 500);
    EXPECT_GT(gNoteOffs, 500);
    // One per round, sent with the next round's blocks; the huge ones dropped.
    EXPECT_EQ(gSysEx - sysexBefore, 39);
}

TEST_F(Realtime, KeysAndControllersAllocateNothing)
{
    // A project whose state binds controller 74 on channel 1 to the velocity and plays in
    // transpose + gate: its block (tag, version, size, mode, count, then controller, parameter,
    // channel mask) follows the chunk a fresh instance writes.
    mEffect->setParameter(mEffect, kTimeUnits, 16.0f / 16); // "1/32t": many pulses
    mEffect->setParameter(mEffect, kLengthUnits, 0.0f);     // "1/1": notes the gate cuts
    for (int i = 0; i < 8; ++i) // strikes on every step, also in the empty melodies
        mEffect->setParameter(mEffect, kStkMod1 + i, 9.0f / 12);
    void* data = nullptr;
    const intptr_t size = Dispatch(vst2::effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    std::string chunk(static_cast<const char*>(data), static_cast<std::size_t>(size));
    const int32_t block[] = {1, 20, 2, 1, 74, kVel, 1};
    chunk.append("OXex", 4);
    chunk.append(reinterpret_cast<const char*>(block), sizeof(block));
    ASSERT_EQ(Dispatch(vst2::effSetChunk, 0, static_cast<intptr_t>(chunk.size()), chunk.data()), 1);
    for (int i = 0; i < 20; ++i) // warm-up
        Block(kBlock);

    const auto midi = [](int offset, int status, int data1, int data2)
    {
        vst2::MidiEvent e{};
        e.type = vst2::kEventMidi;
        e.byteSize = sizeof(e);
        e.deltaFrames = offset;
        e.midiData[0] = static_cast<char>(status);
        e.midiData[1] = static_cast<char>(data1);
        e.midiData[2] = static_cast<char>(data2);
        return e;
    };
    // Keys pressed and let go inside the block (gate opening and closing, the tonic moving),
    // the bound controller, an unbound one passed on.
    vst2::MidiEvent in[6] = {midi(10, 0x90, 60, 100), midi(40, 0x90, 67, 90),
                             midi(100, 0xB0, 74, 20), midi(200, 0xB0, 1, 64),
                             midi(300, 0x80, 60, 0),  midi(400, 0x90, 67, 0)};
    struct
    {
        int32_t numEvents;
        intptr_t reserved;
        vst2::Event* events[6];
    } events{6, 0, {}};
    for (int i = 0; i < 6; ++i)
        events.events[i] = reinterpret_cast<vst2::Event*>(&in[i]);
    vst2::MidiEvent hold = midi(0, 0x90, 62, 100);
    struct
    {
        int32_t numEvents;
        intptr_t reserved;
        vst2::Event* events[1];
    } held{1, 0, {reinterpret_cast<vst2::Event*>(&hold)}};

    const int onsBefore = gNoteOns;
    const int offsBefore = gNoteOffs;
    AllocationCounter counter;
    for (int round = 0; round < 40; ++round)
    {
        Dispatch(vst2::effProcessEvents, 0, 0, &events);
        Block(kBlock);
        // A key held across blocks, over a stop and a loop back.
        Dispatch(vst2::effProcessEvents, 0, 0, &held);
        for (int i = 0; i < 30; ++i)
            Block(i % 7 == 0 ? 3 * kBlock + 17 : kBlock);
        gTime.flags &= ~vst2::kTimePlaying;
        Block(kBlock);
        gTime.flags |= vst2::kTimePlaying;
        gTime.samplePos = round % 2 ? 0.0 : 99999.0 * round;
        hold.midiData[2] = static_cast<char>(round % 2 ? 100 : 0); // pressed, then let go
    }
    EXPECT_EQ(counter.Allocations(), 0);
    EXPECT_EQ(counter.Deallocations(), 0);
    // The gate opened and closed: notes sounded and every one ended.
    EXPECT_GT(gNoteOns - onsBefore, 100);
    EXPECT_GT(gNoteOffs - offsBefore, 100);
    // The bound controller moved the velocity: 20 of 127.
    EXPECT_NEAR(mEffect->getParameter(mEffect, kVel), 20.0f / 127, 1e-6);
}

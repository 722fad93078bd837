// The LV2 library's run call allocates nothing once warmed up: a busy pattern played through
// host time positions that jump, stop, start and change tempo and metre, MIDI from the host
// and control ports that move. Only the plug-in's own run call is counted: this program
// replaces the global allocation functions (AllocationCounter.cpp), and the library, loaded
// by lilv with dlopen, binds to them.

#include "AllocationCounter.h"
#include "Lv2Host.h"
#include "SharedLibrary.h"

#include <gtest/gtest.h>

#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <cstring>

namespace
{

constexpr const char* kUri = "urn:dravenholm:orlantix";
constexpr int kBlock = 512;

// A URID map of fixed storage, so that instantiation counts only the library's allocations.
const char* gMapped[64] = {};
LV2_URID MapUri(LV2_URID_Map_Handle, const char* uri)
{
    for (LV2_URID i = 0; i < 64; ++i)
    {
        if (!gMapped[i])
            gMapped[i] = uri; // the plug-in's URIs are its own constants
        if (std::strcmp(gMapped[i], uri) == 0)
            return i + 1;
    }
    return 0;
}

} // namespace

TEST(Lv2Realtime, AllocationsInsideTheLibraryAreCountedAndAMaplessHostIsRefused)
{
    orxhost::SharedLibrary library;
    std::string error;
    ASSERT_TRUE(library.Open(ORX_LV2_LIBRARY, &error)) << error;
    using DescriptorFunction = const LV2_Descriptor* (*)(uint32_t);
    auto descriptorOf = reinterpret_cast<DescriptorFunction>(library.Symbol("lv2_descriptor"));
    ASSERT_NE(descriptorOf, nullptr);
    const LV2_Descriptor* d = descriptorOf(0);
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->URI, kUri);
    EXPECT_EQ(descriptorOf(1), nullptr);

    const LV2_Feature* none[] = {nullptr};
    EXPECT_EQ(d->instantiate(d, 44100.0, ORX_LV2_PATH "/Orlantix.lv2/", none), nullptr);

    LV2_URID_Map map{nullptr, &MapUri};
    const LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    // A zero below would prove nothing if the library did not bind to the counting allocator:
    // building an instance allocates.
    AllocationCounter counter;
    LV2_Handle handle = d->instantiate(d, 44100.0, ORX_LV2_PATH "/Orlantix.lv2/", features);
    ASSERT_NE(handle, nullptr);
    EXPECT_GT(counter.Allocations(), 0);
    d->cleanup(handle);
}

TEST(Lv2Realtime, RunAllocatesNothingAfterWarmUp)
{
    orxlv2host::Lv2Host host;
    ASSERT_TRUE(host.Load(ORX_LV2_PATH, kUri, 44100.0, kBlock)) << host.Error();
    host.Activate();
    ASSERT_TRUE(host.ApplyPreset("Modifier Play"));
    // The block after a restored state takes the ports as the state left them.
    host.Run(kBlock, nullptr);
    // Busy settings: short pulses, long overlapping notes, jitter, humanising.
    *host.Control("TimeUnits") = 16.0f;  // "1/32t"
    *host.Control("LengthUnits") = 0.0f; // "1/1"
    *host.Control("VelJitt") = 1.0f;
    *host.Control("LenJitt") = 1.0f;
    *host.Control("Human") = 0.5f;
    float* swing = host.Control("Swing");
    ASSERT_NE(swing, nullptr);

    orxlv2host::Position position;
    long allocations = 0;
    for (int b = 0; b < 700; ++b)
    {
        // Hosts send a position where the transport jumps, stops, starts or changes tempo.
        bool send = b == 0;
        if (b % 97 == 50)
        {
            position.mFrame = int64_t{b} * 3000;
            send = true;
        }
        if (b % 61 == 30 || b % 61 == 34)
        {
            position.mRolling = !position.mRolling;
            send = true;
        }
        if (b % 53 == 20)
        {
            position.mBeatsPerMinute = 70.0 + (b * 7) % 120;
            position.mBeatsPerBar = b % 2 ? 7 : 4;
            position.mBeatUnit = b % 2 ? 8 : 4;
            send = true;
        }
        if (b % 13 == 0)
            host.QueueMidi(b % kBlock, {0xB0, 1, static_cast<uint8_t>(b % 128)});
        if (b % 29 == 0)
            *swing = static_cast<float>(b % 10) / 10.0f;
        host.WriteBlock(kBlock, send ? &position : nullptr);
        {
            AllocationCounter counter;
            host.RunPlugin(kBlock);
            if (b >= 20)
                allocations += counter.Allocations();
        }
        host.ReadBlock();
        if (position.mRolling)
            position.mFrame += kBlock;
    }
    EXPECT_EQ(allocations, 0);
    int noteOns = 0;
    for (const orxlv2host::Lv2Event& e : host.Events())
        noteOns += (e.mBytes[0] & 0xF0) == 0x90 && e.mBytes[2] > 0;
    EXPECT_GT(noteOns, 200) << "the pattern must be busy for the count to mean something";
}

// The VST 2 binding in process, for what a loaded test plug-in cannot show: the editor
// opcodes, host-specific channel set-up and bad effect records.

#include "AudioThreadRole.h"
#include "IPlugVST.h"
#include "TestPlugs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

struct FakeHost
{
    std::string mProduct;
    intptr_t mVersion = 0;
    int mProductQueries = 0;
    int mVersionQueries = 0;
    int mEventCalls = 0;
    bool mRejectOdd = false;
};

FakeHost gHost;

intptr_t ORX_VSTCALL FakeCallback(vst2::Effect*, int32_t opcode, int32_t, intptr_t, void* ptr,
                                  float)
{
    switch (opcode)
    {
    case vst2::audioMasterGetProductString:
        ++gHost.mProductQueries;
        std::snprintf(static_cast<char*>(ptr), 64, "%s", gHost.mProduct.c_str());
        return 1;
    case vst2::audioMasterGetVendorVersion:
        ++gHost.mVersionQueries;
        return gHost.mVersion;
    case vst2::audioMasterProcessEvents:
        return (gHost.mRejectOdd && gHost.mEventCalls++ % 2 == 1) ? 0 : 1;
    default:
        return 0;
    }
}

class VstPlug : public IPlugVST
{
public:
    explicit VstPlug(const char* layout = "1-1 2-2")
        : IPlugVST(&FakeCallback, 2, layout, 1, "Plug", "", "Maker", 0x10000, orx::FourCC("abcd"),
                   orx::FourCC("efgh"), 0, true, true, true)
    {
        GetParam(0)->InitDouble("A", 0.0, 0.0, 1.0, 0.1);
        GetParam(1)->InitDouble("B", 0.0, 0.0, 1.0, 0.1);
    }
    void HandleEditorOpen() override { ++mEditorOpens; }
    void HandleEditorClose() override { ++mEditorCloses; }
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f)
    {
        return GetEffect()->dispatcher(GetEffect(), opcode, index, value, ptr, opt);
    }
    int mEditorOpens = 0;
    int mEditorCloses = 0;
};

class PlugVst : public ::testing::Test
{
protected:
    void SetUp() override { gHost = FakeHost{}; }
};

} // namespace

TEST_F(PlugVst, EditorOpcodesNeedAnAttachedEditor)
{
    int deleted = 0; // outlives the plug-in, which deletes the editor
    VstPlug p;
    vst2::EditorRect* rect = nullptr;
    EXPECT_EQ(p.Dispatch(vst2::effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(p.Dispatch(vst2::effEditOpen, 0, 0, &rect), 0);
    EXPECT_EQ(p.Dispatch(vst2::effEditClose), 0);
    EXPECT_EQ(p.GetEffect()->flags & vst2::kFlagHasEditor, 0);

    p.AttachEditor(new FakeEditor(&deleted));
    EXPECT_NE(p.GetEffect()->flags & vst2::kFlagHasEditor, 0);
    EXPECT_EQ(p.Dispatch(vst2::effEditGetRect, 0, 0, nullptr), 0);
    ASSERT_EQ(p.Dispatch(vst2::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 650);
    EXPECT_EQ(rect->right, 720);
    int parent = 0;
    EXPECT_EQ(p.Dispatch(vst2::effEditOpen, 0, 0, nullptr), 0); // no window without a parent
    EXPECT_EQ(p.Dispatch(vst2::effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(p.Dispatch(vst2::effEditClose), 1);
    EXPECT_EQ(p.mEditorOpens, 1);
    EXPECT_EQ(p.mEditorCloses, 1);
}

TEST_F(PlugVst, HostSetupGivesChannelLessPlugInsStereoInSomeHosts)
{
    gHost.mProduct = "Ableton Live";
    VstPlug live("");
    EXPECT_EQ(live.GetEffect()->numOutputs, 0);
    live.Dispatch(vst2::effOpen);
    EXPECT_EQ(live.GetEffect()->numInputs, 2);
    EXPECT_EQ(live.GetEffect()->numOutputs, 2);
    vst2::SpeakerArrangement* in = nullptr;
    vst2::SpeakerArrangement* out = nullptr;
    EXPECT_EQ(
        live.Dispatch(vst2::effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 1);
    ASSERT_TRUE(in && out);
    EXPECT_EQ(out->numChannels, 2);
    EXPECT_EQ(out->type, vst2::kArrStereo);

    gHost.mProduct = "REAPER";
    VstPlug reaper("");
    reaper.Dispatch(vst2::effOpen);
    EXPECT_EQ(reaper.GetEffect()->numOutputs, 0);
    reaper.Dispatch(vst2::effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out);
    EXPECT_EQ(out->type, vst2::kArrEmpty);
}

TEST_F(PlugVst, HostIsAskedOnceEvenWithoutAProductString)
{
    VstPlug p;
    EXPECT_EQ(p.HostId(), kHostUnknown);
    EXPECT_EQ(p.HostId(), kHostUnknown);
    p.Dispatch(vst2::effOpen);
    EXPECT_EQ(gHost.mProductQueries, 1);
    EXPECT_EQ(gHost.mVersionQueries, 0); // no product, no version question

    gHost = FakeHost{"Cubase", 10203};
    VstPlug q;
    EXPECT_EQ(q.HostId(), kHostCubase);
    EXPECT_EQ(gHost.mVersionQueries, 1);
}

TEST_F(PlugVst, MessageListReportsAnyRejection)
{
    VstPlug p;
    IMidiMessage msgs[3];
    for (int i = 0; i < 3; ++i)
        msgs[i].MakeNoteOn(60 + i, 100, i, 0);
    // Sent from inside a process call, as the host takes them.
    const AudioThreadRole audio(p.Mutex());
    EXPECT_TRUE(p.EmitMidiMessages(msgs, 3));
    gHost.mRejectOdd = true;
    gHost.mEventCalls = 0;
    EXPECT_FALSE(p.EmitMidiMessages(msgs, 3));
    EXPECT_EQ(gHost.mEventCalls, 3); // the later messages still went out
    EXPECT_TRUE(p.EmitMidiMessages(nullptr, 2));
}

TEST_F(PlugVst, LatencyGoesIntoTheRecord)
{
    VstPlug p;
    p.SetLatencyFrames(128);
    EXPECT_EQ(p.GetEffect()->initialDelay, 128);
    EXPECT_EQ(p.GetLatency(), 128);
}

TEST_F(PlugVst, EntriesRejectForeignRecords)
{
    VstPlug p;
    vst2::Effect* e = p.GetEffect();
    vst2::Effect copy = *e;
    copy.magic = 0;
    EXPECT_EQ(e->dispatcher(nullptr, vst2::effGetVstVersion, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(e->dispatcher(&copy, vst2::effGetVstVersion, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(e->dispatcher(e, vst2::effGetVstVersion, 0, 0, nullptr, 0), vst2::kVstVersion);
    EXPECT_EQ(e->getParameter(&copy, 0), 0.0f);
    e->setParameter(nullptr, 0, 1.0f);
    e->processReplacing(&copy, nullptr, nullptr, 64);
    e->processReplacing(e, nullptr, nullptr, 64); // no host buffers: nothing to write
    e->processDoubleReplacing(e, nullptr, nullptr, -1);
    EXPECT_EQ(p.GetParam(0)->Value(), 0.0);
}

TEST_F(PlugVst, ParameterEntriesClampWhatTheHostSends)
{
    VstPlug p;
    vst2::Effect* e = p.GetEffect();
    e->setParameter(e, 0, 3.0f);
    EXPECT_EQ(p.GetParam(0)->Value(), 1.0);
    e->setParameter(e, 1, -2.0f);
    EXPECT_EQ(p.GetParam(1)->Value(), 0.0);
    e->setParameter(e, 5, 0.5f);
    e->setParameter(e, -1, 0.5f);
    EXPECT_EQ(e->getParameter(e, 5), 0.0f);
    EXPECT_EQ(e->getParameter(e, 0), 1.0f);
}

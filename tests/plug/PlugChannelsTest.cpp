// Channel bookkeeping of the plug-in base: scratch buffers, connections and the block attach.

#include "TestPlugs.h"

#include <gtest/gtest.h>

TEST(IPlugBaseChannels, BlockLengthIgnoresImpossibleValues)
{
    BasePlug p;
    p.SetBlockLength(256);
    EXPECT_EQ(p.GetBlockSize(), 256);
    p.SetBlockLength(0);
    p.SetBlockLength(-5);
    p.SetBlockLength(IPlugBase::kMaxBlockLength + 1);
    EXPECT_EQ(p.GetBlockSize(), 256);
    p.SetBlockLength(16);
    EXPECT_EQ(p.GetBlockSize(), 16);
}

TEST(IPlugBaseChannels, HostBuffersServeConnectedChannelsInOrder)
{
    BasePlug p("2-2");
    p.SetBlockLength(4);
    p.SetInputConnections(0, 2, true);
    p.SetInputConnections(0, 1, false); // channel 0 silent, channel 1 takes host buffer 0
    float host0[6] = {1, 2, 3, 4, 5, 6};
    float* hostIn[] = {host0};
    p.AttachInputBuffers(hostIn, 1, 2, 4);
    double** in = p.InputData();
    EXPECT_EQ(in[0][0], 0.0);
    EXPECT_EQ(in[1][0], 3.0); // offset 2 into the host buffer
    EXPECT_EQ(in[1][3], 6.0);
    EXPECT_FALSE(p.IsInChannelConnected(0));
    EXPECT_TRUE(p.IsInChannelConnected(1));
    EXPECT_FALSE(p.IsInChannelConnected(7));

    double d0[4] = {7, 7, 7, 7};
    double* hostD[] = {d0};
    p.AttachInputBuffers(hostD, 1, 0, 4);
    EXPECT_EQ(p.InputData()[1], d0); // 64-bit inputs are used in place
    EXPECT_EQ(p.InputData()[0][0], 0.0);
}

TEST(IPlugBaseChannels, MissingHostBuffersLeaveChannelsSilent)
{
    BasePlug p("2-2");
    p.SetBlockLength(4);
    p.SetInputConnections(0, 2, true);
    p.SetOutputConnections(0, 2, true);
    float host0[4] = {1, 1, 1, 1};
    float* hostIn[] = {host0, nullptr};
    p.AttachInputBuffers(hostIn, 2, 0, 4);
    EXPECT_EQ(p.InputData()[1][0], 0.0);
    p.AttachInputBuffers(static_cast<float* const*>(nullptr), 0, 0, 4);
    EXPECT_EQ(p.InputData()[0][0], 0.0);

    float out0[4] = {9, 9, 9, 9};
    float* hostOut[] = {out0};
    p.AttachOutputBuffers(hostOut, 1, 0, 4); // the host gave only one buffer
    p.OutputData()[0][0] = 0.5;
    p.OutputData()[1][0] = 0.25; // goes to scratch only
    p.CopyOutputsToHost(4, false);
    EXPECT_EQ(out0[0], 0.5f);
}

TEST(IPlugBaseChannels, OutputsReplaceOrAccumulate)
{
    BasePlug p("1-1");
    p.SetBlockLength(2);
    p.SetOutputConnections(0, 1, true);
    float out[3] = {1.0f, 1.0f, 42.0f};
    float* hostOut[] = {out};
    p.AttachOutputBuffers(hostOut, 1, 0, 2);
    p.OutputData()[0][0] = 0.5;
    p.OutputData()[0][1] = -0.5;
    p.CopyOutputsToHost(2, true);
    EXPECT_EQ(out[0], 1.5f);
    EXPECT_EQ(out[1], 0.5f);
    p.CopyOutputsToHost(5, false); // more frames than the block: cut to the block
    EXPECT_EQ(out[0], 0.5f);
    EXPECT_EQ(out[2], 42.0f);

    double d[2] = {};
    double* hostD[] = {d};
    p.AttachOutputBuffers(hostD, 1, 0, 2);
    EXPECT_EQ(p.OutputData()[0], d);
}

TEST(IPlugBaseChannels, ConnectionRangesAreClamped)
{
    BasePlug p("4-4");
    p.SetBlockLength(8);
    p.SetInputConnections(-3, 100, true);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(p.IsInChannelConnected(i));
    p.SetInputConnections(3, 1 << 30, false);
    EXPECT_FALSE(p.IsInChannelConnected(3));
    EXPECT_TRUE(p.IsInChannelConnected(2));

    p.SetOutputConnections(0, 4, false);
    p.LimitToStereo(); // inputs from 2 on off, outputs from 2 on on
    EXPECT_FALSE(p.IsInChannelConnected(2));
    EXPECT_TRUE(p.IsInChannelConnected(1));
    EXPECT_TRUE(p.IsOutChannelConnected(2));
    EXPECT_FALSE(p.IsOutChannelConnected(1));
}

TEST(IPlugBaseChannels, StereoChannelsOnlyForAPlugInWithoutAny)
{
    BasePlug none("");
    none.SetBlockLength(32);
    none.EnsureStereoChannels();
    ASSERT_EQ(none.NInChannels(), 2);
    EXPECT_EQ(none.NOutChannels(), 2);
    EXPECT_TRUE(none.LegalIO(2, 2));
    EXPECT_TRUE(none.IsOutChannelConnected(1));
    float out[32] = {};
    float* hostOut[] = {out, out};
    none.AttachOutputBuffers(hostOut, 2, 0, 32);
    none.OutputData()[1][31] = 1.0; // the new scratch buffers have the block length
    none.CopyOutputsToHost(32, false);
    EXPECT_EQ(out[31], 1.0f);

    BasePlug mono("1-1");
    mono.EnsureStereoChannels();
    EXPECT_EQ(mono.NInChannels(), 1);
    EXPECT_EQ(mono.NChannelPairs(), 1);
}

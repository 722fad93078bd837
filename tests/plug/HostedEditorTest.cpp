// The editor opcodes as a host sees them, with the test plug-in's editor on the headless
// window layer: the has-editor flag, the editor's size, opening in a host window (again at
// once, and after closing), idle time and closing; and a plug-in without an editor.

#include "VstHost.h"

#include <gtest/gtest.h>

using orxhost::VstHost;

TEST(HostedEditor, OpensAndClosesThroughTheEffectRecordAnyNumberOfTimes)
{
    VstHost host;
    ASSERT_TRUE(host.Load(ORX_TEST_EDITOR_PLUGIN)) << host.Error();
    host.Start();
    EXPECT_TRUE(host.HasEditor());
    int width = 0, height = 0;
    ASSERT_TRUE(host.EditorSize(width, height));
    EXPECT_EQ(width, 720);
    EXPECT_EQ(height, 650);

    int parent = 0; // the host's window, as far as the headless layer cares
    EXPECT_FALSE(host.OpenEditor(nullptr));
    EXPECT_TRUE(host.OpenEditor(&parent));
    host.EditorIdle();
    EXPECT_TRUE(host.OpenEditor(&parent)); // again, without closing first
    host.SetParameter(0, 0.75f);           // a host automating while the editor is open
    EXPECT_EQ(host.ParamDisplay(0), "1.50");
    EXPECT_TRUE(host.CloseEditor());
    EXPECT_TRUE(host.OpenEditor(&parent));
    EXPECT_TRUE(host.CloseEditor());
    EXPECT_TRUE(host.CloseEditor()); // closing a closed editor is harmless
    host.Close();

    VstHost plain;
    ASSERT_TRUE(plain.Load(ORX_TEST_PLUGIN)) << plain.Error();
    plain.Start();
    EXPECT_FALSE(plain.HasEditor());
    EXPECT_FALSE(plain.EditorSize(width, height));
    EXPECT_FALSE(plain.OpenEditor(&parent));
    EXPECT_FALSE(plain.CloseEditor());
    plain.Close();
}

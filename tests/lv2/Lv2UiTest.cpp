// The LV2 library's X11 UI in process, on a virtual X server this program starts itself, as a
// host opens it: the instance through instance access, a window of the host's as its parent.
// A drag on a knob reaches the host as a gesture around the values of its control port; every
// edit, a melody cell as well, marks the state changed on the plug-in's output; and a host
// without instance access gets no UI (it shows its own controls).

#include "Lv2Host.h"
#include "SharedLibrary.h"

#include "VirtualXServer.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{

constexpr const char* kUri = "urn:dravenholm:orlantix";
constexpr int kBlock = 512;
const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new VirtualXServer);

// What the UI told its host.
struct HostSide
{
    std::vector<std::pair<uint32_t, float>> mWrites;
    std::vector<std::pair<uint32_t, bool>> mTouches;
    std::vector<std::pair<int, int>> mSizes;
    std::vector<std::string> mOrder; // "touch", "write", "release" as they came
};

void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
           const void* buffer)
{
    auto* host = static_cast<HostSide*>(controller);
    if (format == 0 && size == sizeof(float))
    {
        host->mWrites.emplace_back(port, *static_cast<const float*>(buffer));
        host->mOrder.push_back("write");
    }
}

void Touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed)
{
    auto* host = static_cast<HostSide*>(handle);
    host->mTouches.emplace_back(port, grabbed);
    host->mOrder.push_back(grabbed ? "touch" : "release");
}

int Resize(LV2UI_Feature_Handle handle, int width, int height)
{
    static_cast<HostSide*>(handle)->mSizes.emplace_back(width, height);
    return 0;
}

struct Lv2Ui : ::testing::Test
{
    orxlv2host::Lv2Host mPlug;
    orxhost::SharedLibrary mLibrary;
    const LV2UI_Descriptor* mpUi = nullptr;
    const LV2UI_Idle_Interface* mpIdle = nullptr;
    Display* mpX = nullptr;
    Window mParent = 0;
    HostSide mHost;

    void SetUp() override
    {
        ASSERT_TRUE(mPlug.Load(ORX_LV2_PATH, kUri, 44100.0, kBlock)) << mPlug.Error();
        mPlug.Activate();
        orxlv2host::Position stopped;
        stopped.mRolling = false;
        mPlug.Run(kBlock, &stopped);
        std::string error;
        ASSERT_TRUE(mLibrary.Open(ORX_LV2_LIBRARY, &error)) << error;
        using UiFunction = const LV2UI_Descriptor* (*)(uint32_t);
        auto uiOf = reinterpret_cast<UiFunction>(mLibrary.Symbol("lv2ui_descriptor"));
        ASSERT_NE(uiOf, nullptr);
        mpUi = uiOf(0);
        ASSERT_NE(mpUi, nullptr);
        EXPECT_EQ(std::string(mpUi->URI), std::string(kUri) + "#ui");
        EXPECT_EQ(uiOf(1), nullptr);
        mpIdle =
            static_cast<const LV2UI_Idle_Interface*>(mpUi->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(mpIdle, nullptr);
        mpX = XOpenDisplay(VirtualDisplay().c_str());
        ASSERT_NE(mpX, nullptr);
        mParent = XCreateSimpleWindow(mpX, DefaultRootWindow(mpX), 0, 0, 720, 650, 0, 0, 0);
        XMapWindow(mpX, mParent);
        XSync(mpX, False);
    }
    void TearDown() override
    {
        if (mpX)
            XCloseDisplay(mpX);
    }

    void IdleUi(LV2UI_Handle ui, int times = 8)
    {
        for (int i = 0; i < times; ++i)
        {
            EXPECT_EQ(mpIdle->idle(ui), 0);
            usleep(15000);
        }
    }
    // The pointer at editor pixel (x, y), pressed there, moved by dy in steps, released: the
    // UI's idle calls between the steps let the editor read them as they come.
    void Drag(LV2UI_Handle ui, int x, int y, int dy)
    {
        XTestFakeMotionEvent(mpX, -1, x, y, 0);
        XTestFakeButtonEvent(mpX, 1, True, 0);
        XSync(mpX, False);
        IdleUi(ui, 2);
        for (int step = 1; step <= 4; ++step)
        {
            XTestFakeMotionEvent(mpX, -1, x, y + dy * step / 4, 0);
            XSync(mpX, False);
            IdleUi(ui, 2);
        }
        XTestFakeButtonEvent(mpX, 1, False, 0);
        XSync(mpX, False);
        IdleUi(ui);
    }
    int StateChangesAfterABlock()
    {
        const int before = mPlug.StateChangedNotices();
        mPlug.Run(kBlock, nullptr);
        return mPlug.StateChangedNotices() - before;
    }
};

} // namespace

TEST_F(Lv2Ui, EditorEditsReachTheHostAndMarkTheStateChanged)
{
    LV2_Feature instance{LV2_INSTANCE_ACCESS_URI, mPlug.InstanceHandle()};
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(mParent)};
    LV2UI_Touch touch{&mHost, &Touch};
    LV2_Feature touchFeature{LV2_UI__touch, &touch};
    LV2UI_Resize resize{&mHost, &Resize};
    LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    const std::string bundle = ORX_LV2_PATH "/Orlantix.lv2/";
    LV2UI_Widget widget = nullptr;

    // Without instance access there is no editor to show: the host keeps its own controls.
    const LV2_Feature* withoutAccess[] = {&parent, &touchFeature, nullptr};
    EXPECT_EQ(mpUi->instantiate(mpUi, kUri, bundle.c_str(), &Write, &mHost, &widget, withoutAccess),
              nullptr);

    // A preset whose swing (0.6) no float holds exactly: the knob moves from there.
    ASSERT_TRUE(mPlug.ApplyPreset("Swung Groove"));
    mPlug.Run(kBlock, nullptr);
    const LV2_Feature* features[] = {&instance, &parent, &touchFeature, &resizeFeature, nullptr};
    LV2UI_Handle ui =
        mpUi->instantiate(mpUi, kUri, bundle.c_str(), &Write, &mHost, &widget, features);
    ASSERT_NE(ui, nullptr);
    EXPECT_NE(widget, nullptr);
    EXPECT_EQ(mHost.mSizes, (std::vector<std::pair<int, int>>{{720, 650}}));
    IdleUi(ui);
    EXPECT_EQ(StateChangesAfterABlock(), 0) << "opening the editor changes nothing";

    // The swing knob (resources/layout.txt), dragged upwards.
    const int swing = mPlug.PortIndex("Swing");
    ASSERT_GE(swing, 0);
    Drag(ui, 426 + 19, 10 + 19, -12);
    ASSERT_FALSE(mHost.mWrites.empty()) << "the drag reached no control port";
    for (const auto& [port, value] : mHost.mWrites)
        EXPECT_EQ(port, static_cast<uint32_t>(swing));
    const float moved = mHost.mWrites.back().second;
    EXPECT_GT(moved, 0.0f);
    EXPECT_LE(moved, 1.0f);
    const std::vector<std::pair<uint32_t, bool>> gesture = {{swing, true}, {swing, false}};
    EXPECT_EQ(mHost.mTouches, gesture);
    EXPECT_EQ(mHost.mOrder.front(), "touch");
    EXPECT_EQ(mHost.mOrder.back(), "release");
    EXPECT_EQ(StateChangesAfterABlock(), 1);

    // The host puts the value on its port, as LV2 hosts do: the instance has it already, and
    // keeps the exact value the float on the port stands for.
    const std::vector<uint8_t> state = mPlug.SaveState();
    *mPlug.Control("Swing") = moved;
    EXPECT_EQ(StateChangesAfterABlock(), 0);
    EXPECT_EQ(mPlug.SaveState(), state);

    // A melody cell belongs to no port: only the state changes.
    mHost.mWrites.clear();
    XTestFakeMotionEvent(mpX, -1, 130, 230, 0);
    XTestFakeButtonEvent(mpX, 1, True, 0);
    XTestFakeButtonEvent(mpX, 1, False, 0);
    XSync(mpX, False);
    IdleUi(ui);
    EXPECT_TRUE(mHost.mWrites.empty());
    EXPECT_EQ(StateChangesAfterABlock(), 1);
    EXPECT_NE(mPlug.SaveState(), state);

    mpUi->cleanup(ui);
    XSync(mpX, False);
    Window root = 0, up = 0, *kids = nullptr;
    unsigned n = 0;
    XQueryTree(mpX, mParent, &root, &up, &kids, &n);
    if (kids)
        XFree(kids);
    EXPECT_EQ(n, 0u) << "the editor's window stays in the host's after cleanup";
}

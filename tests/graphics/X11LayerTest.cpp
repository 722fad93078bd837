// The X11 window layer in process, on a virtual X server this program starts itself: what it
// makes on the server and in the process is counted by its own owners (X11Handles.h) and all
// of it goes when the editor closes, when the host destroys the window under it, and when the
// parent it was given is no window at all; the first frame is on screen before any idle time;
// a host's own X error handler stays in place; and without a display the editor is still
// offered (hosts decide that once, often in a scanner without one), but opens no window.

#include "GraphicsTestSupport.h"
#include "IGraphicsWin.h"
#include "IKnobMultiControl.h"

#include "VirtualXServer.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "X11Handles.h"

using namespace orx::x11;

namespace
{

const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new VirtualXServer);

int Live(Resource kind)
{
    return LiveX11Resources(kind);
}

int LiveTotal()
{
    int n = 0;
    for (int k = 0; k < kResourceKinds; ++k)
        n += LiveX11Resources(static_cast<Resource>(k));
    return n;
}

int HostErrors = 0;
int HostHandler(Display*, XErrorEvent*)
{
    ++HostErrors;
    return 0;
}

struct X11Layer : ::testing::Test
{
    EditorPlug mPlug;
    IGraphicsWin* mpG = nullptr;
    Filmstrip mStrip{30, 30, 101};
    IKnobMultiControl* mpKnob = nullptr;
    Display* mpHost = nullptr;
    Window mParent = 0;

    void SetUp() override
    {
        setenv("DISPLAY", VirtualDisplay().c_str(), 1);
        mpG = new IGraphicsWin(&mPlug, 200, 100, &CreateWindowSystem);
        mpKnob = new IKnobMultiControl(&mPlug, 10, 10, kGain, mStrip.mHandle, 1.0);
        mpG->AddControl(mpKnob);
        mPlug.AttachEditor(mpG);
        mpHost = XOpenDisplay(VirtualDisplay().c_str());
        ASSERT_NE(mpHost, nullptr);
        mParent =
            XCreateSimpleWindow(mpHost, DefaultRootWindow(mpHost), 0, 0, 200, 100, 0, 0, 0xFFFFFF);
        XMapWindow(mpHost, mParent);
        XSync(mpHost, False);
    }
    void TearDown() override
    {
        if (mpHost)
        {
            XSetErrorHandler(nullptr);
            XCloseDisplay(mpHost);
        }
    }
    void* Parent() const { return reinterpret_cast<void*>(mParent); }
    unsigned long PixelAt(int x, int y)
    {
        XImage* image = XGetImage(mpHost, mParent, x, y, 1, 1, AllPlanes, ZPixmap);
        const unsigned long p = image ? XGetPixel(image, 0, 0) & 0xFFFFFF : ~0ul;
        if (image)
            XDestroyImage(image);
        return p;
    }
    int EditorWindows()
    {
        Window root = 0, parent = 0, *kids = nullptr;
        unsigned n = 0;
        XQueryTree(mpHost, mParent, &root, &parent, &kids, &n);
        int total = static_cast<int>(n);
        for (unsigned i = 0; i < n; ++i)
        {
            Window* inner = nullptr;
            unsigned m = 0;
            XQueryTree(mpHost, kids[i], &root, &parent, &inner, &m);
            total += static_cast<int>(m);
            if (inner)
                XFree(inner);
        }
        if (kids)
            XFree(kids);
        return total;
    }
};

} // namespace

TEST_F(X11Layer, OwnsWhatItMakesAndLetsAllOfItGo)
{
    EXPECT_TRUE(mpG->HasScreen());
    XSetErrorHandler(&HostHandler);
    ASSERT_NE(mpG->OpenWindow(Parent()), nullptr);
    EXPECT_EQ(Live(Resource::kDisplay), 1);
    EXPECT_EQ(Live(Resource::kWindow), 1);
    EXPECT_EQ(Live(Resource::kPixmap), 1);
    EXPECT_EQ(Live(Resource::kGc), 1);
    EXPECT_EQ(Live(Resource::kCursor), 1);
    EXPECT_EQ(Live(Resource::kImage), 1);
    EXPECT_EQ(Live(Resource::kShmSegment), 1); // the editor is large enough to share memory
    EXPECT_EQ(EditorWindows(), 1);
    // The first frame is on the screen before the host gave any idle time: the knob as the
    // surface has it.
    const IColorARGB knob = mpG->GetPixel(20, 20);
    EXPECT_EQ(PixelAt(20, 20), static_cast<unsigned long>(knob.mR << 16 | knob.mG << 8 | knob.mB));
    EXPECT_NE(PixelAt(20, 20), 0u);

    // The value prompt's entry box: one more window, drawn by us, gone when cancelled.
    mpG->PromptUserInput(mpKnob, mPlug.GetParam(kGain), false);
    EXPECT_TRUE(mpG->EntryOpen());
    EXPECT_EQ(EditorWindows(), 2);
    EXPECT_EQ(PixelAt(25 - 18 + 1, 25), 0xFFFFFFu); // the box's white, left of its text
    WindowEvent cancel;
    cancel.mKind = WindowEvent::kEntryCancel;
    mpG->HandleEvent(cancel);
    WindowEvent tick;
    tick.mKind = WindowEvent::kTimer;
    mpG->HandleEvent(tick);
    EXPECT_FALSE(mpG->EntryOpen());
    EXPECT_EQ(EditorWindows(), 1);
    EXPECT_EQ(Live(Resource::kWindow), 1);

    // Idle time with nothing to do, a new size, opening again at once: nothing piles up.
    for (int i = 0; i < 5; ++i)
        mpG->IdleWindow();
    mpG->Resize(240, 120);
    XWindowAttributes a{};
    Window editor = reinterpret_cast<Window>(mpG->WindowHandle());
    ASSERT_TRUE(XGetWindowAttributes(mpHost, editor, &a));
    EXPECT_EQ(a.width, 240);
    EXPECT_EQ(a.height, 120);
    ASSERT_NE(mpG->OpenWindow(Parent()), nullptr);
    EXPECT_EQ(Live(Resource::kDisplay), 1);
    EXPECT_EQ(Live(Resource::kWindow), 1);
    mpG->CloseWindow();
    EXPECT_EQ(LiveTotal(), 0);
    EXPECT_EQ(EditorWindows(), 0);

    // Our errors were ours: the host's handler is back and heard none of them.
    EXPECT_EQ(XSetErrorHandler(nullptr), &HostHandler);
    EXPECT_EQ(HostErrors, 0);
}

TEST_F(X11Layer, LetsGoWhenTheHostDestroysItsWindowOrGivesNone)
{
    ASSERT_NE(mpG->OpenWindow(Parent()), nullptr);
    mpG->PromptUserInput(mpKnob, mPlug.GetParam(kGain), false);
    EXPECT_EQ(Live(Resource::kWindow), 2);
    XDestroyWindow(mpHost, mParent); // the editor and its entry box go with it
    XSync(mpHost, False);
    mpG->IdleWindow(); // where the editor hears of it
    EXPECT_FALSE(mpG->IsWindowOpen());
    EXPECT_EQ(LiveTotal(), 0);
    mpG->CloseWindow(); // the host closing the editor afterwards changes nothing
    EXPECT_EQ(LiveTotal(), 0);
    EXPECT_FALSE(mpG->EntryOpen()); // the prompt went with its box

    // A parent the host has not shown yet (many show it after the editor opened): the editor
    // opens, and shows with it.
    const Window hidden =
        XCreateSimpleWindow(mpHost, DefaultRootWindow(mpHost), 0, 0, 200, 100, 0, 0, 0xFFFFFF);
    XSync(mpHost, False);
    ASSERT_NE(mpG->OpenWindow(reinterpret_cast<void*>(hidden)), nullptr);
    XMapWindow(mpHost, hidden);
    XSync(mpHost, False);
    mpG->IdleWindow();
    mParent = hidden;
    const IColorARGB knob = mpG->GetPixel(20, 20);
    EXPECT_EQ(PixelAt(20, 20), static_cast<unsigned long>(knob.mR << 16 | knob.mG << 8 | knob.mB));
    mpG->CloseWindow();
    EXPECT_EQ(LiveTotal(), 0);

    // A parent that is no window of the display: no editor, nothing left behind.
    EXPECT_EQ(mpG->OpenWindow(reinterpret_cast<void*>(0x7FFFFF)), nullptr);
    EXPECT_EQ(LiveTotal(), 0);
}

TEST_F(X11Layer, OffersTheEditorWithoutADisplayButOpensNoWindow)
{
    unsetenv("DISPLAY");
    EditorPlug plug;
    IGraphicsWin* g = new IGraphicsWin(&plug, 100, 100, &CreateWindowSystem);
    plug.AttachEditor(g);
    EXPECT_TRUE(g->HasScreen());
    EXPECT_EQ(g->OpenWindow(Parent()), nullptr);
    EXPECT_FALSE(g->IsWindowOpen());
    EXPECT_EQ(LiveTotal(), 0);

    // A display that appears later (the host's own, named after the scan) is used then.
    setenv("DISPLAY", VirtualDisplay().c_str(), 1);
    ASSERT_NE(g->OpenWindow(Parent()), nullptr);
    g->CloseWindow();
    EXPECT_EQ(LiveTotal(), 0);
}

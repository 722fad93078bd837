#pragma once
// Owners of the X resources the X11 window layer makes: the display connection, windows,
// pixmaps, graphics contexts, cursors and the images (with their shared-memory segments) that
// carry pixels to the server. Each releases its resource when it goes, and every kind is
// counted while alive, so a test sees a leak (LiveX11Resources). Only the X11 layer's own files
// include this; the X headers' macros (None, Bool, Status...) stay out of everything else.
//
// X errors of our connections never reach the host: an X11ErrorTrap is held around every call
// into the layer, catches the errors of our own displays and passes any other to the handler
// that was there before. A connection the server drops is marked dead instead of ending the
// host program (Xlib's default).
//
// [main-thread] Everything here is used on the editor's thread only.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <utility>

namespace orx::x11
{

enum class Resource : int
{
    kDisplay = 0,
    kWindow,
    kPixmap,
    kGc,
    kCursor,
    kImage,
    kShmSegment,
    kCount,
};

inline constexpr int kResourceKinds = static_cast<int>(Resource::kCount);

// [any-thread] Live resources of kind made by this library.
int LiveX11Resources(Resource kind) noexcept;
void CountX11Resource(Resource kind, int delta) noexcept;

// Our own connection to the display named by DISPLAY; closed when the owner goes.
class DisplayConnection
{
public:
    DisplayConnection() = default;
    ~DisplayConnection() { Close(); }
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    // False when no display can be reached.
    bool Open() noexcept;
    void Close() noexcept;
    Display* get() const noexcept { return mpDisplay; }
    explicit operator bool() const noexcept { return mpDisplay != nullptr; }
    // The server dropped the connection: nothing may be sent on it any more.
    bool Dead() const noexcept { return mDead; }

private:
    static void OnConnectionLost(Display* display, void* self) noexcept;

    Display* mpDisplay = nullptr;
    bool mDead = false;
};

// One server resource of one kind on a connection, released with Free.
template <Resource kKind, int (*Free)(Display*, XID)>
class ServerResource
{
public:
    ServerResource() noexcept = default;
    ServerResource(Display* display, XID id) noexcept { Adopt(display, id); }
    ~ServerResource() { reset(); }
    ServerResource(ServerResource&& o) noexcept
        : mpDisplay(std::exchange(o.mpDisplay, nullptr)), mId(std::exchange(o.mId, 0))
    {
    }
    ServerResource& operator=(ServerResource&& o) noexcept
    {
        if (this != &o)
        {
            reset();
            mpDisplay = std::exchange(o.mpDisplay, nullptr);
            mId = std::exchange(o.mId, 0);
        }
        return *this;
    }

    void reset() noexcept
    {
        if (mId)
        {
            Free(mpDisplay, mId);
            CountX11Resource(kKind, -1);
        }
        mId = 0;
        mpDisplay = nullptr;
    }
    // The server destroyed it on its own (a window goes with its parent): only forget it.
    void forget() noexcept
    {
        if (mId)
            CountX11Resource(kKind, -1);
        mId = 0;
        mpDisplay = nullptr;
    }
    XID get() const noexcept { return mId; }
    explicit operator bool() const noexcept { return mId != 0; }

private:
    void Adopt(Display* display, XID id) noexcept
    {
        if (!id)
            return;
        mpDisplay = display;
        mId = id;
        CountX11Resource(kKind, 1);
    }

    Display* mpDisplay = nullptr;
    XID mId = 0;
};

int FreeWindow(Display* display, XID id);
int FreePixmap(Display* display, XID id);
int FreeCursor(Display* display, XID id);

using OwnedWindow = ServerResource<Resource::kWindow, &FreeWindow>;
using OwnedPixmap = ServerResource<Resource::kPixmap, &FreePixmap>;
using OwnedCursor = ServerResource<Resource::kCursor, &FreeCursor>;

// A graphics context (a pointer type in Xlib, so not a ServerResource).
class OwnedGc
{
public:
    OwnedGc() noexcept = default;
    OwnedGc(Display* display, Drawable drawable) noexcept;
    ~OwnedGc() { reset(); }
    OwnedGc(const OwnedGc&) = delete;
    OwnedGc& operator=(const OwnedGc&) = delete;
    OwnedGc(OwnedGc&& o) noexcept
        : mpDisplay(std::exchange(o.mpDisplay, nullptr)), mGc(std::exchange(o.mGc, nullptr))
    {
    }
    OwnedGc& operator=(OwnedGc&& o) noexcept
    {
        if (this != &o)
        {
            reset();
            mpDisplay = std::exchange(o.mpDisplay, nullptr);
            mGc = std::exchange(o.mGc, nullptr);
        }
        return *this;
    }
    void reset() noexcept;
    GC get() const noexcept { return mGc; }
    explicit operator bool() const noexcept { return mGc != nullptr; }

private:
    Display* mpDisplay = nullptr;
    GC mGc = nullptr;
};

// An image in the server's pixel format for sending 32-bit surface pixels to a drawable: in a
// shared-memory segment when the server offers MIT-SHM and the image is large enough to gain
// from it, in ordinary memory otherwise.
class TransferImage
{
public:
    TransferImage() = default;
    ~TransferImage() { reset(); }
    TransferImage(const TransferImage&) = delete;
    TransferImage& operator=(const TransferImage&) = delete;

    // False when no image of that size can be made for the visual.
    bool Create(Display* display, Visual* visual, int depth, int width, int height) noexcept;
    void reset() noexcept;
    explicit operator bool() const noexcept { return mpImage != nullptr; }
    int Width() const noexcept { return mpImage ? mpImage->width : 0; }
    int Height() const noexcept { return mpImage ? mpImage->height : 0; }
    bool Shared() const noexcept { return mShared; }

    // Copies the part (x, y, w, h) of 32-bit pixels (0xAARRGGBB, rowSpan pixels apart) into
    // the image at the same place and sends that part to drawable. The caller keeps the part
    // inside both.
    void Put(Drawable drawable, GC gc, const unsigned* pixels, int rowSpan, int x, int y, int w,
             int h) noexcept;

private:
    bool CreateShared(Visual* visual, int depth, int width, int height) noexcept;

    Display* mpDisplay = nullptr;
    XImage* mpImage = nullptr;
    XShmSegmentInfo mSegment{};
    bool mShared = false;
    bool mDirectCopy = false; // the image's pixels are laid out as ours
};

// Held around every call into the layer that talks to the server: errors of display are
// caught (and counted), any other display's go to the previous handler. Leaving the scope
// waits for the server to answer what was sent, so its errors arrive while the trap holds.
class X11ErrorTrap
{
public:
    explicit X11ErrorTrap(Display* display) noexcept;
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Errors caught so far, after waiting for the server's answer to everything sent.
    int Errors() noexcept;

private:
    Display* mpDisplay;
    X11ErrorTrap* mpOuter;
    int (*mpPrevious)(Display*, XErrorEvent*);
    int mErrors = 0;

    static int Handler(Display* display, XErrorEvent* error);
};

} // namespace orx::x11

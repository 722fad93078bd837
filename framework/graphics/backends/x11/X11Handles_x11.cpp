// The owners of the X11 window layer's resources, their counts, the error trap and the images
// that carry the editor's pixels to the server (X11Handles.h).

#include "X11Handles.h"

#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace orx::x11
{

namespace
{
std::atomic<int> gLive[kResourceKinds];

// Images smaller than this go through the connection: a segment costs more than it saves.
constexpr int kSharedMinimumPixels = 128 * 128;

// The innermost trap of this thread; traps nest (a modal loop inside an event handler).
thread_local X11ErrorTrap* gpInnermost = nullptr;

// How a channel of 8 bits goes into a visual's pixel: its mask's shift and width.
struct Channel
{
    int mShift = 0;
    int mBits = 0;
};

Channel ChannelOf(unsigned long mask) noexcept
{
    Channel c;
    if (!mask)
        return c;
    c.mShift = std::countr_zero(mask);
    c.mBits = std::popcount(mask);
    return c;
}

unsigned long MapChannel(unsigned value8, const Channel& c) noexcept
{
    if (c.mBits <= 0)
        return 0;
    const unsigned v = c.mBits >= 8 ? value8 << (c.mBits - 8) : value8 >> (8 - c.mBits);
    return static_cast<unsigned long>(v) << c.mShift;
}
} // namespace

int LiveX11Resources(Resource kind) noexcept
{
    return gLive[static_cast<int>(kind)].load();
}

void CountX11Resource(Resource kind, int delta) noexcept
{
    gLive[static_cast<int>(kind)].fetch_add(delta);
}

int FreeWindow(Display* display, XID id)
{
    return XDestroyWindow(display, id);
}

int FreePixmap(Display* display, XID id)
{
    return XFreePixmap(display, id);
}

int FreeCursor(Display* display, XID id)
{
    return XFreeCursor(display, id);
}

// ---- the connection ----

bool DisplayConnection::Open() noexcept
{
    Close();
    mpDisplay = XOpenDisplay(nullptr);
    if (!mpDisplay)
        return false;
    mDead = false;
    CountX11Resource(Resource::kDisplay, 1);
    // Xlib ends the program when a connection breaks; the host's program is not ours to end.
    XSetIOErrorExitHandler(mpDisplay, &DisplayConnection::OnConnectionLost, this);
    return true;
}

void DisplayConnection::Close() noexcept
{
    if (!mpDisplay)
        return;
    XCloseDisplay(mpDisplay);
    mpDisplay = nullptr;
    mDead = false;
    CountX11Resource(Resource::kDisplay, -1);
}

void DisplayConnection::OnConnectionLost(Display*, void* self) noexcept
{
    static_cast<DisplayConnection*>(self)->mDead = true;
}

// ---- graphics contexts ----

OwnedGc::OwnedGc(Display* display, Drawable drawable) noexcept
{
    XGCValues values{};
    values.graphics_exposures = False;
    mGc = XCreateGC(display, drawable, GCGraphicsExposures, &values);
    if (mGc)
    {
        mpDisplay = display;
        CountX11Resource(Resource::kGc, 1);
    }
}

void OwnedGc::reset() noexcept
{
    if (mGc)
    {
        XFreeGC(mpDisplay, mGc);
        CountX11Resource(Resource::kGc, -1);
    }
    mGc = nullptr;
    mpDisplay = nullptr;
}

// ---- images ----

bool TransferImage::CreateShared(Visual* visual, int depth, int width, int height) noexcept
{
    int major = 0, minor = 0;
    Bool pixmaps = False;
    if (!XShmQueryVersion(mpDisplay, &major, &minor, &pixmaps))
        return false;
    XImage* image =
        XShmCreateImage(mpDisplay, visual, static_cast<unsigned>(depth), ZPixmap, nullptr,
                        &mSegment, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!image)
        return false;
    const std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) * height;
    mSegment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (mSegment.shmid < 0)
    {
        XDestroyImage(image);
        return false;
    }
    void* memory = shmat(mSegment.shmid, nullptr, 0);
    if (memory == reinterpret_cast<void*>(-1))
    {
        shmctl(mSegment.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        return false;
    }
    mSegment.shmaddr = image->data = static_cast<char*>(memory);
    mSegment.readOnly = False;
    // A server on another machine refuses the segment; the plain image takes over then.
    bool attached = false;
    {
        X11ErrorTrap trap(mpDisplay);
        attached = XShmAttach(mpDisplay, &mSegment) && trap.Errors() == 0;
    }
    // The segment goes as soon as both sides have let it go, whatever happens to us.
    shmctl(mSegment.shmid, IPC_RMID, nullptr);
    if (!attached)
    {
        shmdt(mSegment.shmaddr);
        image->data = nullptr;
        XDestroyImage(image);
        mSegment = {};
        return false;
    }
    mpImage = image;
    mShared = true;
    CountX11Resource(Resource::kShmSegment, 1);
    return true;
}

bool TransferImage::Create(Display* display, Visual* visual, int depth, int width,
                           int height) noexcept
{
    reset();
    if (!display || !visual || width <= 0 || height <= 0)
        return false;
    mpDisplay = display;
    if (static_cast<long>(width) * height < kSharedMinimumPixels ||
        !CreateShared(visual, depth, width, height))
    {
        XImage* image =
            XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                         static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
        if (!image)
        {
            mpDisplay = nullptr;
            return false;
        }
        // XDestroyImage frees the pixels with free().
        image->data = static_cast<char*>(
            std::malloc(static_cast<std::size_t>(image->bytes_per_line) * height));
        if (!image->data)
        {
            XDestroyImage(image);
            mpDisplay = nullptr;
            return false;
        }
        mpImage = image;
    }
    CountX11Resource(Resource::kImage, 1);
    mDirectCopy =
        visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF &&
        mpImage->bits_per_pixel == 32 &&
        mpImage->byte_order == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
    return true;
}

void TransferImage::reset() noexcept
{
    if (!mpImage)
        return;
    if (mShared)
    {
        XShmDetach(mpDisplay, &mSegment);
        XSync(mpDisplay, False);
        shmdt(mSegment.shmaddr);
        mpImage->data = nullptr;
        mSegment = {};
        mShared = false;
        CountX11Resource(Resource::kShmSegment, -1);
    }
    XDestroyImage(mpImage);
    mpImage = nullptr;
    mpDisplay = nullptr;
    CountX11Resource(Resource::kImage, -1);
}

void TransferImage::Put(Drawable drawable, GC gc, const unsigned* pixels, int rowSpan, int x, int y,
                        int w, int h) noexcept
{
    if (!mpImage || w <= 0 || h <= 0)
        return;
    if (mDirectCopy)
    {
        for (int row = y; row < y + h; ++row)
            std::memcpy(mpImage->data + static_cast<long>(row) * mpImage->bytes_per_line + x * 4,
                        pixels + static_cast<long>(row) * rowSpan + x,
                        static_cast<std::size_t>(w) * 4);
    }
    else
    {
        const Channel r = ChannelOf(mpImage->red_mask), g = ChannelOf(mpImage->green_mask),
                      b = ChannelOf(mpImage->blue_mask);
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col)
            {
                const unsigned p = pixels[static_cast<long>(row) * rowSpan + col];
                XPutPixel(mpImage, col, row,
                          MapChannel((p >> 16) & 0xFF, r) | MapChannel((p >> 8) & 0xFF, g) |
                              MapChannel(p & 0xFF, b));
            }
    }
    if (mShared)
    {
        XShmPutImage(mpDisplay, drawable, gc, mpImage, x, y, x, y, static_cast<unsigned>(w),
                     static_cast<unsigned>(h), False);
        // The server reads the segment later: the next copy must wait until it has.
        XSync(mpDisplay, False);
    }
    else
    {
        XPutImage(mpDisplay, drawable, gc, mpImage, x, y, x, y, static_cast<unsigned>(w),
                  static_cast<unsigned>(h));
    }
}

// ---- errors ----

X11ErrorTrap::X11ErrorTrap(Display* display) noexcept
    : mpDisplay(display), mpOuter(gpInnermost), mpPrevious(XSetErrorHandler(&Handler))
{
    gpInnermost = this;
}

X11ErrorTrap::~X11ErrorTrap()
{
    if (mpDisplay)
        XSync(mpDisplay, False);
    gpInnermost = mpOuter;
    XSetErrorHandler(mpPrevious);
}

int X11ErrorTrap::Errors() noexcept
{
    if (mpDisplay)
        XSync(mpDisplay, False);
    return mErrors;
}

int X11ErrorTrap::Handler(Display* display, XErrorEvent* error)
{
    X11ErrorTrap* outermost = nullptr;
    for (X11ErrorTrap* t = gpInnermost; t; t = t->mpOuter)
    {
        if (t->mpDisplay == display)
        {
            ++t->mErrors;
            return 0;
        }
        outermost = t;
    }
    // Not one of ours: whoever handled errors before us.
    if (outermost && outermost->mpPrevious && outermost->mpPrevious != &Handler)
        return outermost->mpPrevious(display, error);
    return 0;
}

} // namespace orx::x11

#include "X11PictureWindow.h"

#include "LICE_IBitmap.h"

namespace orx::x11
{

bool PictureWindow::Create(Display* display, Window parent, const IRect& rect, long eventMask,
                           bool popup, Cursor cursor) noexcept
{
    Destroy();
    if (!display || rect.W() <= 0 || rect.H() <= 0)
        return false;
    mpDisplay = display;
    const int screen = DefaultScreen(display);
    // The screen's own visual, whatever the parent's (a host may use one with alpha).
    XSetWindowAttributes a{};
    a.background_pixel = BlackPixel(display, screen);
    a.border_pixel = 0;
    a.colormap = DefaultColormap(display, screen);
    a.event_mask = eventMask;
    a.override_redirect = popup ? True : False;
    a.save_under = popup ? True : False;
    a.cursor = cursor;
    unsigned long mask =
        CWBackPixel | CWBorderPixel | CWColormap | CWEventMask | CWOverrideRedirect | CWSaveUnder;
    if (cursor)
        mask |= CWCursor;
    mWindow = OwnedWindow(
        display, XCreateWindow(display, parent, rect.mL, rect.mT, static_cast<unsigned>(rect.W()),
                               static_cast<unsigned>(rect.H()), 0, DefaultDepth(display, screen),
                               InputOutput, DefaultVisual(display, screen), mask, &a));
    if (!mWindow || !MakePicture(rect.W(), rect.H()))
    {
        Destroy();
        return false;
    }
    XMapRaised(display, Id());
    return true;
}

bool PictureWindow::MakePicture(int width, int height) noexcept
{
    const int screen = DefaultScreen(mpDisplay);
    const int depth = DefaultDepth(mpDisplay, screen);
    mGc.reset();
    mPixmap.reset();
    mPixmap = OwnedPixmap(mpDisplay, XCreatePixmap(mpDisplay, Id(), static_cast<unsigned>(width),
                                                   static_cast<unsigned>(height),
                                                   static_cast<unsigned>(depth)));
    if (!mPixmap)
        return false;
    mGc = OwnedGc(mpDisplay, mPixmap.get());
    if (!mGc || !mImage.Create(mpDisplay, DefaultVisual(mpDisplay, screen), depth, width, height))
        return false;
    // A new pixmap holds whatever the server's memory held: black until the first picture.
    XSetForeground(mpDisplay, mGc.get(), BlackPixel(mpDisplay, screen));
    XFillRectangle(mpDisplay, mPixmap.get(), mGc.get(), 0, 0, static_cast<unsigned>(width),
                   static_cast<unsigned>(height));
    XSetWindowBackgroundPixmap(mpDisplay, Id(), mPixmap.get());
    mWidth = width;
    mHeight = height;
    return true;
}

void PictureWindow::Destroy() noexcept
{
    mImage.reset();
    mGc.reset();
    mPixmap.reset();
    mWindow.reset();
    mWidth = mHeight = 0;
    mpDisplay = nullptr;
}

void PictureWindow::Forget() noexcept
{
    mWindow.forget();
    Destroy();
}

bool PictureWindow::Resize(int width, int height) noexcept
{
    if (!mWindow || width <= 0 || height <= 0)
        return false;
    XResizeWindow(mpDisplay, Id(), static_cast<unsigned>(width), static_cast<unsigned>(height));
    return MakePicture(width, height);
}

void PictureWindow::Put(const LICE_IBitmap& bitmap, const IRect& part) noexcept
{
    if (!mWindow || !bitmap.getBits())
        return;
    const IRect r = part.Intersect(
        IRect(0, 0, std::min(mWidth, bitmap.getWidth()), std::min(mHeight, bitmap.getHeight())));
    if (r.Empty())
        return;
    mImage.Put(mPixmap.get(), mGc.get(), bitmap.getBits(), bitmap.getRowSpan(), r.mL, r.mT, r.W(),
               r.H());
    XClearArea(mpDisplay, Id(), r.mL, r.mT, static_cast<unsigned>(r.W()),
               static_cast<unsigned>(r.H()), False);
}

void PictureWindow::PutAll(const LICE_IBitmap& bitmap) noexcept
{
    Put(bitmap, IRect(0, 0, bitmap.getWidth(), bitmap.getHeight()));
}

} // namespace orx::x11

#pragma once
// A window of the X11 layer whose picture is a pixmap the server shows by itself, as the
// window's background: putting part of a bitmap there repaints that part, and the server
// restores whatever gets uncovered without asking us (a host that never gives the editor idle
// time still sees its last picture). The editor window, the entry box, the menu panels and the
// file chooser are each one of these. X11 layer only (X11Handles.h).

#include "X11Handles.h"

#include "IRect.h"

class LICE_IBitmap;

namespace orx::x11
{

class PictureWindow
{
public:
    PictureWindow() = default;
    ~PictureWindow() { Destroy(); }
    PictureWindow(const PictureWindow&) = delete;
    PictureWindow& operator=(const PictureWindow&) = delete;

    // A mapped window at rect in parent, of the screen's default visual, listening for
    // eventMask; a popup (override-redirect: the window manager leaves it alone) when asked.
    // False leaves nothing behind.
    bool Create(Display* display, Window parent, const IRect& rect, long eventMask, bool popup,
                Cursor cursor = 0) noexcept;
    void Destroy() noexcept;
    // The server destroyed the window with its parent: the rest goes, the window is forgotten.
    void Forget() noexcept;

    Window Id() const noexcept { return static_cast<Window>(mWindow.get()); }
    explicit operator bool() const noexcept { return static_cast<bool>(mWindow); }
    int Width() const noexcept { return mWidth; }
    int Height() const noexcept { return mHeight; }

    // Shows part of bitmap (window pixels) at the same place.
    void Put(const LICE_IBitmap& bitmap, const IRect& part) noexcept;
    // Shows all of bitmap.
    void PutAll(const LICE_IBitmap& bitmap) noexcept;
    // New size; the picture is black until the next Put.
    bool Resize(int width, int height) noexcept;
    bool SharedMemory() const noexcept { return mImage.Shared(); }

private:
    bool MakePicture(int width, int height) noexcept;

    Display* mpDisplay = nullptr;
    OwnedWindow mWindow;
    OwnedPixmap mPixmap;
    OwnedGc mGc;
    TransferImage mImage;
    int mWidth = 0;
    int mHeight = 0;
};

} // namespace orx::x11

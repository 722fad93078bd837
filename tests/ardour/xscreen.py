"""What a test sees of an X server, through libX11 itself (ctypes, no other package): the whole
screen as a PNG file, and the popups on it (mapped override-redirect windows of the root, as
menus are)."""
import ctypes
import ctypes.util
import struct
import zlib

_ALL_PLANES = 0xFFFFFFFF
_Z_PIXMAP = 2
_IS_VIEWABLE = 2


class _Image(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


class _Attributes(ctypes.Structure):
    # XWindowAttributes as Xlib lays it out on x86_64.
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int),
                ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("class_", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long),
                ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


def _xlib():
    x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                       ctypes.POINTER(_Attributes)]
    x.XGetImage.restype = ctypes.POINTER(_Image)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                            ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                             ctypes.POINTER(ctypes.c_ulong),
                             ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                             ctypes.POINTER(ctypes.c_uint)]
    x.XFree.argtypes = [ctypes.c_void_p]
    return x


class Screen:
    """A connection to display (":N") for as long as the object lives."""

    def __init__(self, display):
        self._x = _xlib()
        self._d = self._x.XOpenDisplay(display.encode())
        if not self._d:
            raise RuntimeError("cannot open display %s" % display)
        self._root = self._x.XDefaultRootWindow(self._d)

    def close(self):
        if self._d:
            self._x.XCloseDisplay(self._d)
            self._d = None

    def popups(self):
        """The ids of the root's mapped override-redirect children."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, n = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self._x.XQueryTree(self._d, self._root, ctypes.byref(root),
                                  ctypes.byref(parent), ctypes.byref(kids), ctypes.byref(n)):
            return set()
        found = set()
        for i in range(n.value):
            a = _Attributes()
            if (self._x.XGetWindowAttributes(self._d, kids[i], ctypes.byref(a)) and
                    a.override_redirect and a.map_state == _IS_VIEWABLE):
                found.add(kids[i])
        if kids:
            self._x.XFree(kids)
        return found

    def save_png(self, path):
        """The whole screen into path (RGB PNG); the 24-bit screens of Xvfb only."""
        a = _Attributes()
        self._x.XGetWindowAttributes(self._d, self._root, ctypes.byref(a))
        w, h = a.width, a.height
        image = self._x.XGetImage(self._d, self._root, 0, 0, w, h, _ALL_PLANES, _Z_PIXMAP)
        if not image:
            raise RuntimeError("XGetImage failed")
        img = image.contents
        if img.bits_per_pixel != 32:
            raise RuntimeError("%d bits per pixel" % img.bits_per_pixel)
        stride = img.bytes_per_line
        raw = ctypes.string_at(img.data, stride * h)
        rows = bytearray()
        for y in range(h):
            line = raw[y * stride:y * stride + w * 4]
            rgb = bytearray(w * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
            rows += b"\0" + rgb
        # XDestroyImage is a macro; for an image of XGetImage it frees the data and the record.
        self._x.XFree(img.data)
        self._x.XFree(image)

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data +
                    struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" +
                    chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                    chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b""))

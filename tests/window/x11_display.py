"""The few Xlib calls the window tests need that xdotool lacks: a window's
pixels and the close request a window manager sends."""
import ctypes
import shutil
from collections import Counter


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


class Display:
    """The few Xlib calls the test needs that xdotool lacks: a window's pixels
    and the close request a window manager sends."""

    def __init__(self, x11, name):
        self.x11 = x11
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XGetImage.restype = ctypes.POINTER(XImage)
        x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x11.XFree.argtypes = [ctypes.c_void_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                   ctypes.c_void_p]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        self.d = x11.XOpenDisplay(name.encode())

    def pixels(self, window, width, height):
        """Rows of (r, g, b) tuples."""
        image = self.x11.XGetImage(self.d, window, 0, 0, width, height, 0xFFFFFFFF, 2)
        if not image:
            return None
        im = image.contents
        assert im.bits_per_pixel == 32, im.bits_per_pixel
        raw = ctypes.string_at(im.data, im.bytes_per_line * height)
        rows = []
        for y in range(height):
            line = raw[y * im.bytes_per_line:y * im.bytes_per_line + 4 * width]
            rows.append([(line[4 * x + 2], line[4 * x + 1], line[4 * x]) for x in range(width)])
        self.x11.XFree(im.data)
        self.x11.XFree(image)
        return rows

    def close_window(self, window):
        event = XClientMessageEvent()
        event.type = 33  # ClientMessage
        event.window = window
        event.message_type = self.x11.XInternAtom(self.d, b"WM_PROTOCOLS", 0)
        event.format = 32
        event.data[0] = self.x11.XInternAtom(self.d, b"WM_DELETE_WINDOW", 0)
        self.x11.XSendEvent(self.d, window, 0, 0, ctypes.byref(event))
        self.x11.XFlush(self.d)

    def screen(self, width, height):
        """The whole screen as a Shot."""
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        image = self.x11.XGetImage(self.d, self.x11.XDefaultRootWindow(self.d), 0, 0, width,
                                   height, 0xFFFFFFFF, 2)
        if not image:
            return None
        im = image.contents
        assert im.bits_per_pixel == 32, im.bits_per_pixel
        shot = Shot(ctypes.string_at(im.data, im.bytes_per_line * height), im.bytes_per_line,
                    width, height)
        self.x11.XFree(im.data)
        self.x11.XFree(image)
        return shot


class Shot:
    """A screenshot kept as the server's bytes (blue, green, red, pad), read
    a pixel or a row at a time."""

    def __init__(self, raw, stride, width, height):
        self.raw, self.stride, self.width, self.height = raw, stride, width, height

    def pixel(self, x, y):
        i = y * self.stride + 4 * x
        return (self.raw[i + 2], self.raw[i + 1], self.raw[i])

    def line(self, y):
        return self.raw[y * self.stride:y * self.stride + 4 * self.width]

    def area(self, x0, y0, x1, y1):
        """The pixels of a rectangle, row by row, as one list."""
        x0, y0 = max(x0, 0), max(y0, 0)
        x1, y1 = min(x1, self.width), min(y1, self.height)
        return [self.pixel(x, y) for y in range(y0, y1) for x in range(x0, x1)]

    def counts(self, x0, y0, x1, y1):
        """How many pixels of each colour a rectangle holds: a Counter of
        (red, green, blue), counted over the server's 32-bit words (a
        screen's worth of cells in a fraction of a second)."""
        x0, y0 = max(x0, 0), max(y0, 0)
        x1, y1 = min(x1, self.width), min(y1, self.height)
        words = Counter()
        if x1 > x0:
            raw = memoryview(self.raw)
            for y in range(y0, y1):
                words.update(raw[y * self.stride + 4 * x0:y * self.stride + 4 * x1].cast("I"))
        colours = Counter()
        for word, n in words.items():
            colours[((word >> 16) & 255, (word >> 8) & 255, word & 255)] += n
        return colours


def add_dock(display, width, height, panel):
    """A panel of panel pixels along the bottom of the screen, as a desktop's
    task bar is: a dock window that keeps that strip to itself."""
    x11, d = display.x11, display.d
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XCreateSimpleWindow.restype = ctypes.c_ulong
    x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                        ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                                        ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
    x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                    ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_void_p,
                                    ctypes.c_int]
    x11.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    window = x11.XCreateSimpleWindow(d, x11.XDefaultRootWindow(d), 0, height - panel, width,
                                     panel, 0, 0, 0)
    atom = lambda name: x11.XInternAtom(d, name, 0)  # noqa: E731
    xa_atom, xa_cardinal, replace = 4, 6, 0
    kind = (ctypes.c_long * 1)(atom(b"_NET_WM_WINDOW_TYPE_DOCK"))
    x11.XChangeProperty(d, window, atom(b"_NET_WM_WINDOW_TYPE"), xa_atom, 32, replace, kind, 1)
    strut = (ctypes.c_long * 4)(0, 0, 0, panel)
    x11.XChangeProperty(d, window, atom(b"_NET_WM_STRUT"), xa_cardinal, 32, replace, strut, 4)
    x11.XMapWindow(d, window)
    x11.XFlush(d)
    return window


def open_x11():
    """libX11 for the screenshots, or None after a SKIPPED line when Xvfb,
    xdotool or libX11 is missing."""
    for tool in ("Xvfb", "xdotool"):
        if shutil.which(tool) is None:
            print("SKIPPED: %s is not installed (apt-get install xvfb xdotool)" % tool)
            return None
    try:
        x11 = ctypes.CDLL("libX11.so.6")
    except OSError:
        print("SKIPPED: libX11 is not installed")
        return None
    # Tests may take screenshots of several displays from threads of their own.
    x11.XInitThreads()
    return x11

"""Runs the real program on a private X server and drives it with real X input.

A Session owns a virtual X server on a free display, a fresh directory holding
a copy of the program and its preview template, and the running program. It
clicks, moves and types through xdotool, reads text boxes through the
clipboard, takes screenshots, and reads the files the program writes. Every
wait is bounded; every process it starts is ended when the session closes,
and dies with the harness if the harness itself is killed.
"""

import ctypes
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

TOOLS = ("Xvfb", "xdotool", "xclip", "import", "midicsv")
WAIT = 10.0  # seconds for any single wait; every one normally ends far sooner
SCREEN = (1024, 768)
# The caption of a fresh window: the program's name, and a notice when a part
# of the sound output is missing, naming it.
CAPTIONS = ("綴 Tsuzuri",) + tuple(
    f"綴 Tsuzuri（音声出力なし：{missing}）"
    for missing in ("音声出力装置が見つかりません", "SoundFont が見つからないか読めません",
                    "音源モジュールを開けません"))
PROMPT_TITLE = "変更の保存"


class Failure(Exception):
    """A check of a scenario did not hold."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def _die_with_parent():
    # PR_SET_PDEATHSIG: a child gets SIGKILL when the harness dies, so a killed
    # test run leaves no X server or program behind.
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)


def missing_tools():
    return [tool for tool in TOOLS if shutil.which(tool) is None]


def wait_until(probe, timeout=WAIT, interval=0.02):
    """Calls probe until it returns something true; returns that, or the last
    (false) result when the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result or time.monotonic() >= deadline:
            return result
        time.sleep(interval)


class Screenshot:
    """The pixels of the whole screen, read from a binary PPM."""

    def __init__(self, ppm):
        parts = []
        pos = 0
        while len(parts) < 4:  # magic, width, height, maximum value
            while ppm[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not ppm[end:end + 1].isspace():
                end += 1
            parts.append(ppm[pos:end])
            pos = end
        check(parts[0] == b"P6" and parts[3] == b"255", "screenshot is not an 8-bit PPM")
        self.width, self.height = int(parts[1]), int(parts[2])
        self.pixels = ppm[pos + 1:]

    def pixel(self, x, y):
        check(0 <= x < self.width and 0 <= y < self.height, f"pixel {x},{y} is off the screen")
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def brightness(self, x, y):
        return sum(self.pixel(x, y)) / 3

    def count(self, xs, ys, test):
        return sum(1 for y in ys for x in xs if test(self.pixel(x, y)))


def is_dark(rgb):
    return max(rgb) < 96


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("client", _ClientMessage), ("pad", ctypes.c_long * 24)]


def ask_window_to_close(display, window):
    """Sends the window manager's close request (WM_DELETE_WINDOW), as the
    close button of a window frame does; there is no window manager here."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_Event)]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    check(connection, f"cannot open display {display}")
    try:
        event = _Event()
        event.client.type = 33  # ClientMessage
        event.client.window = window
        event.client.message_type = x11.XInternAtom(connection, b"WM_PROTOCOLS", 0)
        event.client.format = 32
        event.client.data[0] = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
        check(x11.XSendEvent(connection, window, 0, 0, ctypes.byref(event)),
              "the close request could not be sent")
    finally:
        x11.XCloseDisplay(connection)  # flushes the request


class Session:
    def __init__(self, program, template, artifacts=None):
        self.program = program
        self.template = template
        self.artifacts = artifacts
        self.children = []
        self.clipboard_owner = None
        self.dir = tempfile.mkdtemp(prefix="tsuzuri-e2e-")
        self.origin = (0, 0)
        self.pointer = None
        self.window = None
        self.app = None
        self.app_log = os.path.join(self.dir, "program.log")

    # -- processes ---------------------------------------------------------

    def _spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, preexec_fn=_die_with_parent, **kwargs)
        self.children.append(process)
        return process

    def _run(self, *argv, timeout=WAIT):
        result = subprocess.run(argv, env=self.env, capture_output=True, timeout=timeout)
        check(result.returncode == 0,
              f"{' '.join(argv)} failed: {result.stderr.decode(errors='replace').strip()}")
        return result.stdout

    def start(self, width=None, height=None):
        """Starts the X server and the program; waits for the program's window."""
        self._start_x_server()
        app_dir = os.path.join(self.dir, "app")
        os.mkdir(app_dir)
        shutil.copy2(self.program, os.path.join(app_dir, "tsuzuri"))
        shutil.copy2(self.template, os.path.join(app_dir, "c.mid"))
        # The sound engine module the program opens after its first paint.
        module = os.path.join(os.path.dirname(self.program), "tsuzuri-engine.so")
        if os.path.exists(module):
            shutil.copy2(module, os.path.join(app_dir, "tsuzuri-engine.so"))
        self.app_dir = app_dir
        self.template_bytes = self.file_bytes("c.mid")
        os.mkdir(os.path.join(self.dir, "runtime"), 0o700)
        self.relaunch(width, height)

    def relaunch(self, width=None, height=None, args=()):
        """Starts the program (again) on the session's X server and folders,
        with `args` on its command line, and waits for its window."""
        app_dir = self.app_dir
        runtime = os.path.join(self.dir, "runtime")
        suppressions = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                    "lsan_suppressions.txt")
        self.pointer = None
        app_env = dict(self.env, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime,
                       LSAN_OPTIONS=f"suppressions={suppressions}:print_suppressions=0",
                       XDG_DATA_HOME=os.path.join(self.dir, "data"),
                       XDG_CONFIG_HOME=os.path.join(self.dir, "config"))
        with open(self.app_log, "wb") as log:
            self.app = self._spawn([os.path.join(app_dir, "tsuzuri"), *args], cwd=self.dir,
                                   env=app_env, stdout=log, stderr=subprocess.STDOUT)
        found = wait_until(self._find_window, timeout=3 * WAIT)  # slower when sanitized
        check(found, "the program's window did not appear")
        self.window = found
        if width is not None:
            self._run("xdotool", "windowsize", "--sync", self.window, str(width), str(height))
        self._read_geometry()
        self._locate_pointer()
        self._focus_window()
        check(wait_until(self._painted, timeout=3 * WAIT), "the program's window was not drawn")

    def _painted(self):
        """Whether the window shows what the program drew: the score canvas,
        mostly white, alike in two screenshots in a row (a window just mapped
        or resized is black until the program paints it; a sanitized build
        paints slowly)."""
        def canvas(shot):
            x0, y0 = self.origin[0] + 20, self.origin[1] + 20
            return [shot.pixel(x, y) for y in range(y0, y0 + 140, 7) for x in range(x0, x0 + 840, 7)]
        first = canvas(self.screenshot())
        bright = sum(sum(p) for p in first) / (3 * len(first))
        return bright > 200 and canvas(self.screenshot()) == first

    def _start_x_server(self):
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                     f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp", "-noreset"],
                    pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + WAIT
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], deadline - time.monotonic())
            if not ready:
                break
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        check(number.strip().isdigit(), "the X server did not report its display")
        self.env = dict(os.environ, DISPLAY=":" + number.strip().decode())

    def _find_window(self):
        check(self.app.poll() is None, f"the program ended at start-up: {self.log_tail()}")
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Tsuzuri"],
                                env=self.env, capture_output=True, timeout=WAIT)
        ids = result.stdout.split()
        return ids[0].decode() if len(ids) == 1 else None

    def config_file(self):
        """The per-user settings file the program keeps its window's place in."""
        return os.path.join(self.dir, "config", "tsuzuri", "tsuzuri.conf")

    def _read_geometry(self):
        shell = self._run("xdotool", "getwindowgeometry", "--shell", self.window).decode()
        values = dict(line.split("=", 1) for line in shell.split())
        self.origin = (int(values["X"]), int(values["Y"]))
        self.size = (int(values["WIDTH"]), int(values["HEIGHT"]))

    def _locate_pointer(self):
        """Where the pointer is in the window now: a new window may lie
        elsewhere than the last one, under the pointer left there."""
        shell = self._run("xdotool", "getmouselocation", "--shell").decode()
        values = dict(line.split("=", 1) for line in shell.split())
        self.pointer = (int(values["X"]) - self.origin[0], int(values["Y"]) - self.origin[1])

    def _focus_window(self):
        # Without a window manager nobody hands out the input focus; keys go
        # to the focus window, so the program's window takes it.
        self._run("xdotool", "windowfocus", "--sync", self.window)

    def quit(self, answer="alt+n"):
        """Closes the window as a user does and waits for the program to end;
        returns its exit status. When the piece has unsaved changes the
        program asks first; `answer` is the key given to that question
        (alt+n: do not save)."""
        ask_window_to_close(self.env["DISPLAY"], int(self.window))
        if not wait_until(lambda: self.app.poll() is not None, timeout=1.0):
            prompt = self.find_dialog(PROMPT_TITLE)
            check(prompt is not None, "the program neither ended nor asked when closed")
            check(answer is not None, "the program asked about unsaved changes")
            self._run("xdotool", "windowfocus", "--sync", prompt)
            self.key(answer)
        try:
            return self.app.wait(timeout=WAIT)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end when its window was closed") from None

    def find_dialog(self, title, timeout=WAIT):
        """The window id of the program's dialog named `title`, or None."""
        def probe():
            result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                                    env=self.env, capture_output=True, timeout=WAIT)
            ids = [i.decode() for i in result.stdout.split() if i.decode() != self.window]
            return ids[0] if ids else None
        return wait_until(probe, timeout=timeout)

    def sanitizer_reports(self):
        with open(self.app_log, "rb") as log:
            text = log.read().decode(errors="replace")
        return [line for line in text.splitlines()
                if "ERROR: AddressSanitizer" in line or "ERROR: LeakSanitizer" in line
                or "runtime error:" in line]

    def caption(self):
        return self._run("xdotool", "getwindowname", self.window).decode().rstrip("\n")

    def alive(self):
        return self.app is not None and self.app.poll() is None

    def log_tail(self, lines=30):
        try:
            with open(self.app_log, "rb") as log:
                return b"\n".join(log.read().splitlines()[-lines:]).decode(errors="replace")
        except OSError:
            return ""

    def close(self, failed=False):
        if failed and self.artifacts and self.window:
            try:
                os.makedirs(self.artifacts, exist_ok=True)
                self._run("import", "-window", "root",
                          os.path.join(self.artifacts, "screen.png"))
                shutil.copy2(self.app_log, os.path.join(self.artifacts, "program.log"))
            except (Failure, OSError, subprocess.TimeoutExpired):
                pass
        for process in reversed(self.children):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=3)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)

    # -- input ---------------------------------------------------------------

    def _at(self, x, y):
        return str(self.origin[0] + x), str(self.origin[1] + y)

    def move(self, x, y):
        """Moves the pointer to window coordinates x, y. xdotool's --sync waits
        for the pointer to move, so a move to where it is already is skipped."""
        if self.pointer != (x, y):
            self._run("xdotool", "mousemove", "--sync", *self._at(x, y))
            self.pointer = (x, y)

    def click(self, x, y, button=1):
        self.move(x, y)
        self._run("xdotool", "click", str(button))

    def key(self, *keys):
        self._run("xdotool", "key", *keys)

    def type(self, text):
        self._run("xdotool", "type", "--delay", "5", text)

    # -- reading from outside ------------------------------------------------

    def file_bytes(self, name):
        try:
            with open(os.path.join(self.app_dir, name), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def remove_file(self, name):
        try:
            os.remove(os.path.join(self.app_dir, name))
        except FileNotFoundError:
            pass

    def wait_file(self, name, test=lambda data: data is not None):
        """Waits until the bytes of the program's file pass test; returns the
        bytes last read, passing or not."""
        def probe():
            data = self.file_bytes(name)
            return (data,) if test(data) else None
        found = wait_until(probe)
        return found[0] if found else self.file_bytes(name)

    def screenshot(self):
        return Screenshot(self._run("import", "-window", "root", "-depth", "8", "ppm:-"))

    def _clipboard(self):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING"],
                                env=self.env, capture_output=True, timeout=WAIT)
        return result.stdout.decode() if result.returncode == 0 else None

    def _own_clipboard(self, text):
        if self.clipboard_owner is not None and self.clipboard_owner.poll() is None:
            self.clipboard_owner.terminate()
            self.clipboard_owner.wait()
        owner = self._spawn(["xclip", "-i", "-quiet", "-selection", "clipboard"], env=self.env,
                            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
        owner.stdin.write(text.encode())
        owner.stdin.close()
        self.clipboard_owner = owner
        check(wait_until(lambda: self._clipboard() == text), "could not take the clipboard")

    def copy_text(self, x, y):
        """Text of the box at window x, y, by select-all and copy. The box must
        not be empty: an empty selection copies nothing."""
        sentinel = f"<nothing copied {time.monotonic_ns()}>"
        self._own_clipboard(sentinel)
        self.click(x, y)
        self.key("ctrl+a", "ctrl+c")
        text = wait_until(lambda: (lambda t: t if t not in (None, sentinel) else None)(
            self._clipboard()))
        check(text is not None, f"nothing was copied from the box at {x},{y}")
        return text

    def read_text_box(self, x, y):
        """Whole text of a multi-line box at window x, y, empty or not: a marker
        is typed at its end for the copy and removed again."""
        marker = "#"
        sentinel = f"<nothing copied {time.monotonic_ns()}>"
        self._own_clipboard(sentinel)
        self.click(x, y)
        self.key("ctrl+End")
        self.type(marker)
        self.key("ctrl+a", "ctrl+c", "ctrl+End", "BackSpace")
        text = wait_until(lambda: (lambda t: t if t and t.endswith(marker) and t != sentinel
                                   else None)(self._clipboard()))
        check(text is not None, f"nothing was copied from the box at {x},{y}")
        return text[:-len(marker)]

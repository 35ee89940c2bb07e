#!/usr/bin/env python3
"""End-to-end tests: the real velmora binary in a real X window.

Each case starts its own Xvfb, copies the delivered catalog into a fresh working folder, starts the
program there, drives it with xdotool, reads the clipboard with xclip and the files back from the
folder, and checks the exit status. Only the Python standard library is used; the window close
request goes through libX11 by ctypes, because without a window manager nothing else can send it.

    run_e2e.py --binary build/velmora --catalog data/conv.txt --case all
"""

import argparse
import contextlib
import ctypes
import ctypes.util
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

REQUIRED_TOOLS = ("Xvfb", "xdotool", "xclip")
DEPS_HINT = "run scripts/deps.sh to install them (packages xvfb xauth xdotool xclip)"

# Generous, because sanitizer builds start several times slower; they only stop a hang. A busy
# machine stretches them further: it makes the program slower, not wrong.
LOAD_FACTOR = max(1.0, os.getloadavg()[0] / (os.cpu_count() or 1))
WINDOW_TIMEOUT = 30.0 * LOAD_FACTOR
STEP_TIMEOUT = 15.0 * LOAD_FACTOR
TOOL_TIMEOUT = 10.0 * LOAD_FACTOR
POLL_INTERVAL = 0.05

MAIN_CAPTION = "Velmora"
HELP_CAPTION = "Velmora Help"
DATA_FILE = "conv.txt"
SETTINGS_FILE = "conv.ini"
HELP_FILE = "help.chm"
# Written at every closing: the conversion in use, for the next start.
LAST_FILE = "last.txt"


class Failure(Exception):
    pass


class Skipped(Exception):
    """The case cannot run on this machine; CTest reports a run of skipped cases by status 77."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def poll(what, probe, timeout=STEP_TIMEOUT, abort=None):
    """Calls probe until it returns something other than None; abort() may end the wait early
    by returning a reason (for example, the program has exited)."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value is not None:
            return value
        if abort:
            reason = abort()
            if reason:
                raise Failure(f"while waiting for {what}: {reason}")
        if time.monotonic() > deadline:
            raise Failure(f"gave up waiting for {what} after {timeout:.0f} s")
        time.sleep(POLL_INTERVAL)


# ---------------------------------------------------------------------------------------------
# The delivered catalog, read the way the program presents it.


class Catalog:
    def __init__(self, data):
        self.data = data
        self.lines = [line for line in data.split(b"\r\n") if line]
        self.records = []
        for line in self.lines:
            fields = line.decode("utf-8").split("|")
            check(len(fields) >= 5, f"catalog line with fewer than five fields: {line!r}")
            self.records.append(fields)
        self.categories = []
        for fields in self.records:
            if fields[0] not in self.categories:
                self.categories.append(fields[0])

    def from_units(self, category):
        units = []
        for fields in self.records:
            if fields[0] == category and fields[2] not in units:
                units.append(fields[2])
        return units

    def to_units(self, category, from_unit):
        return [f[3] for f in self.records if f[0] == category and f[2] == from_unit]

    def formula(self, category, from_unit, to_unit):
        for fields in self.records:
            if fields[0] == category and fields[2] == from_unit and fields[3] == to_unit:
                return fields[4]
        raise Failure(f"no conversion {from_unit} -> {to_unit} in {category}")

    def with_hidden(self, hidden):
        """The file the program must write when the given categories are hidden."""
        out = []
        for line, fields in zip(self.lines, self.records):
            out.append(line + b"|0" if fields[0] in hidden else line)
        return b"".join(line + b"\r\n" for line in out)


def evaluate(formula, value):
    # The catalog's formulas use numbers, x, + - * / and parentheses with the usual precedence.
    check(re.fullmatch(r"[0-9x.eE+\-*/() ]+", formula), f"unexpected formula {formula!r}")
    return eval(formula.replace("x", f"({value!r})"), {"__builtins__": {}}, {})


def result_text(value, decimals):
    fixed = f"{value:.{decimals}f}"
    # A result that the decimals would show as zero shows three significant digits instead.
    return fixed if value == 0 or any(c in "123456789" for c in fixed) else f"{value:.3g}"


def report(input_text, from_unit, result, to_unit):
    return (f"Input:{' ' * 8}{input_text} {from_unit}\r\n"
            f"Output:{' ' * 7}{result} {to_unit}").encode("utf-8")


def expected_report(catalog, category, from_unit, to_unit, input_text, decimals):
    value = evaluate(catalog.formula(category, from_unit, to_unit), float(input_text))
    # The units are the labels alone: a result in two parts has a line of its own.
    return report(input_text, from_unit, result_text(value, decimals), to_unit)


# ---------------------------------------------------------------------------------------------
# The X server and the tools that talk to it.


class XServer:
    def __init__(self, scratch, screen="1280x1024"):
        self.scratch = scratch
        self.screen = screen
        self.proc = None
        self.display = None

    def start(self):
        read_end, write_end = os.pipe()
        self.log_path = os.path.join(self.scratch, "xvfb.log")
        with open(self.log_path, "wb") as log:
            # -displayfd lets the server take a free display number itself, so runs never
            # collide; -ac lets the unprivileged user of the read-only case connect.
            self.proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{self.screen}x24",
                 "-nolisten", "tcp", "-ac", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                start_new_session=True)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + WINDOW_TIMEOUT
        try:
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(0.0, remaining))
                if not ready:
                    raise Failure("Xvfb did not report its display number")
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise Failure("Xvfb exited before reporting its display: " + self.log())
                number += chunk
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("XAUTHORITY", None)
        poll("the X server to accept connections",
             lambda: True if self.tool(["xdotool", "getmouselocation"], check_rc=False)
             .returncode == 0 else None, timeout=WINDOW_TIMEOUT)

    def log(self):
        try:
            with open(self.log_path, "rb") as log:
                return log.read().decode("utf-8", "replace")[-2000:]
        except OSError:
            return ""

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5)

    def tool(self, args, check_rc=True, timeout=TOOL_TIMEOUT):
        try:
            result = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL,
                                    capture_output=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"{' '.join(args)} did not finish within {timeout:.0f} s")
        if check_rc and result.returncode != 0:
            raise Failure(f"{' '.join(args)} failed: {result.stderr.decode(errors='replace')}")
        return result

    # Windows

    def visible_windows(self, caption):
        result = self.tool(["xdotool", "search", "--onlyvisible", "--name",
                            "^" + re.escape(caption) + "$"], check_rc=False)
        return [int(w) for w in result.stdout.split()]

    def window_name(self, window):
        result = self.tool(["xdotool", "getwindowname", str(window)], check_rc=False)
        return result.stdout.decode("utf-8", "replace").rstrip("\n") if result.returncode == 0 \
            else None

    def window_geometry(self, window):
        """x, y, width and height of the window on the screen."""
        out = self.tool(["xdotool", "getwindowgeometry", "--shell", str(window)]).stdout.decode()
        values = dict(line.split("=", 1) for line in out.split())
        return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def window_size(self, window):
        return self.window_geometry(window)[2:]

    def check_on_screen(self, window):
        """All of the window lies on the screen."""
        x, y, width, height = self.window_geometry(window)
        screen_width, screen_height = (int(v) for v in self.tool(
            ["xdotool", "getdisplaygeometry"]).stdout.split())
        check(x >= 0 and y >= 0 and x + width <= screen_width and y + height <= screen_height,
              f"window {width}x{height} at {x},{y} is not all on the "
              f"{screen_width}x{screen_height} screen")

    def focused_window(self):
        result = self.tool(["xdotool", "getwindowfocus", "-f"], check_rc=False)
        try:
            return int(result.stdout.split()[0])
        except (IndexError, ValueError):
            return None

    def focus(self, window, abort=None):
        """Gives the window the keyboard focus. There is no window manager, so the focus is set
        directly, and checked, because a window that is still mapping refuses it."""
        def attempt():
            self.tool(["xdotool", "windowfocus", str(window)], check_rc=False)
            return True if self.focused_window() == window else None
        poll(f"keyboard focus on window {window}", attempt, abort=abort)

    def key(self, *keys):
        self.tool(["xdotool", "key", "--delay", "30", *keys])

    def type(self, text):
        self.tool(["xdotool", "type", "--delay", "30", text])

    def clipboard(self):
        result = self.tool(["xclip", "-o", "-selection", "clipboard"], check_rc=False)
        return result.stdout if result.returncode == 0 else None

    def request_close(self, window):
        """Sends what a window manager's close box sends: WM_PROTOCOLS with WM_DELETE_WINDOW."""
        name = ctypes.util.find_library("X11") or "libX11.so.6"
        try:
            xlib = ctypes.CDLL(name)
        except OSError as error:
            raise Failure(f"cannot load libX11 to send the close request: {error}")
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        xlib.XInternAtom.restype = ctypes.c_ulong
        xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                    ctypes.c_void_p]
        xlib.XFlush.argtypes = [ctypes.c_void_p]
        xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                        ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                        ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

        class Event(ctypes.Union):
            _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

        display = xlib.XOpenDisplay(self.display.encode())
        check(display, f"cannot open display {self.display}")
        try:
            event = Event()
            event.xclient.type = 33  # ClientMessage
            event.xclient.window = window
            event.xclient.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
            event.xclient.format = 32
            event.xclient.data[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
            event.xclient.data[1] = 0  # CurrentTime
            check(xlib.XSendEvent(display, window, 0, 0, ctypes.byref(event)),
                  "XSendEvent refused the close request")
            xlib.XFlush(display)
        finally:
            xlib.XCloseDisplay(display)

    def screenshot(self, path):
        if shutil.which("import"):
            self.tool(["import", "-window", "root", path], check_rc=False, timeout=30)


# ---------------------------------------------------------------------------------------------
# The program under test.


class Program:
    def __init__(self, case, workdir, user=None, path=None):
        self.case = case
        self.x = case.x
        self.workdir = workdir
        self.user = user
        self.path = path
        self.proc = None
        self.log_path = os.path.join(case.scratch, f"program-{len(case.programs)}.log")
        case.programs.append(self)

    def start(self):
        env = dict(self.x.env)
        env.update(
            QT_QPA_PLATFORM="xcb",
            HOME=self.case.home,
            XDG_RUNTIME_DIR=self.case.runtime,
            XDG_CONFIG_HOME=os.path.join(self.case.home, ".config"),
            XDG_CACHE_HOME=os.path.join(self.case.home, ".cache"),
            # Qt's platform plugins keep allocations until exit that are not ours to free;
            # memory errors are still reported, only the leak summary is off.
            ASAN_OPTIONS="detect_leaks=0",
        )
        env.update(self.case.program_env)
        env.pop("WAYLAND_DISPLAY", None)
        if self.path is not None:
            env["PATH"] = self.path
        command = [self.case.binary]
        if self.user:
            command = ["setpriv", f"--reuid={self.user[0]}", f"--regid={self.user[1]}",
                       "--clear-groups", "--"] + command
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen(command, cwd=self.workdir, env=env,
                                         stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                         start_new_session=True)

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def exited(self):
        """For poll(): a reason to stop waiting when the program is gone."""
        if self.proc.poll() is not None:
            return f"the program exited with status {self.proc.returncode}; its output:\n" \
                   + self.output()
        return None

    def output(self):
        try:
            with open(self.log_path, "rb") as log:
                return log.read().decode("utf-8", "replace")[-4000:]
        except OSError:
            return ""

    def wait_exit(self, timeout=WINDOW_TIMEOUT, forbidden_caption=None, known=()):
        """Waits for the program to end and returns its status. A window with forbidden_caption
        appearing meanwhile is a failure, since nothing more may be shown; known windows are
        those just dismissed, which may take a moment to go."""
        def probe():
            if self.proc.poll() is not None:
                return self.proc.returncode
            if forbidden_caption and set(self.x.visible_windows(forbidden_caption)) - set(known):
                raise Failure(f"an unexpected '{forbidden_caption}' window appeared")
            return None
        return poll("the program to exit", probe, timeout)

    def kill(self):
        if self.proc and self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                pass

    # Driving

    def wait_window(self, caption, exclude=(), timeout=WINDOW_TIMEOUT):
        def probe():
            found = [w for w in self.x.visible_windows(caption) if w not in exclude]
            return found[0] if found else None
        return poll(f"a window captioned '{caption}'", probe, timeout, abort=self.exited)

    def focus(self, window):
        self.x.focus(window, abort=self.exited)

    def main_window(self):
        return self.wait_window(MAIN_CAPTION)

    def copy_and_expect(self, window, expected):
        """Ctrl+C, then waits until the clipboard holds expected. Waiting (rather than reading
        once) also makes this the point where every key sent before has been handled."""
        # Only a change of the clipboard proves the keys were handled.
        check(self.x.clipboard() != expected,
              f"the test must change the report before copying it again: {expected!r}")
        self.focus(window)
        self.x.key("ctrl+c")
        last = []

        def probe():
            content = self.x.clipboard()
            last[:] = [content]
            return True if content == expected else None
        try:
            poll("the clipboard to hold the report", probe, abort=self.exited)
        except Failure as failure:
            raise Failure(f"{failure}\n  expected: {expected!r}\n  clipboard: {last[0]!r}")

    def open_dialog(self, window, menu_keys, caption):
        """Opens a dialog from the menu and returns its window, focused."""
        self.focus(window)
        self.x.key(*menu_keys)
        dialog = self.wait_window(caption)
        self.focus(dialog)
        return dialog, caption

    def close_dialog(self, dialog, keys):
        window, caption = dialog
        self.x.key(*keys)
        poll(f"the '{caption}' dialog to close",
             lambda: True if window not in self.x.visible_windows(caption) else None,
             abort=self.exited)

    def file_exit(self, window):
        self.focus(window)
        self.x.key("alt+f")
        self.x.key("x")

    def exit_cleanly(self, window):
        """File > Exit, and the program ends with status 0 and no message box."""
        self.file_exit(window)
        status = self.wait_exit(forbidden_caption="Error")
        check(status == 0, f"exit status {status}, expected 0")


# ---------------------------------------------------------------------------------------------
# Cases.


class Case:
    def __init__(self, args, name):
        self.name = name
        self.binary = os.path.abspath(args.binary)
        with open(args.catalog, "rb") as data:
            self.catalog_bytes = data.read()
        self.catalog = Catalog(self.catalog_bytes)
        self.help_chm = args.help_chm
        self.names_file = os.path.join(os.path.dirname(os.path.abspath(args.catalog)), "names.txt")
        check(len(self.catalog.categories) >= 4,
              "the delivered catalog needs at least four categories for these cases")
        self.artifacts = args.artifacts
        self.screenshot_path = args.screenshot
        self.programs = []
        # Under /tmp whatever TMPDIR says, and open to all: the unprivileged user of the
        # read-only case must reach the folders inside.
        self.scratch = tempfile.mkdtemp(prefix=f"velmora-e2e-{name}-",
                                        dir="/tmp" if os.path.isdir("/tmp") else None)
        os.chmod(self.scratch, 0o755)
        self.folders = 0
        self.home = self.make_dir("home", 0o700)
        self.runtime = self.make_dir("runtime", 0o700)
        self.x = XServer(self.scratch, CASE_SCREENS.get(name, "1280x1024"))
        self.program_env = CASE_ENVIRONMENTS.get(name, {})

    def use_catalog(self, data):
        """Runs the following programs on the given catalog instead of the delivered one."""
        self.catalog_bytes = data
        self.catalog = Catalog(data)

    def make_dir(self, name, mode):
        path = os.path.join(self.scratch, name)
        os.mkdir(path)
        os.chmod(path, mode)
        return path

    def working_folder(self, with_catalog=True, with_help=False):
        self.folders += 1
        folder = self.make_dir(f"work{self.folders}", 0o755)
        if with_catalog:
            with open(os.path.join(folder, DATA_FILE), "wb") as data:
                data.write(self.catalog_bytes)
        if with_help:
            check(self.help_chm and os.path.isfile(self.help_chm),
                  "this case needs the built help file: --help-chm")
            shutil.copyfile(self.help_chm, os.path.join(folder, HELP_FILE))
        return folder

    def program(self, folder, user=None, path=None):
        program = Program(self, folder, user, path)
        program.start()
        return program

    def cleanup(self):
        for program in self.programs:
            program.kill()
        self.x.stop()
        for root, dirs, _ in os.walk(self.scratch):
            for name in dirs:
                try:
                    os.chmod(os.path.join(root, name), 0o755)
                except OSError:
                    pass
        shutil.rmtree(self.scratch, ignore_errors=True)

    def take_screenshot(self):
        if self.screenshot_path:
            self.x.screenshot(self.screenshot_path)

    def diagnostics(self):
        if self.x.display and self.artifacts:
            path = os.path.join(self.artifacts, f"e2e_{self.name}_failure.png")
            self.x.screenshot(path)
            if os.path.exists(path):
                print(f"screenshot of the failure: {path}")
        for program in self.programs:
            print(f"--- output of {program.log_path}:\n{program.output()}")


def read(folder, name):
    with open(os.path.join(folder, name), "rb") as file:
        return file.read()


def start_typing(case, folder, text):
    """Starts the program in folder and types text into the input field."""
    program = case.program(folder)
    window = program.main_window()
    program.focus(window)
    # Focus starts in the From list; two tabs reach the input field.
    case.x.key("Tab", "Tab")
    case.x.type(text)
    return program, window


def first_conversion(catalog, category_index):
    category = catalog.categories[category_index]
    from_unit = catalog.from_units(category)[0]
    return category, from_unit, catalog.to_units(category, from_unit)[0]


def case_startup(case):
    """The window appears with its caption, no message box, an empty result, and the folder gets
    nothing but the settings file when the user leaves by File > Exit."""
    folder = case.working_folder()
    inode = os.stat(os.path.join(folder, DATA_FILE)).st_ino
    program = case.program(folder)
    window = program.main_window()
    check(case.x.window_name(window) == MAIN_CAPTION, "main window caption")
    width, height = case.x.window_size(window)
    check(width > 300 and height > 300, f"main window is only {width}x{height}")
    # After start-up the input and result are empty, so the report is the placeholder. This also
    # proves the window handles keys before the message box check below.
    program.copy_and_expect(window, b"no current conversion")
    check(not case.x.visible_windows("Error"), "a message box appeared at start-up")
    check(program.running(), "the program ended by itself")
    case.take_screenshot()
    program.exit_cleanly(window)
    check(sorted(os.listdir(folder)) == sorted([DATA_FILE, SETTINGS_FILE, LAST_FILE]),
          f"folder holds {sorted(os.listdir(folder))}")
    check(read(folder, SETTINGS_FILE) == b"1", "a first start writes precision 1")
    check(read(folder, DATA_FILE) == case.catalog_bytes, "unchanged catalog was altered")
    check(os.stat(os.path.join(folder, DATA_FILE)).st_ino == inode,
          "an unchanged catalog was rewritten")


def case_lean_start(case):
    """The shown window has loaded no image-format or icon-engine plugin, no SVG library and no
    print support: what a machine has installed must not change the start. File > Print then
    loads the print plugin from the program's folder."""
    program = case.program(case.working_folder())
    window = program.main_window()

    def loaded(pattern):
        with open(f"/proc/{program.proc.pid}/maps") as maps:
            paths = {line.split()[-1] for line in maps if "/" in line}
        check(any("libQt6Widgets" in path for path in paths), "not the program's memory map")
        return sorted(path for path in paths if re.search(pattern, path))
    # A handled key: the first paint is done.
    program.copy_and_expect(window, b"no current conversion")
    unwanted = loaded(r"/imageformats/|/iconengines/|Qt6Svg|PrintSupport|velmora_print")
    check(not unwanted, f"loaded at start: {', '.join(unwanted)}")
    dialog = program.open_dialog(window, ["alt+f", "p"], "Print")
    check(len(loaded(r"libQt6PrintSupport|/libvelmora_print\.so")) == 2, "Print loaded no plugin")
    program.close_dialog(dialog, ["Escape"])
    program.exit_cleanly(window)


def case_copy_report(case):
    """A typed value gives the report of the first conversion; Enter and Escape leave the
    window and the input alone."""
    catalog = case.catalog
    category, from_unit, to_unit = first_conversion(catalog, 0)
    folder = case.working_folder()
    program, window = start_typing(case, folder, "12")
    program.copy_and_expect(window, expected_report(catalog, category, from_unit, to_unit,
                                                    "12", 1))
    case.x.key("Return", "Escape", "KP_Enter")
    case.x.type("5")
    program.copy_and_expect(window, expected_report(catalog, category, from_unit, to_unit,
                                                    "125", 1))
    check(program.running(), "Enter or Escape ended the program")
    # A value with a fraction, so the result needs its decimal rounded.
    case.x.key("ctrl+a", "BackSpace")
    case.x.type("0.01234")
    program.copy_and_expect(window, expected_report(catalog, category, from_unit, to_unit,
                                                    "0.01234", 1))
    program.exit_cleanly(window)


def case_choose_units(case):
    """Another From entry, another To entry and another tab change the report's units."""
    catalog = case.catalog
    first, second = catalog.categories[0], catalog.categories[1]
    folder = case.working_folder()
    program, window = start_typing(case, folder, "12")
    from0 = catalog.from_units(first)[0]
    program.copy_and_expect(window, expected_report(
        catalog, first, from0, catalog.to_units(first, from0)[0], "12", 1))

    # Back to the From list; Ctrl+C there copies the report, not the list's item.
    case.x.key("shift+Tab", "shift+Tab", "Down")
    from1 = catalog.from_units(first)[1]
    program.copy_and_expect(window, expected_report(
        catalog, first, from1, catalog.to_units(first, from1)[0], "12", 1))
    case.x.key("Tab", "Down")
    program.copy_and_expect(window, expected_report(
        catalog, first, from1, catalog.to_units(first, from1)[1], "12", 1))

    # To list -> input -> result -> tab strip; Right picks the next category.
    case.x.key("Tab", "Tab", "Tab", "Right")
    from0 = catalog.from_units(second)[0]
    program.copy_and_expect(window, expected_report(
        catalog, second, from0, catalog.to_units(second, from0)[0], "12", 1))

    case.x.key("shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab", "Down", "Tab", "Down")
    from1 = catalog.from_units(second)[1]
    program.copy_and_expect(window, expected_report(
        catalog, second, from1, catalog.to_units(second, from1)[1], "12", 1))
    program.exit_cleanly(window)


def hide_in_options(program, window, positions):
    """Opens Options and toggles the rows at the given positions (all start selected)."""
    dialog = program.open_dialog(window, ["alt+c", "o"], "Options")
    keys, row = [], 0
    for position in sorted(positions):
        keys += ["Down"] * (position - row) + ["space"]
        row = position
    program.x.key(*keys)
    return dialog


def case_options_hide(case):
    """Cancel changes nothing; hiding categories drops their tabs, and File > Exit rewrites the
    catalog with those lines marked hidden and everything else as it was."""
    catalog = case.catalog
    names = catalog.categories
    folder = case.working_folder()
    program, window = start_typing(case, folder, "12")
    c0 = first_conversion(catalog, 0)
    program.copy_and_expect(window, expected_report(catalog, *c0, "12", 1))

    dialog = hide_in_options(program, window, [0])
    program.close_dialog(dialog, ["Escape"])
    program.focus(window)
    case.x.type("3")
    program.copy_and_expect(window, expected_report(catalog, *c0, "123", 1))

    dialog = hide_in_options(program, window, [0, 2])
    program.close_dialog(dialog, ["Return"])
    program.focus(window)
    # The first tab is now the second category: typing recomputes for its first conversion.
    case.x.type("4")
    program.copy_and_expect(window, expected_report(catalog, *first_conversion(catalog, 1),
                                                    "1234", 1))
    # Input -> result -> tab strip; the next tab skips the hidden third category.
    case.x.key("Tab", "Tab", "Right")
    program.copy_and_expect(window, expected_report(catalog, *first_conversion(catalog, 3),
                                                    "1234", 1))
    # The last tab is the last category: the strip holds one tab per shown category, no more.
    case.x.key("End")
    program.copy_and_expect(window, expected_report(
        catalog, *first_conversion(catalog, len(names) - 1), "1234", 1))
    program.exit_cleanly(window)
    written = read(folder, DATA_FILE)
    expected = catalog.with_hidden({names[0], names[2]})
    if written != expected:
        raise Failure("rewritten catalog differs from the expected one: "
                      + first_difference(expected, written))
    check(read(folder, SETTINGS_FILE) == b"1", "settings file")
    # The conversion left, with its value, became a recent one.
    check(sorted(os.listdir(folder)) == sorted([DATA_FILE, SETTINGS_FILE, LAST_FILE,
                                                "recent.txt"]),
          f"folder holds {sorted(os.listdir(folder))}")


def case_edited_meanwhile(case):
    """After Options OK the result belongs to the conversion now shown; a catalog edited on disk
    while the program runs keeps those edits at close, with the Options choice applied."""
    catalog = case.catalog
    names = catalog.categories
    folder = case.working_folder()
    program, window = start_typing(case, folder, "12")
    dialog = hide_in_options(program, window, [0])
    program.close_dialog(dialog, ["Return"])
    program.focus(window)
    program.copy_and_expect(window, expected_report(catalog, *first_conversion(catalog, 1),
                                                    "12", 1))

    # An editor changes the last line's formula and adds a category meanwhile.
    fields = catalog.records[-1]
    last = "|".join(fields[:4] + ["x*2"] + fields[5:]).encode("utf-8")
    edited = Catalog(b"".join(line + b"\r\n" for line in catalog.lines[:-1] + [last])
                     + b"Added|n|One|Two|x*3\r\n")
    with open(os.path.join(folder, DATA_FILE), "wb") as data:
        data.write(edited.data)
    program.exit_cleanly(window)
    written = read(folder, DATA_FILE)
    expected = edited.with_hidden({names[0]})
    if written != expected:
        raise Failure("the catalog written at close lost an edit or the Options choice: "
                      + first_difference(expected, written))


def first_difference(expected, actual):
    expected_lines, actual_lines = expected.split(b"\n"), actual.split(b"\n")
    for number, (want, got) in enumerate(zip(expected_lines, actual_lines), 1):
        if want != got:
            return f"line {number}: expected {want!r}, got {got!r}"
    return f"{len(expected_lines)} lines expected, {len(actual_lines)} written"


def case_precision(case):
    """Precision 3 shows three decimals and is saved; the next start reads it back; the arrow
    keys step it, and Cancel keeps the last value."""
    catalog = case.catalog
    c0 = first_conversion(catalog, 0)
    folder = case.working_folder()
    inode = os.stat(os.path.join(folder, DATA_FILE)).st_ino
    program, window = start_typing(case, folder, "12.3456")
    program.copy_and_expect(window, expected_report(catalog, *c0, "12.3456", 1))

    # The edit opens with its text selected, so typing replaces it; "31" is out of range and
    # falls back to the "3" before it.
    dialog = program.open_dialog(window, ["alt+c", "p"], "Precision")
    case.x.type("31")
    program.close_dialog(dialog, ["Return"])
    program.copy_and_expect(window, expected_report(catalog, *c0, "12.3456", 3))
    program.exit_cleanly(window)
    settings = read(folder, SETTINGS_FILE)
    check(settings == b"3", f"settings file holds {settings!r}, expected b'3'")
    check(read(folder, DATA_FILE) == case.catalog_bytes, "catalog altered")
    check(os.stat(os.path.join(folder, DATA_FILE)).st_ino == inode,
          "an unchanged catalog was rewritten")

    program, window = start_typing(case, folder, "12.3456")
    program.copy_and_expect(window, expected_report(catalog, *c0, "12.3456", 3))
    dialog = program.open_dialog(window, ["alt+c", "p"], "Precision")
    case.x.key("Up")
    program.close_dialog(dialog, ["Return"])
    program.copy_and_expect(window, expected_report(catalog, *c0, "12.3456", 4))
    dialog = program.open_dialog(window, ["alt+c", "p"], "Precision")
    case.x.key("Down", "Down")
    program.close_dialog(dialog, ["Escape"])
    program.focus(window)
    case.x.type("7")
    program.copy_and_expect(window, expected_report(catalog, *c0, "12.34567", 4))
    program.exit_cleanly(window)
    settings = read(folder, SETTINGS_FILE)
    check(settings == b"4", f"settings file holds {settings!r}, expected b'4'")


def case_load_failure(case):
    """Without a catalog: one message box captioned Error, no main window, a non-zero exit and
    nothing written."""
    folder = case.working_folder(with_catalog=False)
    program = case.program(folder)
    box = program.wait_window("Error")
    check(not case.x.visible_windows(MAIN_CAPTION), "the main window showed despite the failure")
    case.take_screenshot()
    program.focus(box)
    case.x.key("Return")
    status = program.wait_exit(forbidden_caption="Error", known=(box,))
    check(status != 0, "a failed load must end with a non-zero exit status")
    check(os.listdir(folder) == [], f"files written after a failed load: {os.listdir(folder)}")


def unprivileged_user():
    """Who runs the program in the read-only case: as root, permissions do not stop writes."""
    if os.geteuid() != 0:
        return None
    check(shutil.which("setpriv"), "setpriv (util-linux) is needed to drop root for this case")
    import pwd
    import grp
    user = pwd.getpwnam("nobody")
    return str(user.pw_uid), str(grp.getgrgid(user.pw_gid).gr_gid)


def case_read_only_folder(case):
    """In a folder that cannot be written: leaving without changes shows the settings message
    alone; after an Options change both messages show in turn; the catalog stays byte for byte
    and no temporary file remains."""
    user = unprivileged_user()
    if user:
        for path in (case.home, case.runtime):
            os.chown(path, int(user[0]), int(user[1]))
        reachable = subprocess.run(
            ["setpriv", f"--reuid={user[0]}", f"--regid={user[1]}", "--clear-groups", "--",
             "test", "-x", case.binary], timeout=TOOL_TIMEOUT).returncode == 0
        if not reachable:
            # A build folder under a private home: a copy runs the same (its libraries are
            # either static or the system's).
            copy = os.path.join(case.make_dir("bin", 0o755), "velmora")
            shutil.copy2(case.binary, copy)
            os.chmod(copy, 0o755)
            case.binary = copy
    folder = case.working_folder()
    os.chmod(os.path.join(folder, DATA_FILE), 0o444)
    os.chmod(folder, 0o555)

    # No change: only the settings file is due, and it cannot be written.
    program = case.program(folder, user)
    window = program.main_window()
    program.copy_and_expect(window, b"no current conversion")
    program.file_exit(window)
    box = program.wait_window("Error")
    settings_box_size = case.x.window_size(box)
    program.focus(box)
    case.x.key("Return")
    status = program.wait_exit(forbidden_caption="Error", known=(box,))
    check(status == 0, f"exit status {status}, expected 0")
    check(os.listdir(folder) == [DATA_FILE], f"folder holds {os.listdir(folder)}")
    check(read(folder, DATA_FILE) == case.catalog_bytes, "catalog altered")

    # A changed catalog: its message comes first, then the settings message.
    program = case.program(folder, user)
    window = program.main_window()
    dialog = hide_in_options(program, window, [0])
    program.close_dialog(dialog, ["Return"])
    program.file_exit(window)
    first = program.wait_window("Error")
    check(len(case.x.visible_windows("Error")) == 1, "two message boxes at once")
    first_size = case.x.window_size(first)
    case.take_screenshot()
    program.focus(first)
    case.x.key("Return")
    second = program.wait_window("Error", exclude=(first,))
    second_size = case.x.window_size(second)
    # The texts cannot be read from outside the program; the boxes' sizes tell them apart: the
    # second has the settings message of the first run, the first a different one.
    check(second_size == settings_box_size,
          f"second box {second_size} differs from the settings message box {settings_box_size}")
    check(first_size != settings_box_size,
          f"first box {first_size} looks like the settings message box {settings_box_size}")
    program.focus(second)
    case.x.key("Return")
    status = program.wait_exit(forbidden_caption="Error", known=(first, second))
    check(status == 0, f"exit status {status}, expected 0")
    check(os.listdir(folder) == [DATA_FILE], f"folder holds {os.listdir(folder)}")
    check(read(folder, DATA_FILE) == case.catalog_bytes, "catalog altered")

    # Files that may be written, in the same folder: both are written in place, no message.
    os.chmod(folder, 0o755)
    os.chmod(os.path.join(folder, DATA_FILE), 0o666)
    with open(os.path.join(folder, SETTINGS_FILE), "wb") as settings:
        settings.write(b"3\r\nleft by hand\r\n")
    os.chmod(os.path.join(folder, SETTINGS_FILE), 0o666)
    os.chmod(folder, 0o555)
    program = case.program(folder, user)
    window = program.main_window()
    dialog = hide_in_options(program, window, [0])
    program.close_dialog(dialog, ["Return"])
    program.exit_cleanly(window)
    check(sorted(os.listdir(folder)) == sorted([DATA_FILE, SETTINGS_FILE]),
          f"folder holds {os.listdir(folder)}")
    check(read(folder, DATA_FILE) == case.catalog.with_hidden({case.catalog.categories[0]}),
          "catalog not written in place")
    check(read(folder, SETTINGS_FILE) == b"3", "settings not written in place")


def case_close_box(case):
    """Closing by the close box saves as File > Exit does: the changed catalog and the
    settings."""
    catalog = case.catalog
    folder = case.working_folder()
    program = case.program(folder)
    window = program.main_window()
    dialog = hide_in_options(program, window, [1])
    program.close_dialog(dialog, ["Return"])
    program.focus(window)
    case.x.key("Tab", "Tab")
    case.x.type("12")
    program.copy_and_expect(window, expected_report(catalog, *first_conversion(catalog, 0),
                                                    "12", 1))
    case.x.request_close(window)
    status = program.wait_exit(forbidden_caption="Error")
    check(status == 0, f"exit status {status}, expected 0")
    written = read(folder, DATA_FILE)
    expected = catalog.with_hidden({catalog.categories[1]})
    if written != expected:
        raise Failure("rewritten catalog differs: " + first_difference(expected, written))
    check(read(folder, SETTINGS_FILE) == b"1", "settings file")


def case_help(case):
    """Help > Contents opens the program's own help window, with nothing on the PATH that could
    show a CHM file; F1 in a dialog brings up the same one window and Escape closes it; without
    help.chm nothing opens; a damaged help.chm is said to be so, and the program runs on."""
    folder = case.working_folder(with_help=True)
    program = case.program(folder, path=case.make_dir("empty-path", 0o755))
    window = program.main_window()
    program.focus(window)
    case.x.key("alt+h", "c")
    help_window = program.wait_window(HELP_CAPTION)
    check(case.x.window_name(help_window) == HELP_CAPTION, "help window caption")
    width, height = case.x.window_size(help_window)
    check(width > 300 and height > 200, f"help window is only {width}x{height}")
    case.take_screenshot()

    dialog_window, caption = program.open_dialog(window, ["alt+c", "o"], "Options")
    case.x.key("F1")
    # The help comes to the front; the dialog stays open behind it.
    poll("the help window to take the focus",
         lambda: True if case.x.focused_window() == help_window else None, abort=program.exited)
    check(case.x.visible_windows(HELP_CAPTION) == [help_window], "a second help window opened")
    case.x.key("Escape")
    poll("Escape to close the help window",
         lambda: None if case.x.visible_windows(HELP_CAPTION) else True, abort=program.exited)
    program.focus(dialog_window)
    program.close_dialog((dialog_window, caption), ["Escape"])
    program.exit_cleanly(window)
    check(sorted(os.listdir(folder)) == sorted([DATA_FILE, SETTINGS_FILE, HELP_FILE, LAST_FILE]),
          f"folder holds {sorted(os.listdir(folder))}")

    folder = case.working_folder()
    program = case.program(folder)
    window = program.main_window()
    program.focus(window)
    case.x.key("alt+h", "c", "F1")
    # Once the copy is seen, the keys before it have been handled.
    program.copy_and_expect(window, b"no current conversion")
    check(not case.x.visible_windows(HELP_CAPTION), "a help window opened without help.chm")
    check(not case.x.visible_windows("Error"), "a message appeared without help.chm")
    program.exit_cleanly(window)

    # One byte that made the CHM library crash.
    folder = case.working_folder(with_help=True)
    with open(os.path.join(folder, HELP_FILE), "r+b") as chm:
        chm.seek(0x223e)
        chm.write(b"\x20")
    program = case.program(folder)
    window = program.main_window()
    program.focus(window)
    case.x.key("F1")
    box = program.wait_window("Error")
    program.focus(box)
    case.x.key("Return")
    poll("the message to close", lambda: None if case.x.visible_windows("Error") else True,
         abort=program.exited)
    check(not case.x.visible_windows(HELP_CAPTION), "a help window opened for a damaged file")
    program.exit_cleanly(window)


def generated_catalog(count):
    """count categories of one conversion each, with distinct units and factors."""
    return b"".join(f"Category {i}|Unit {i} to Base|Unit {i}|Base|x*{i + 1}\r\n".encode()
                    for i in range(count))


def case_many_categories(case):
    """With 200 and 5,000 categories the window lies on the screen, converts, and the keyboard
    reaches the last category's tab."""
    for count in (200, 5000):
        case.use_catalog(generated_catalog(count))
        catalog = case.catalog
        program, window = start_typing(case, case.working_folder(), "12")
        case.x.check_on_screen(window)
        program.copy_and_expect(window, expected_report(catalog, *first_conversion(catalog, 0),
                                                        "12", 1))
        if count == 200:
            case.take_screenshot()
        # Input -> result -> tab strip; End picks the last tab.
        case.x.key("Tab", "Tab", "End")
        program.copy_and_expect(window, expected_report(
            catalog, *first_conversion(catalog, count - 1), "12", 1))
        case.x.check_on_screen(window)
        program.exit_cleanly(window)


def case_scale2(case):
    """The delivered catalog at scale factor 2 on a 1920x1080 screen: all of the window is on the
    screen and every tab is still reached."""
    catalog = case.catalog
    program, window = start_typing(case, case.working_folder(), "12")
    case.x.check_on_screen(window)
    program.copy_and_expect(window, expected_report(catalog, *first_conversion(catalog, 0),
                                                    "12", 1))
    case.take_screenshot()
    case.x.key("Tab", "Tab", "End")
    program.copy_and_expect(window, expected_report(
        catalog, *first_conversion(catalog, len(catalog.categories) - 1), "12", 1))
    program.exit_cleanly(window)


def case_find(case):
    """Ctrl+F, a few words and Enter choose a conversion on another tab; the input keeps its text,
    selected, so typing replaces it. Find Conversion from the menu and Escape change nothing."""
    catalog = case.catalog
    category = "Temperature"
    from_unit, to_unit = "Degrees Celsius", "Degrees Fahrenheit"
    check(category in catalog.categories and to_unit in catalog.to_units(category, from_unit),
          f"the delivered catalog needs {category}: {from_unit} to {to_unit}")
    check(catalog.categories[0] != category, f"{category} must not be the first tab")
    folder = case.working_folder()
    shutil.copyfile(case.names_file, os.path.join(folder, "names.txt"))
    program, window = start_typing(case, folder, "12")
    program.copy_and_expect(window, expected_report(catalog, *first_conversion(catalog, 0),
                                                    "12", 1))

    # A value glued to one symbol: the unit's usual counterpart is the first match.
    dialog = program.open_dialog(window, ["ctrl+f"], "Find Conversion")
    case.x.type("5mi")
    program.close_dialog(dialog, ["Return"])
    program.focus(window)
    case.x.key("End")
    program.copy_and_expect(window, expected_report(catalog, "Length", "Miles (international)",
                                                    "Kilometers", "5", 1))

    # Words that only look like the units' names are offered, and Enter takes one only once the
    # user has moved to it.
    dialog = program.open_dialog(window, ["ctrl+f"], "Find Conversion")
    case.x.type("deg cel to fahr")
    program.close_dialog(dialog, ["Return", "Down", "Return"])
    program.focus(window)
    case.x.type("100")
    program.copy_and_expect(window, expected_report(catalog, category, from_unit, to_unit,
                                                    "100", 1))

    dialog = program.open_dialog(window, ["alt+c", "f"], "Find Conversion")
    case.x.type("kelvin")
    program.close_dialog(dialog, ["Escape"])
    program.focus(window)
    case.x.key("End")
    case.x.type("0")
    program.copy_and_expect(window, expected_report(catalog, category, from_unit, to_unit,
                                                    "1000", 1))
    program.exit_cleanly(window)


def case_values(case):
    """Values as people write them, in the input field and in Find; a tiny result keeps its
    digits; Swap and Copy Result; Ctrl+C right after Find copies the report, not the input."""
    folder = case.working_folder()
    shutil.copyfile(case.names_file, os.path.join(folder, "names.txt"))
    program = case.program(folder)
    window = program.main_window()

    def find(query):
        dialog = program.open_dialog(window, ["ctrl+f"], "Find Conversion")
        case.x.type(query)
        program.close_dialog(dialog, ["Return"])

    # Feet to centimeters, then feet and inches typed over the selected value: 71 in is 180.34 cm.
    find("ft to cm")
    case.x.type("5 ft 11 in")
    # The report's unit is the label alone; the units read show on a line of their own.
    program.copy_and_expect(window, report("5 ft 11 in", "Feet (international)", "180.3",
                                           "Centimeters"))
    # Half a US cup is 118.29 ml; Ctrl+C at once copies the report, not the selected "1/2".
    find("1/2 cup to ml")
    program.copy_and_expect(window, report("1/2", "Cups (US customary)", "118.3", "Milliliters"))
    # 1 Btu is 0.000293 kWh, which one decimal would show as 0.0.
    find("1 btu to kwh")
    program.copy_and_expect(window, report("1", "British thermal units (IT)", "0.000293",
                                           "Kilowatt-hours"))
    # Swapped, the value stays: 1 kWh is 3412.14 Btu.
    case.x.key("ctrl+r")
    program.copy_and_expect(window, report("1", "Kilowatt-hours", "3412.1",
                                           "British thermal units (IT)"))
    case.x.key("ctrl+shift+c")
    poll("Copy Result to fill the clipboard",
         lambda: True if case.x.clipboard() == b"3412.1 British thermal units (IT)" else None,
         abort=program.exited)
    program.exit_cleanly(window)


def atspi_listener(path):
    """On the case's session bus, writes each focus, text, name and description event to path."""
    import pyatspi

    def said(get):
        try:
            return get()
        except Exception:  # a source already gone says nothing
            return None
    out = open(path, "a", buffering=1)
    source = {"name": lambda s: s.name, "role": lambda s: s.getRoleName(),
              "parent": lambda s: s.parent.name, "description": lambda s: s.description}
    # Names too, or the client would keep each name it has seen.
    pyatspi.Registry.registerEventListener(lambda e: out.write(json.dumps(dict(
        {key: said(lambda: get(e.source)) for key, get in source.items()}, type=e.type,
        detail=e.detail1, data=said(lambda: str(e.any_data)))) + "\n"),
        "object:state-changed:focused", "object:text-changed",
        "object:property-change:accessible-description", "object:property-change:accessible-name")
    out.write("ready\n")
    pyatspi.Registry.start()


def case_accessibility(case):
    """Through a real AT-SPI client, while the test types, moves in From, changes the tab and uses
    Find: a list's or the tabs' entry is focused only right after its own list, which has the
    keyboard; the result field's text changes arrive; the input's description gives the result."""
    catalog, path = case.catalog, os.path.join(case.scratch, "atspi.jsonl")
    env = dict(case.x.env, HOME=case.home, XDG_RUNTIME_DIR=case.runtime)
    with open(path, "w"), open(os.path.join(case.scratch, "listener.log"), "wb") as log:
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               env=env, stdout=subprocess.PIPE, stderr=log, start_new_session=True)
        env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        # The system's Python, which Debian's pyatspi belongs to.
        listener = subprocess.Popen(["/usr/bin/python3", __file__, "--atspi-listener", path],
                                    env=env, stdout=log, stderr=log, start_new_session=True)
    events = lambda: [json.loads(line) for line in open(path) if line.startswith("{")]

    def until(what, done):
        poll(what, lambda: True if any(map(done, events())) else None, abort=program.exited)

    def described(category, from_unit, to_unit, value):
        shown = result_text(evaluate(catalog.formula(category, from_unit, to_unit), value), 1)
        return lambda e: e["description"] == f"Result: {shown} {to_unit}"
    try:
        poll("the AT-SPI listener", lambda: True if "ready" in open(path).read() else None,
             WINDOW_TIMEOUT, abort=lambda: listener.poll() is not None and open(log.name).read())
        case.program_env = {"DBUS_SESSION_BUS_ADDRESS": env["DBUS_SESSION_BUS_ADDRESS"],
                            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}
        program = case.program(case.working_folder())
        window = program.main_window()
        program.focus(window)
        (length, *first), (area, *second) = (first_conversion(catalog, i) for i in (0, 1))
        # The toolkit joins the accessibility bus on its own time: the focus goes to To and back
        # until the From list's focus is heard.
        poll("the From list's focus", lambda: case.x.key("Tab", "shift+Tab") or (True if any(
            e["parent"] == "From" for e in events()) else None), abort=program.exited)
        case.x.key("Tab", "Tab", "5")
        until("the result in the input's description", described(length, *first, 5))
        until("the result field's text change", lambda e: e["type"].endswith(":insert") and
              (e["name"] or "").startswith("Conversion result,") and e["data"][0].isdigit())
        case.x.key("shift+Tab", "shift+Tab", "Down")
        meters = catalog.from_units(length)[1]
        until("Down in From", described(length, meters, catalog.to_units(length, meters)[0], 5))
        case.x.key(*["Tab"] * 4, "Right")
        until("Right on the tabs", described(area, *second, 5))
        dialog = program.open_dialog(window, ["ctrl+f"], "Find Conversion")
        case.x.type("deg cel to fahr")
        program.close_dialog(dialog, ["Down", "Return"])
        program.focus(window)
        case.x.type("100")
        until("Find's choice", described("Temperature", "Degrees Celsius", "Degrees Fahrenheit",
                                         100))
        focus = [e for e in events() if e["type"].endswith(":focused") and e["detail"] == 1]
        wrong = [f"{e['role']} {e['name']!r} after {before['name']!r}" for before, e in
                 zip(focus, focus[1:]) if e["role"] in ("list item", "page tab") and
                 e["parent"] not in (before["name"], before["parent"])]
        check(not wrong, f"focus announced for entries without the keyboard: {wrong}")
        check(focus[-1]["name"] == "Input value to convert, Degrees Celsius",
              f"the last focus is not the input field's: {focus[-1]}")
        program.exit_cleanly(window)
    finally:
        for process in (listener, bus):  # the bus with the accessibility services it started
            with contextlib.suppress(ProcessLookupError):
                os.killpg(process.pid, signal.SIGTERM)
            process.wait(5)


SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)' ?\{'established'")


def case_orca(case):
    """What Orca 43 says by its debug log, with speech-dispatcher's dummy module, on the case's own
    D-Bus session, at each step; and never the contact line as the window's description."""
    for tool in filter(lambda t: not shutil.which(t), ("orca", "speech-dispatcher", "dbus-daemon")):
        raise Skipped(f"{tool} is not installed; scripts/deps.sh installs it")
    config = os.path.join(case.home, ".config")
    os.makedirs(os.path.join(config, "speech-dispatcher"))
    # The dummy module plays a recorded message, which libao's null driver sends nowhere.
    for path, text in (("speech-dispatcher/speechd.conf", 'AddModule "dummy" "sd_dummy" ""\n'
                         'DefaultModule dummy\nAudioOutputMethod libao\n'),
                       ("../.libao", "default_driver=null\n")):
        with open(os.path.join(config, path), "w") as out:
            out.write(text)
    env = dict(case.x.env, HOME=case.home, XDG_RUNTIME_DIR=case.runtime,
               XDG_CONFIG_HOME=config, GSETTINGS_BACKEND="memory", LC_ALL="C.UTF-8")
    # Orca's debug file is flushed at each line only on a terminal: cat copies one to the log.
    log_path, (master, slave) = os.path.join(case.scratch, "orca.log"), os.openpty()
    copier = subprocess.Popen(["cat"], stdin=master, stdout=open(log_path, "wb"))
    with open(os.path.join(case.scratch, "orca.out"), "wb") as out:
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               env=env, stdout=subprocess.PIPE, stderr=out, start_new_session=True)
        env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        orca = subprocess.Popen(["orca", "--debug-file=" + os.ttyname(slave)], env=env,
                                stdout=out, stderr=out, start_new_session=True)
    spoken = lambda: [m.group(1) for m in map(SPOKEN.search, open(log_path, errors="replace")) if m]
    said = lambda start, test: True if any(map(test, spoken()[start:])) else None
    steps = []

    def step(name, keys, expected):  # expected said, and a second more: the lines said
        start = len(spoken())
        for key in keys:
            case.x.type(key[5:]) if key.startswith("type:") else case.x.key(key)
        poll(f"Orca to say {expected!r} after {name}",
             lambda: said(start, lambda line: line.strip(" .") == expected), abort=program.exited)
        time.sleep(1.0)
        steps.append((name, spoken()[start:]))
        return steps[-1][1]
    try:
        try:
            poll("Orca to start", lambda: said(0, lambda line: line == "Screen reader on."), 20,
                 abort=lambda: orca.poll() is not None and "Orca exited")
        except Failure as failure:
            raise Skipped(f"Orca cannot start here ({failure}); see orca.out")
        case.program_env = {"DBUS_SESSION_BUS_ADDRESS": env["DBUS_SESSION_BUS_ADDRESS"],
                            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}
        folder = case.working_folder()
        shutil.copyfile(case.names_file, os.path.join(folder, "names.txt"))
        program = case.program(folder)
        window = program.main_window()
        program.focus(window)
        length, from_unit, to_unit = first_conversion(case.catalog, 0)
        poll("Orca to read the window", lambda: said(0, lambda l: l.startswith("Velmora dialog")),
             WINDOW_TIMEOUT, abort=program.exited)
        time.sleep(1.0)
        steps.append(("start", spoken()[1:]))
        check(not any("questions and ideas" in line for line in spoken()), "the contact line read")
        step("Tab Tab", ["Tab", "Tab"], f"Input value to convert, {from_unit} text")
        shown = result_text(evaluate(case.catalog.formula(length, from_unit, to_unit), 12), 1)
        lines = step("typing 12", ["1", "2"], f"notification {shown} {to_unit}")
        check(sum(line.startswith("notification") for line in lines) == 1,
              f"the result is said more than once while typing: {lines}")
        # The To row is heard with its result, as it is seen.
        step("Shift+Tab to the To list", ["shift+Tab"], f"{to_unit}, {shown}")
        step("Tab back", ["Tab"], f"Input value to convert, {from_unit} text")
        step("Ctrl+Tab", ["ctrl+Tab"], f"notification {case.catalog.categories[1]}")
        # Find takes the keyboard by itself; the focus goes away and back until Orca tells of it.
        case.x.key("ctrl+f")
        program.wait_window("Find Conversion")
        heard = len(spoken())
        poll("Orca to say Find's field", lambda: said(heard, lambda l: l.startswith("Units to")) or
             time.sleep(2) or case.x.key("shift+Tab", "Tab"), abort=program.exited)
        choice = "notification Length: Miles (international) → Kilometers"
        step("typing 5 miles to kilometers in Find", ["type:5 miles to kilometers"], choice)
        step("Enter in Find", ["Return"], f"{choice}: 8.0 Kilometers")
        for name, lines in steps:
            print(f"  {name}: " + " | ".join(lines))
        # The close box: keys pass through the screen reader, which may still be busy.
        case.x.request_close(window)
        check(program.wait_exit(forbidden_caption="Error") == 0, "the program did not exit with 0")
    except Failure as failure:
        raise Failure(f"{failure}\n  Orca said, last: {spoken()[-40:]}")
    finally:
        with contextlib.suppress(OSError, ValueError), open(os.path.join(
                case.runtime, "speech-dispatcher/pid/speech-dispatcher.pid")) as pid:
            os.kill(int(pid.read()), signal.SIGTERM)
        for process in (orca, bus):
            with contextlib.suppress(ProcessLookupError, subprocess.TimeoutExpired):
                os.killpg(process.pid, signal.SIGTERM)
                process.wait(5)
        copier.kill()
        for fd in (slave, master):
            os.close(fd)


# Cases that need another screen or environment than the usual 1280x1024 at scale 1.
CASE_SCREENS = {"scale2": "1920x1080"}
CASE_ENVIRONMENTS = {"scale2": {"QT_SCALE_FACTOR": "2"}}

CASES = {
    "startup": case_startup,
    "lean_start": case_lean_start,
    "copy_report": case_copy_report,
    "choose_units": case_choose_units,
    "options_hide": case_options_hide,
    "precision": case_precision,
    "load_failure": case_load_failure,
    "read_only_folder": case_read_only_folder,
    "edited_meanwhile": case_edited_meanwhile,
    "close_box": case_close_box,
    "help": case_help,
    "many_categories": case_many_categories,
    "scale2": case_scale2,
    "find": case_find,
    "values": case_values,
    "accessibility": case_accessibility,
    "orca": case_orca,
}


def run_case(args, name):
    case = Case(args, name)
    try:
        case.x.start()
        CASES[name](case)
        print(f"PASS {name}")
        return True
    except Skipped as why:
        print(f"SKIP {name}: {why}")
        return None
    except Failure as failure:
        print(f"FAIL {name}: {failure}")
        case.diagnostics()
        return False
    except Exception:
        print(f"FAIL {name}: error in the test driver")
        traceback.print_exc(file=sys.stdout)
        case.diagnostics()
        return False
    finally:
        case.cleanup()


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--binary", required=True, help="the velmora executable")
    parser.add_argument("--catalog", required=True, help="the delivered conv.txt")
    parser.add_argument("--case", action="append", required=True,
                        help=f"one of {', '.join(CASES)}, or all; may repeat")
    parser.add_argument("--help-chm", help="the built help.chm, for the cases that read it")
    parser.add_argument("--artifacts", default=os.getcwd(),
                        help="where a failing case leaves its screenshot")
    parser.add_argument("--screenshot", help="save a screenshot of the screen during the case")
    args = parser.parse_args()

    missing = [tool for tool in REQUIRED_TOOLS if not shutil.which(tool)]
    if missing:
        print(f"FAIL: missing {', '.join(missing)}; {DEPS_HINT}")
        return 1
    if not os.access(args.binary, os.X_OK):
        print(f"FAIL: {args.binary} is not an executable program")
        return 1

    # A test runner that gives up sends SIGTERM: leave through the cleanup that ends the program
    # and the X server.
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(f"terminated by signal {signum}"))

    names = list(CASES) if "all" in args.case else args.case
    unknown = [name for name in names if name not in CASES]
    if unknown:
        parser.error(f"unknown case {', '.join(unknown)}")
    results = [run_case(args, name) for name in names]
    if all(result is None for result in results):
        return 77
    return 0 if all(result is not False for result in results) else 1


if __name__ == "__main__":
    if sys.argv[1:2] == ["--atspi-listener"]:
        atspi_listener(sys.argv[2])
    sys.exit(main())

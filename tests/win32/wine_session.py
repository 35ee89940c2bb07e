"""A Wine program in an Xvfb of its own, driven with xdotool and read back with window_probe.exe:
shared by the window's end-to-end cases, the screenshots and the start-up benchmark."""
import os
import subprocess
import time

# Only stops a hang; a busy machine stretches it, as it makes Wine slower, not wrong.
STEP_TIMEOUT = 10.0 * max(1.0, os.getloadavg()[0] / (os.cpu_count() or 1))


class Session:
    def __init__(self, exe, probe, prefix, folder):
        self.exe = exe
        self.probe_exe = probe
        self.folder = folder
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            display = pipe.readline().strip()
        self.env = dict(os.environ, DISPLAY=":" + display, WINEPREFIX=os.path.abspath(prefix),
                        WINEARCH="win64", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d")
        self.program = None
        # The prefix's desktop process belongs to the display of the program that started it. One
        # started with no display (as when the prefix is made) or on an Xvfb that has gone lets no
        # window be made; ended here, the next program starts it again on this display.
        self.run(["wine", "taskkill", "/f", "/im", "explorer.exe"], timeout=60)

    def start(self, **env):
        # The probe finds the window by its title in the whole Wine prefix.
        assert not self.state(), "another Velmora window is open in the Wine prefix"
        self.program = self.launch(self.exe, **env)
        # The first program of a fresh Wine server takes longest. The window exists, to be found,
        # before it is laid out and shown.
        shown = lambda: self.run(["xdotool", "search", "--onlyvisible", "--name", "^Velmora$"]).returncode == 0
        self.wait_for(lambda: shown() and "rows" in self.state(), "the window", 60)

    def launch(self, exe, *args, **env):
        return subprocess.Popen(["wine", exe, *args], cwd=self.folder, env=dict(self.env, **env),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def run(self, command, timeout=STEP_TIMEOUT):
        return subprocess.run(command, env=self.env, capture_output=True, timeout=timeout)

    def probe(self, *words):
        result = self.run(["wine", self.probe_exe, *words])
        return result.returncode, result.stdout.decode("utf-8").replace("\r\n", "\n")

    def state(self, title="Velmora"):
        code, out = self.probe("state", title)
        if code != 0:
            return {}
        return dict(line.split("=", 1) for line in out.splitlines() if "=" in line)

    def wait_for(self, condition, what, timeout=STEP_TIMEOUT):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if condition():
                return
            time.sleep(0.1)
        raise AssertionError("timed out waiting for " + what)

    def wait_for_window(self, title):
        self.wait_for(lambda: self.probe("rect", title, "1")[0] in (0, 4), "the window " + title)

    def click(self, title, control):
        code, out = self.probe("rect", title, str(control))
        assert code == 0, "no control %d in %s" % (control, title)
        left, top, right, bottom = (int(v) for v in out.split())
        self.run(["xdotool", "mousemove", str((left + right) // 2), str((top + bottom) // 2),
                  "click", "1"])

    def keys(self, *keys):
        self.run(["xdotool", "key", "--delay", "40", *keys])

    def type(self, text):
        self.run(["xdotool", "type", "--delay", "40", text])

    def expect(self, **expected):
        """Waits until the window shows what is expected, then checks it once more."""
        try:
            self.wait_for(lambda: all(self.state().get(k) == v for k, v in expected.items()),
                          str(expected))
        except AssertionError as error:
            raise AssertionError("%s; the window shows %s" % (error, self.state())) from None

    def shot(self, title, png_path):
        """The window's pixels as a PNG."""
        from bmp_to_png import convert
        bmp = os.path.join(self.folder, "shot.bmp")
        code, _ = self.probe("shot", title, "Z:" + bmp.replace("/", "\\"))
        assert code == 0, "no window " + title
        convert(bmp, png_path)
        os.remove(bmp)

    def clipboard(self):
        return self.run(["xclip", "-selection", "clipboard", "-o"]).stdout.decode("utf-8")

    def close(self):
        self.keys("alt+F4")
        self.program.wait(timeout=STEP_TIMEOUT)

    def stop(self):
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        self.xvfb.terminate()
        self.xvfb.wait()

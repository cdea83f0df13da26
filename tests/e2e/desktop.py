"""A private X display with a window manager, and the real program on it, driven through XTEST.

Everything is observed through the X server (window titles, which windows are mapped, which one
is active) and through the files the program writes; nothing reaches into the program itself.
"""

import os
import re
import select
import shutil
import subprocess
import tempfile
import time

TIMEOUT = 20.0  # seconds any single condition may take on a busy machine


class ScenarioError(AssertionError):
    pass


def wait_for(what, condition, timeout=TIMEOUT, interval=0.02):
    """Polls `condition` until it returns something true; that value is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise ScenarioError("timed out waiting for " + what)
        time.sleep(interval)


def _posix_regex(text):
    return "".join("\\" + c if c in ".^$*+?()[]{}|\\" else c for c in text)


class Desktop:
    """Xvfb on a free display, openbox on it, and the X tools pointed at it."""

    def __init__(self, artifacts_dir, name, runner=None):
        self.artifacts_dir = artifacts_dir
        self.name = name
        self.runner = runner or []  # what runs the program, e.g. Wine for a Windows build
        self.apps = []
        self.log = open(os.path.join(artifacts_dir, name + ".x.log"), "w")
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-ardelay", "60000",
             "-noreset"], pass_fds=(write_fd,), stdout=self.log, stderr=self.log)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + TIMEOUT
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_fd], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(read_fd, 16) if ready else b""
            if not chunk:
                os.close(read_fd)
                self.xvfb.kill()
                self.xvfb.wait()
                raise ScenarioError("Xvfb did not report a display")
            number += chunk
        os.close(read_fd)
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display, QT_QPA_PLATFORM="xcb")
        self.env.pop("XAUTHORITY", None)
        if self.runner:  # a Windows program draws through its own platform plugin
            del self.env["QT_QPA_PLATFORM"]
        self.openbox = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdout=self.log,
                                        stderr=self.log)
        try:
            wait_for("the window manager", lambda: "window id" in self.x("xprop", "-root",
                                                                         "_NET_SUPPORTING_WM_CHECK"))
        except BaseException:
            self.close()
            raise

    def close(self):
        for app in self.apps:
            app.stop()
        for proc in (self.openbox, self.xvfb):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        self.log.close()

    # ---- the X tools
    def x(self, *args, check=False):
        done = subprocess.run(args, env=self.env, capture_output=True, text=True, errors="replace")
        if check and done.returncode != 0:
            raise ScenarioError("%s failed: %s" % (" ".join(args), done.stderr.strip()))
        return done.stdout

    def xdotool(self, *args):
        return self.x("xdotool", *args, check=True)

    def save_evidence(self):
        """Screenshot and window list beside the test log; returns their paths."""
        png = os.path.join(self.artifacts_dir, self.name + ".png")
        tree = os.path.join(self.artifacts_dir, self.name + ".windows.txt")
        self.x("import", "-window", "root", png)
        with open(tree, "w") as out:
            out.write(self.x("xwininfo", "-root", "-tree"))
        return png, tree

    # ---- windows
    def shown_windows(self, pid):
        """Titles of the mapped top-level windows of process `pid`, sorted."""
        ids = self.x("xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name", "").split()
        names = []
        for wid in ids:
            title = self.x("xdotool", "getwindowname", wid).rstrip("\n")
            if title:
                names.append(title)
        return sorted(names)

    def find_window(self, title, pid):
        pattern = title if isinstance(title, re.Pattern) else None
        for wid in self.x("xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name",
                          "" if pattern else "^" + _posix_regex(title) + "$").split():
            name = self.x("xdotool", "getwindowname", wid).rstrip("\n")
            if (pattern and pattern.search(name)) or (not pattern and name == title):
                return wid
        return None

    def active_title(self):
        wid = self.x("xdotool", "getactivewindow").strip()
        return self.x("xdotool", "getwindowname", wid).rstrip("\n") if wid else ""

    def geometry(self, wid):
        """Absolute position of the window's client area (x, y, width, height)."""
        info = self.x("xwininfo", "-id", wid)
        get = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
        return (get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"), get("Height"))

    # ---- input, as a person gives it
    def key(self, *keys):
        for k in keys:
            self.xdotool("key", "--delay", "15", k)

    def key_down(self, k):
        self.xdotool("keydown", k)

    def key_up(self, k):
        self.xdotool("keyup", k)

    def type(self, text):
        if text:
            self.xdotool("type", "--delay", "25", text)

    def click_at(self, x, y):
        self.xdotool("mousemove", "--sync", str(x), str(y))
        self.xdotool("click", "1")


class App:
    """The built program, copied with a fresh workspace into a folder of its own."""

    def __init__(self, desktop, exe, workdir, wrapper=None):
        self.desktop = desktop
        self.dir = workdir
        self.exe = os.path.join(workdir, os.path.basename(exe))
        if not os.path.exists(self.exe):
            shutil.copy2(exe, self.exe)
        self.wrapper = wrapper or []
        self.proc = None
        desktop.apps.append(self)

    def start(self):
        self.stderr = open(os.path.join(self.desktop.artifacts_dir, self.desktop.name + ".app.log"), "a")
        self.proc = subprocess.Popen(self.wrapper + self.desktop.runner + [self.exe], cwd=self.dir, env=self.desktop.env,
                                     stdout=self.stderr, stderr=self.stderr)
        return self

    @property
    def pid(self):
        return self.proc.pid

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def shown(self):
        return self.desktop.shown_windows(self.pid)

    def wait_window(self, title, active=True):
        """Waits until a window with this title (text or compiled pattern) is shown and, by
        default, active, so that what is typed next reaches it."""
        def ready():
            if self.proc.poll() is not None:
                raise ScenarioError("the program ended (status %s) while waiting for %r"
                                    % (self.proc.returncode, title))
            wid = self.desktop.find_window(title, self.pid)
            if not wid:
                return None
            if active:
                name = self.desktop.active_title()
                ok = title.search(name) if isinstance(title, re.Pattern) else name == title
                if not ok:
                    return None
            return wid
        return wait_for("window %r" % (title.pattern if isinstance(title, re.Pattern) else title), ready)

    def wait_gone(self, title):
        wait_for("window %r to close" % title, lambda: not self.desktop.find_window(title, self.pid))

    def expect_shown(self, titles):
        """The program shows exactly these windows (text or pattern each)."""
        def matches():
            shown = self.shown()
            if len(shown) != len(titles):
                return False
            rest = list(shown)
            for t in titles:
                hit = next((s for s in rest if (t.search(s) if isinstance(t, re.Pattern) else s == t)), None)
                if hit is None:
                    return False
                rest.remove(hit)
            return True
        try:
            wait_for("exactly the windows %r" % [getattr(t, "pattern", t) for t in titles], matches, timeout=5)
        except ScenarioError as e:
            raise ScenarioError("%s; shown: %r" % (e, self.shown()))

    def control(self, title, x, y):
        """Screen point of a control's client coordinates inside the window `title`."""
        wid = self.wait_window(title, active=False)
        left, top, _, _ = self.desktop.geometry(wid)
        return left + x, top + y

    def click(self, title, x, y):
        self.desktop.click_at(*self.control(title, x, y))

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise ScenarioError("the program did not end")

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if self.proc:
            self.stderr.close()


def wait_file(path, predicate=lambda text: True, what=None):
    def ready():
        try:
            with open(path, "rb") as f:
                text = f.read().decode("utf-8", "replace")
        except OSError:
            return None
        return text if predicate(text) else None
    return wait_for(what or path, ready)


def new_workdir(prefix):
    return tempfile.mkdtemp(prefix="strovane-e2e-" + prefix + "-")

#!/usr/bin/env python3
"""The Windows packages checked as a new user would, under Wine on a private X display.

Usage: windows_package.py --setup SETUP.exe --zip PACKAGE.zip --runner WINE_WRAPPER --artifacts DIR

In a fresh Wine prefix: the installer runs silently (/S); the installed program starts, a project
is created by keyboard and found in the per-user workspace (%LOCALAPPDATA%\\Strovane) with the
Start-menu entry in place; the silent uninstaller removes the program and the entry and leaves
the workspace. The ZIP, unpacked, keeps its workspace beside the program.
"""

import argparse
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import traceback
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import App, Desktop, ScenarioError, wait_for  # noqa: E402
from scenarios import MAIN, NO_PROJECT, new_project_by_keyboard  # noqa: E402


def user_folder(prefix, *parts):
    found = glob.glob(os.path.join(prefix, "drive_c", "users", "*", *parts))
    found = [f for f in found if "/users/Public/" not in f]
    return found[0] if found else None


def focus_by_click(app):
    """A click on the main window's empty corner, as a person makes sure of it before typing: a
    Wine program started right after another one ended may be shown active without the focus."""
    app.click(MAIN, 12, 12)


def run(desktop, *args):
    done = subprocess.run(desktop.runner + list(args), env=desktop.env, capture_output=True, text=True,
                          errors="replace", timeout=300)
    if done.returncode != 0:
        raise ScenarioError("%s ended with %s: %s" % (" ".join(args), done.returncode, done.stderr[-2000:]))


def check_installer(d, setup):
    prefix = d.env["STROVANE_WINEPREFIX"]
    run(d, setup, "/S")
    exe = user_folder(prefix, "AppData", "Local", "Programs", "Strovane", "bin", "strovane.exe")
    if not exe:
        raise ScenarioError("no strovane.exe under %%LOCALAPPDATA%%\\Programs\\Strovane\\bin")
    install_dir = os.path.dirname(os.path.dirname(exe))
    link = user_folder(prefix, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs", "Strovane.lnk")
    if not link:
        raise ScenarioError("no Start-menu entry")

    app = App(d, exe, os.path.dirname(exe)).start()
    app.wait_window(MAIN)
    app.expect_shown([NO_PROJECT])
    focus_by_click(app)
    new_project_by_keyboard(d, app, "Line1")
    d.key("alt+F4")
    if app.wait_exit() != 0:
        raise ScenarioError("the installed program ended with status %s" % app.proc.returncode)
    workspace = user_folder(prefix, "AppData", "Local", "Strovane")
    if not workspace or not os.path.isdir(os.path.join(workspace, "PROJECTS", "Line1")):
        raise ScenarioError("the project is not in %LOCALAPPDATA%\\Strovane\\PROJECTS")
    if os.path.exists(os.path.join(os.path.dirname(exe), "PROJECTS")):
        raise ScenarioError("the installed program made a workspace beside itself")

    # The uninstaller copies itself away and returns at once; what it removes goes soon after.
    run(d, os.path.join(install_dir, "uninstall.exe"), "/S")
    # Its last step removes the installation folder.
    wait_for("the uninstaller to remove the program", lambda: not os.path.exists(install_dir), timeout=60)
    if os.path.exists(link):
        raise ScenarioError("the Start-menu entry is left")
    if not os.path.isdir(os.path.join(workspace, "PROJECTS", "Line1")):
        raise ScenarioError("uninstalling removed the user's workspace")


def check_zip(d, package, workdir):
    with zipfile.ZipFile(package) as z:
        z.extractall(workdir)
    top = [n for n in os.listdir(workdir) if n.startswith("strovane-")]
    if len(top) != 1:
        raise ScenarioError("the ZIP holds %r, not one strovane-<version>-win64 folder" % top)
    folder = os.path.join(workdir, top[0])
    for name in ("strovane.exe", "strovane-cli.exe", "Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll",
                 os.path.join("platforms", "qwindows.dll"), "README.txt",
                 os.path.join("licenses", "qt", "LGPL-3.0-only.txt")):
        if not os.path.exists(os.path.join(folder, name)):
            raise ScenarioError("the ZIP lacks " + name)
    app = App(d, os.path.join(folder, "strovane.exe"), folder).start()
    app.wait_window(MAIN)
    app.expect_shown([NO_PROJECT])
    focus_by_click(app)
    new_project_by_keyboard(d, app, "Portable1")
    d.key("alt+F4")
    if app.wait_exit() != 0:
        raise ScenarioError("the unpacked program ended with status %s" % app.proc.returncode)
    if not os.path.isdir(os.path.join(folder, "PROJECTS", "Portable1")):
        raise ScenarioError("the unpacked program keeps its projects elsewhere than beside itself")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True)
    parser.add_argument("--zip", required=True)
    parser.add_argument("--runner", required=True)
    parser.add_argument("--artifacts", required=True)
    opts = parser.parse_args()
    os.makedirs(opts.artifacts, exist_ok=True)
    workdir = tempfile.mkdtemp(prefix="strovane-package-")
    os.environ["STROVANE_WINEPREFIX"] = os.path.join(workdir, "prefix")
    desktop = Desktop(opts.artifacts, "windows_package", [opts.runner])
    status = 0
    try:
        check_installer(desktop, opts.setup)
        unpacked = os.path.join(workdir, "unpacked")
        os.makedirs(unpacked)
        check_zip(desktop, opts.zip, unpacked)
        print("PASS windows_package")
    except Exception:
        traceback.print_exc()
        png, tree = desktop.save_evidence()
        print("FAIL windows_package: screenshot %s, window list %s" % (png, tree))
        status = 1
    finally:
        desktop.close()
        shutil.rmtree(workdir, ignore_errors=True)
    return status


if __name__ == "__main__":
    sys.exit(main())

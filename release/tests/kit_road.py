"""Shared steps of the release tests: a small client package, Stubsmith and
self-extractor runs under the build's Wine, and a look at the Wine prefix's
temporary folder. Runs on the Linux side; the build's Wine settings come from
the environment (WINE_LOADER, WINEPREFIX, TOOLSET_BIN)."""
import getpass
import os
import random
import subprocess
import zipfile

WINE = os.environ["WINE_LOADER"]
BIN = os.environ["TOOLSET_BIN"]

# The launched script copies a file of the package to the path given on the
# self-extractor's command line (proof of extraction and launch) and ends with
# an exit code of its own, which the self-extractor must pass through.
SETUP_CMD = b'@echo off\r\ncopy /y data\\payload.bin "%~1" >nul\r\nexit /b 7\r\n'
SETUP_EXIT_CODE = 7


def make_package(path):
    """Writes a zip with a launch script, a nested folder and deflated and
    stored entries; returns the payload bytes that the script copies."""
    payload = random.Random(15).randbytes(200000) + b"compressible " * 20000
    with zipfile.ZipFile(path, "w") as package:
        package.writestr(zipfile.ZipInfo("setup.cmd", (2026, 1, 15, 9, 30, 0)), SETUP_CMD)
        info = zipfile.ZipInfo("data/payload.bin", (2026, 1, 15, 9, 30, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        package.writestr(info, payload)
        package.writestr(zipfile.ZipInfo("data/deeper/notes.txt", (2026, 1, 15, 9, 30, 0)), b"notes\r\n")
    return payload


def run_windows(program, arguments, folder, timeout=120):
    """Runs a Windows program under the build's Wine in folder; returns the
    completed process (exit code: the low 8 bits of the Windows one)."""
    return subprocess.run([WINE, program, *arguments], cwd=folder, capture_output=True, timeout=timeout)


def stubsmith(builder, package, output, folder):
    """Builds a self-extractor of package with the given Stubsmith: temporary
    target folder, setup.cmd with the pass-through arguments, cleanup, and a
    version resource. Returns the completed process."""
    return run_windows(builder, ["--zip", package, "--sfx", output, "--launch-exe", "setup.cmd",
                                 "--launch-arguments", "<pass>", "--target-dir", "<temp>", "--cleanup",
                                 "--file-version", "2.1.0.15", "--product-version", "2.1",
                                 "--product-name", "Kit road"], folder)


def windows_path(path):
    """The path under which a Windows program in Wine sees a Linux path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def temp_folder():
    """The Wine prefix's temporary folder, where the self-extractor unpacks."""
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", getpass.getuser(), "Temp")


def temp_entries():
    """Every path below the Wine prefix's temporary folder."""
    found = set()
    for folder, subfolders, files in os.walk(temp_folder()):
        for name in subfolders + files:
            found.add(os.path.relpath(os.path.join(folder, name), temp_folder()))
    return found

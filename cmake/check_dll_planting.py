#!/usr/bin/env python3
"""check_dll_planting.py: a DLL planted beside the self-extractor or beside
Launchlet, under the name of a DLL they load after their start, is not loaded.

Self-extractors and setup launchers are started from downloads or share
folders that others can write. Each case copies the program into a fresh
folder with the plant (planted_marker.dll, which creates "<name>.loaded" beside
itself when loaded) and runs it under Wine with an override that prefers a
native DLL of that name wherever the search finds one first, as Windows does
for a DLL that is not a known one. The program must run as usual, load the DLL
from the system folder (Wine's +loaddll trace names the file) and leave the
plant alone. A control program in the same folder shows that the plant is
taken by a program that does not limit its search, and is not taken once it
calls the shared start-up helper.

The names: the stub loads "uxtheme.dll" when it shows a failure; Launchlet
loads "version.dll" with the shell library, bound when it starts Setup.exe.
DLLs imported at the start (known DLLs on Windows) cannot be shown under Wine,
which keeps no list of known DLLs; check_imports.py checks those.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

BIN = os.environ["TOOLSET_BIN"]
WINE = os.environ["WINE_LOADER"]
failures = 0


def check(condition, text):
    global failures
    print(f"{'ok  ' if condition else 'FAIL'} {text}")
    failures += not condition


def run(folder, program, arguments, dll):
    env = dict(os.environ)
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;" + dll[:-4] + "=n,b"
    env["WINEDEBUG"] = "+loaddll"
    result = subprocess.run([WINE, os.path.join(folder, program)] + arguments, cwd=folder, env=env,
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    return result.returncode, result.stderr.decode("utf-8", "replace")


def loaded_from_system_folder(trace, dll):
    return re.search(r'Loaded L"C:\\\\windows\\\\system32\\\\' + re.escape(dll) + '"', trace, re.IGNORECASE)


def plant_case(title, files, program, arguments, dll, expected_code, expect_file=None):
    with tempfile.TemporaryDirectory(prefix="planting-") as folder:
        for source, name in files:
            shutil.copy(os.path.join(BIN, source), os.path.join(folder, name))
        shutil.copy(os.path.join(BIN, "planted_marker.dll"), os.path.join(folder, dll))
        shutil.copy(os.path.join(BIN, "plant_control.exe"), os.path.join(folder, "control.exe"))
        marker = os.path.join(folder, dll + ".loaded")

        code, _ = run(folder, "control.exe", ["--restricted", dll], dll)
        check(code == 0 and not os.path.exists(marker),
              f"{title}: a program that limits its search loads {dll} from the system folder")

        code, trace = run(folder, program, arguments, dll)
        check(code == expected_code, f"{title}: exit code {code}, expected {expected_code}")
        if expect_file:
            check(os.path.exists(os.path.join(folder, expect_file)), f"{title}: {expect_file} written")
        check(loaded_from_system_folder(trace, dll) is not None, f"{title}: {dll} loaded from the system folder")
        check(not os.path.exists(marker), f"{title}: the planted {dll} beside it was not loaded")

        code, _ = run(folder, "control.exe", [dll], dll)
        check(code == 0 and os.path.exists(marker),
              f"{title}: control: a program that does not limit its search takes the plant")


# A bare stub finds no settings, fails and shows the failure in a message box.
plant_case("Unfurler", [("Unfurler.exe", "client-setup.exe")], "client-setup.exe", [], "uxtheme.dll", 1)
plant_case("Launchlet", [("Launchlet.exe", "Launchlet.exe"), ("setup_standin.exe", "Setup.exe")], "Launchlet.exe",
           ["/qn"], "version.dll", 0, "received-arguments.txt")
sys.exit(1 if failures else 0)

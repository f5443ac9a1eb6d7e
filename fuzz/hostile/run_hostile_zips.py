#!/usr/bin/env python3
"""Runs the hostile-zip corpus (hostile_zips.py) end to end under Wine through
`Parcelor e`, `Parcelor d` and a self-extractor built by Stubsmith, each run
bounded in time. For every case: no crash and no hang, the exit code and
messages of the program's contract, exactly the expected files in the
output folder, nothing written outside it (no file named "evil" anywhere in
the sandbox or the Wine prefix's C: drive), and the self-extractor launches
its program only where the case says the archive is sound.

Usage: run_hostile_zips.py [case ...]      (default: every case)
       run_hostile_zips.py --table         (prints the cases' table)
Needs TOOLSET_BIN, WINE_LOADER and WINEPREFIX in the environment.
Cases with a pending reason are reported as PENDING, not failed, when they do
not hold; HOSTILE_STRICT=1 counts them as failures.
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hostile_zips  # noqa: E402

TIME_LIMIT = 60
LAUNCH_SCRIPT = b'@echo launched> "%~dp0..\\launched.txt"\r\n'


def table():
    print("| Case | What the archive holds | Parcelor e and d: files written | Parcelor: message | "
          "Self-extractor | Pending |")
    print("|---|---|---|---|---|---|")
    for c in hostile_zips.cases():
        files = ", ".join(sorted(c.files)) or "none"
        messages = "; ".join(f"`{m}`" for m in c.messages).replace("|", "\\|") or "none"
        sfx = "extracts, launches, exit 0" if c.sfx_runs else "exit 1, launches nothing"
        print(f"| {c.name} | {c.what} | {files} | {messages} | {sfx} | {c.pending} |")


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def evil_files(*roots):
    found = []
    for root in roots:
        for folder, _, files in os.walk(root):
            found += [os.path.join(folder, f) for f in files if "evil" in f.lower()]
    return found


def listing(folder):
    """Files below folder, relative, with '/' between levels."""
    result = {}
    for parent, _, files in os.walk(folder):
        for f in files:
            path = os.path.join(parent, f)
            result[os.path.relpath(path, folder).replace(os.sep, "/")] = path
    return result


class Runner:
    def __init__(self):
        self.bin = os.environ["TOOLSET_BIN"]
        self.loader = os.environ.get("WINE_LOADER", "/usr/lib/wine/wine64")
        self.prefix = os.environ["WINEPREFIX"]
        self.wineserver = os.path.join(os.path.dirname(self.loader), "wineserver")
        self.env = dict(os.environ, WINEDEBUG="-all")
        self.env.pop("DISPLAY", None)

    def run(self, program, arguments, cwd):
        """Runs a program (a name in TOOLSET_BIN or a full path); returns exit
        code, standard output (LF line ends) and standard error, or None for
        the code when the run did not end in time."""
        try:
            done = subprocess.run([self.loader, os.path.join(self.bin, program)] + arguments, cwd=cwd,
                                  env=self.env, capture_output=True, timeout=TIME_LIMIT)
        except subprocess.TimeoutExpired:
            subprocess.run([self.wineserver, "-k"], env=self.env, timeout=TIME_LIMIT)
            return None, "", ""
        return done.returncode, done.stdout.decode("latin-1").replace("\r\n", "\n"), \
            done.stderr.decode("latin-1")

    def settle(self):
        """Waits until every program in the prefix has ended (a launched
        script included), bounded in time."""
        try:
            subprocess.run([self.wineserver, "-w"], env=self.env, timeout=TIME_LIMIT)
        except subprocess.TimeoutExpired:
            subprocess.run([self.wineserver, "-k"], env=self.env, timeout=TIME_LIMIT)


def check_files(problems, label, folder, expected, ignore=()):
    found = {k: v for k, v in listing(folder).items() if k not in ignore}
    if set(found) != set(expected):
        problems.append(f"{label}: files {sorted(found)}, expected {sorted(expected)}")
        return
    for name, data in expected.items():
        if data is not None:
            with open(found[name], "rb") as f:
                if f.read() != data:
                    problems.append(f"{label}: {name} holds other bytes")


def check_parcelor(problems, label, run, case, folder, ignore=()):
    code, out, err = run
    if code is None:
        problems.append(f"{label}: no end within {TIME_LIMIT} s")
        return
    if code != 0:
        problems.append(f"{label}: exit code {code}")
    if err:
        problems.append(f"{label}: standard error {err!r}")
    for message in case.messages:
        if message not in out:
            problems.append(f"{label}: message {message!r} missing from {out!r}")
    check_files(problems, label, folder, case.files, ignore)


def run_case(runner, case, work):
    problems = []
    sandbox = os.path.join(work, case.name)
    # Two spare levels above the output folders, so that ".." names that got
    # through would land inside the sandbox and be found.
    inner = os.path.join(sandbox, "s1", "s2")
    os.makedirs(os.path.join(inner, "out"))
    package = os.path.join(inner, "case.zip")
    with open(package, "wb") as f:
        f.write(case.make(windows_path(sandbox)))

    e = runner.run("Parcelor.exe", ["e!case.zip", "-o", "out"], inner)
    check_parcelor(problems, "e", e, case, os.path.join(inner, "out"))

    d = runner.run("Parcelor.exe", ["d!case.zip", "-o", "dout", "-f", "*"], inner)
    check_parcelor(problems, "d", d, case, os.path.join(inner, "dout"), ignore={"case.zip"})

    target = os.path.join(inner, "sfxout")
    os.makedirs(target)
    with open(os.path.join(target, "launch.cmd"), "wb") as f:
        f.write(LAUNCH_SCRIPT)
    # Stubsmith refuses a zip it cannot read, so the stub would never meet
    # most of these archives through it. The self-extractor is therefore built
    # from a sound zip, whose bytes at the end of the file are then replaced
    # by the hostile archive: the stub reads exactly what an attacker could
    # append.
    sound = hostile_zips.build_zip([hostile_zips.GOOD])
    with open(os.path.join(inner, "sound.zip"), "wb") as f:
        f.write(sound)
    build = runner.run("Stubsmith.exe", ["--zip", "sound.zip", "--sfx", "case.exe", "--launch-exe", "launch.cmd",
                                         "--target-dir", windows_path(target)], inner)
    if build[0] != 0:
        problems.append(f"Stubsmith: exit code {build[0]}: {build[1]!r}")
    else:
        sfx_path = os.path.join(inner, "case.exe")
        with open(sfx_path, "rb") as f:
            built = f.read()
        with open(package, "rb") as f:
            hostile = f.read()
        with open(sfx_path, "wb") as f:
            f.write(built[:len(built) - len(sound)] + hostile)
        code, _, _ = runner.run(os.path.join(inner, "case.exe"), [], inner)
        runner.settle()
        launched = os.path.exists(os.path.join(inner, "launched.txt"))
        if code is None:
            problems.append(f"self-extractor: no end within {TIME_LIMIT} s")
        elif case.sfx_runs and (code != 0 or not launched):
            problems.append(f"self-extractor: exit code {code}, launched {launched}; expected 0 and a launch")
        elif not case.sfx_runs and (code != 1 or launched):
            problems.append(f"self-extractor: exit code {code}, launched {launched}; expected 1 and no launch")
        expected = case.sfx_files if case.sfx_files is not None else (case.files if case.sfx_runs else None)
        if expected is not None:
            check_files(problems, "self-extractor", target, expected, ignore={"launch.cmd"})

    escapes = evil_files(sandbox, os.path.join(runner.prefix, "drive_c"))
    if escapes:
        problems.append(f"written outside the target: {escapes}")
    return problems


def main():
    if sys.argv[1:] == ["--table"]:
        table()
        return 0
    wanted = set(sys.argv[1:])
    strict = os.environ.get("HOSTILE_STRICT") == "1"
    runner = Runner()
    failed, pending = [], []
    with tempfile.TemporaryDirectory(prefix="hostile-") as work:
        for case in hostile_zips.cases():
            if wanted and case.name not in wanted:
                continue
            problems = run_case(runner, case, work)
            state = "ok"
            if problems:
                state = f"PENDING ({case.pending})" if case.pending and not strict else "FAIL"
                (pending if state.startswith("PENDING") else failed).append(case.name)
            print(f"{case.name:32} {state}")
            for p in problems:
                print(f"    {p}")
            shutil.rmtree(os.path.join(work, case.name), ignore_errors=True)
    print(f"{len(failed)} failed, {len(pending)} pending")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

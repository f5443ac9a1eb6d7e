#!/usr/bin/env python3
"""signed_self_extractors_test.py OSSLSIGNCODE OPENSSL: release pipelines sign
every executable after building it. A throwaway self-signed certificate signs
(1) a self-extractor that Stubsmith built and (2) Stubsmith itself, which then
builds a self-extractor. osslsigncode verifies each signature, and each signed
self-extractor runs under Wine as an unsigned one does: extraction, launch,
the launched script's exit code passed through, nothing left behind."""
import os
import subprocess
import sys
import tempfile

import kit_road

OSSLSIGNCODE, OPENSSL = sys.argv[1], sys.argv[2]
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def make_certificate(folder, name):
    """A self-signed code-signing certificate and its key, valid for two days."""
    key, cert = os.path.join(folder, name + "-key.pem"), os.path.join(folder, name + ".pem")
    subprocess.run([OPENSSL, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "2", "-subj", f"/CN={name}", "-addext", "extendedKeyUsage=codeSigning",
                    "-addext", "keyUsage=digitalSignature"],
                   check=True, capture_output=True, timeout=60)
    return cert, key


def sign(source, signed, cert, key):
    run = subprocess.run([OSSLSIGNCODE, "sign", "-certs", cert, "-key", key, "-h", "sha256",
                          "-n", "Kit road", "-in", source, "-out", signed], capture_output=True, timeout=120)
    check(run.returncode == 0, f"osslsigncode signs {os.path.basename(source)}"
          + ("" if run.returncode == 0 else ": " + run.stdout.decode(errors="replace")
             + run.stderr.decode(errors="replace")))


def verifies(path, ca):
    run = subprocess.run([OSSLSIGNCODE, "verify", "-CAfile", ca, "-in", path], capture_output=True, timeout=120)
    return run.returncode == 0


def check_road(sfx, folder, payload, label):
    """Runs the self-extractor as shipped and checks the whole road."""
    # No spaces in the path: the launched script gets it as one plain argument.
    copied = os.path.join(folder, "copied-" + "-".join(label.replace(".", "-").split()) + ".bin")
    before = kit_road.temp_entries()
    run = kit_road.run_windows(sfx, [kit_road.windows_path(copied)], folder)
    check(run.returncode == kit_road.SETUP_EXIT_CODE,
          f"{label}: exit code {run.returncode}, the script's {kit_road.SETUP_EXIT_CODE} passed through")
    check(os.path.isfile(copied) and open(copied, "rb").read() == payload,
          f"{label}: extracted, and the launched script copied the payload intact")
    left = kit_road.temp_entries() - before
    check(not left, f"{label}: nothing left in the temporary folder {sorted(left)[:5] if left else ''}")


with tempfile.TemporaryDirectory(prefix="signing.") as folder:
    cert, key = make_certificate(folder, "Kit road test signer")
    stranger, _ = make_certificate(folder, "Unrelated signer")
    payload = kit_road.make_package(os.path.join(folder, "pkg.zip"))
    stubsmith = os.path.join(kit_road.BIN, "Stubsmith.exe")

    # 1. A self-extractor signed after Stubsmith built it.
    run = kit_road.stubsmith(stubsmith, "pkg.zip", "setup.exe", folder)
    check(run.returncode == 0, f"Stubsmith builds setup.exe (exit code {run.returncode})")
    check_road(os.path.join(folder, "setup.exe"), folder, payload, "unsigned setup.exe")
    sign(os.path.join(folder, "setup.exe"), os.path.join(folder, "setup-signed.exe"), cert, key)
    signed = os.path.join(folder, "setup-signed.exe")
    check(verifies(signed, cert), "osslsigncode verify accepts the signed self-extractor")
    check(not verifies(signed, stranger), "osslsigncode verify refuses it against an unrelated certificate")
    check_road(signed, folder, payload, "signed setup.exe")

    # The signature covers the package behind the stub: one changed byte of
    # the zip breaks it.
    data = bytearray(open(signed, "rb").read())
    at = data.find(b"PK\x03\x04", data.find(b"[VEK" + b"SFX]")) + 100
    data[at] ^= 0x01
    tampered = os.path.join(folder, "setup-tampered.exe")
    open(tampered, "wb").write(bytes(data))
    check(not verifies(tampered, cert), "osslsigncode verify refuses the signed file with one zip byte changed")

    # 2. A signed Stubsmith builds the same self-extractor as the unsigned one.
    signed_builder = os.path.join(folder, "Stubsmith-signed.exe")
    sign(stubsmith, signed_builder, cert, key)
    check(verifies(signed_builder, cert), "osslsigncode verify accepts the signed Stubsmith")
    run = kit_road.stubsmith(signed_builder, "pkg.zip", "setup-by-signed.exe", folder)
    check(run.returncode == 0, f"the signed Stubsmith builds a self-extractor (exit code {run.returncode})")
    by_signed = os.path.join(folder, "setup-by-signed.exe")
    check(open(by_signed, "rb").read() == open(os.path.join(folder, "setup.exe"), "rb").read(),
          "the signed Stubsmith writes the same bytes as the unsigned one")
    check_road(by_signed, folder, payload, "setup.exe by the signed Stubsmith")
    sign(by_signed, os.path.join(folder, "setup-by-signed-signed.exe"), cert, key)
    check(verifies(os.path.join(folder, "setup-by-signed-signed.exe"), cert),
          "osslsigncode verify accepts that self-extractor once signed")
    check_road(os.path.join(folder, "setup-by-signed-signed.exe"), folder, payload,
               "signed setup.exe by the signed Stubsmith")

print(f"{len(failures)} failure(s)")
sys.exit(1 if failures else 0)

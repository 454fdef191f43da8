#!/usr/bin/env python3
"""Writes the release zip of ./run package and prints its checksums.

    package.py --programs DIR --title RCT --time EPOCH --out ZIP

DIR holds uninst.exe, envcheck.exe and rctconv.exe (signed or not), RCT is
the sample's title picture. The zip holds the same bytes in the same order
with the same times and attributes whenever it is made from the same files,
so that anyone can build a release again and compare it.
"""
import argparse
import hashlib
import os
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

PROGRAMS = ["uninst.exe", "envcheck.exe", "rctconv.exe"]

# The texts of the repository as a Windows user opens them: CR LF, and
# UTF-8 with a byte-order mark, which every Notepad reads as UTF-8.
TEXTS = [
    ("README.txt", "README.md"),
    ("LICENSE.txt", "LICENSE"),
    ("THIRD-PARTY-NOTICES.txt", "THIRD-PARTY-NOTICES"),
]


def windows_text(data):
    return b"\xef\xbb\xbf" + data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def entries(programs, title):
    """The files of the package, in their order in the zip. The sample
    lies in a folder of its own: uninst.exe started beside it would
    uninstall it."""
    files = [(name, read(os.path.join(programs, name))) for name in PROGRAMS]
    files += [(name, windows_text(read(os.path.join(ROOT, source)))) for name, source in TEXTS]
    files.append(("sample/install.env", read(os.path.join(ROOT, "examples", "install.env"))))
    files.append(("sample/insttscr.rct", read(title)))
    sums = "".join("%s  %s\n" % (hashlib.sha256(data).hexdigest(), name) for name, data in files)
    files.append(("SHA256SUMS", sums.encode()))
    return files


def write_zip(path, files, epoch):
    # A zip time has no zone: the time in UTC, and no earlier than 1980.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(path, "w") as z:
        for name, data in files:
            info = zipfile.ZipInfo(name, date_time=stamp)
            # Stored, not deflated: deflated bytes are whatever the zlib
            # that Python links makes of them (zlib-ng makes others), and
            # the zip must come out the same on any build machine.
            info.compress_type = zipfile.ZIP_STORED
            info.create_system = 3  # Unix: the attributes below
            mode = 0o755 if name.endswith(".exe") else 0o644
            info.external_attr = (0o100000 | mode) << 16
            z.writestr(info, data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--programs", required=True)
    parser.add_argument("--title", required=True)
    parser.add_argument("--time", type=int, required=True, help="the files' time, seconds since 1970")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    files = entries(args.programs, args.title)
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    partial = args.out + ".part"
    write_zip(partial, files, args.time)
    os.replace(partial, args.out)
    sys.stdout.write(files[-1][1].decode())
    print("%s  %s" % (hashlib.sha256(read(args.out)).hexdigest(), os.path.basename(args.out)))


if __name__ == "__main__":
    main()

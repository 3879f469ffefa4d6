#!/usr/bin/env python3
"""Measures character-code detection on real Japanese text: the translations of the
Japanese gettext catalogs on this machine, cut into files of about SIZE bytes of
UTF-8 (whole messages), each written in every code detection names. Prints how many
files per code are detected right.

With --cut, measures short files instead: for each length N given, texts of at least
N bytes (whole messages) are written in Shift-JIS, EUC-JP and UTF-8, each cut after
the last whole character that fits in N bytes and ended by one LF; cuts without a
non-ASCII byte are left out, and at most MAX texts per length are taken, evenly
spread. With --anywhere, the texts start at every seventh character of each message
instead of at its start. Prints per length and code how many files are read in another code (ASCII
and Unknown count as Shift-JIS, as loading reads them).

Usage: tools/measure_detection.py [BUILD_DIR] [SIZE]   (default: build 1000)
       tools/measure_detection.py [BUILD_DIR] --cut 2,3,4,6,8,12,20,40,60,200,1000 [MAX] [--anywhere]
Needs the core library built in BUILD_DIR; compiles tools/DetectFiles.cpp against it.
"""

import glob
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

CODES = [  # (stream text expected, codec, byte-order mark)
    ("SJIS", "cp932", b""),
    ("EUC", "euc_jp", b""),
    ("JIS", "iso2022_jp", b""),
    ("UTF8N", "utf-8", b""),
    ("UTF8", "utf-8", b"\xEF\xBB\xBF"),
    ("UTF16", "utf-16-le", b"\xFF\xFE"),
]


def translations(path):
    data = open(path, "rb").read()
    order = "<" if struct.unpack("<I", data[:4])[0] == 0x950412DE else ">"
    _, count, orig, trans = struct.unpack(order + "4I", data[4:20])
    for i in range(count):
        if struct.unpack(order + "I", data[orig + 8 * i:orig + 8 * i + 4])[0] == 0:
            continue
        length, offset = struct.unpack(order + "2I", data[trans + 8 * i:trans + 8 * i + 8])
        try:
            yield data[offset:offset + length].decode("utf-8").replace("\0", "\n")
        except UnicodeDecodeError:
            pass


def chunks(size):
    for path in sorted(glob.glob("/usr/share/locale/ja/LC_MESSAGES/*.mo")):
        text = ""
        for message in translations(path):
            text += message + "\n"
            if len(text.encode("utf-8")) >= size:
                yield text
                text = ""
        if text:
            yield text


def build_driver(build, tmp):
    driver = os.path.join(tmp, "detect_files")
    subprocess.run(["g++", "-std=c++17", "-O2", "-I", os.path.join(ROOT, "src"),
                    os.path.join(HERE, "DetectFiles.cpp"),
                    os.path.join(build, "src", "libmirun_core.a"), "-o", driver], check=True)
    return driver


CUT_CODES = [("SJIS", "cp932"), ("EUC", "euc_jp"), ("UTF8N", "utf-8")]


def cut(text, codec, size):
    """The longest run of whole characters from the start of text that fits in size
    bytes in codec."""
    out = b""
    for c in text:
        b = c.encode(codec, "replace")
        if len(out) + len(b) > size:
            break
        out += b
    return out


def measure_cuts(build, sizes, most, anywhere):
    print("%6s %6s %7s %s" % ("bytes", "code", "files", "read as another code"))
    with tempfile.TemporaryDirectory() as tmp:
        driver = build_driver(build, tmp)
        for size in sizes:
            texts = [t for t in chunks(size) if any(ord(c) >= 0x80 for c in t)]
            if anywhere:
                texts = [t[i:] for t in texts for i in range(0, len(t), 7)]
            step = max(1, len(texts) // most)
            records, expected = [], []
            for text in texts[::step][:most]:
                for code, codec in CUT_CODES:
                    data = cut(text, codec, size)
                    if any(b >= 0x80 for b in data):
                        records.append(b"%d\n" % (len(data) + 1) + data + b"\n")
                        expected.append(code)
            out = subprocess.run([driver, "--records"], input=b"".join(records),
                                 capture_output=True, check=True).stdout.decode().split()
            for code, _ in CUT_CODES:
                got = [g if g not in ("ASCII", "Unknown") else "SJIS"
                       for g, e in zip(out, expected) if e == code]
                wrong = {}
                for g in got:
                    if g != code:
                        wrong[g] = wrong.get(g, 0) + 1
                print("%6d %6s %7d %5d %s" % (size, code, len(got), sum(wrong.values()),
                                              wrong if wrong else ""))


def main():
    build = sys.argv[1] if len(sys.argv) > 1 and not sys.argv[1].startswith("--") \
        else os.path.join(ROOT, "build")
    args = sys.argv[2:] if len(sys.argv) > 1 and not sys.argv[1].startswith("--") else sys.argv[1:]
    if args and args[0] == "--cut":
        sizes = [int(n) for n in args[1].split(",")]
        anywhere = "--anywhere" in args
        args = [a for a in args if a != "--anywhere"]
        measure_cuts(build, sizes, int(args[2]) if len(args) > 2 else 5000, anywhere)
        return
    size = int(args[0]) if args else 1000
    with tempfile.TemporaryDirectory() as tmp:
        driver = build_driver(build, tmp)
        paths, expected = [], {}
        for n, text in enumerate(chunks(size)):
            if all(ord(c) < 0x80 for c in text):
                continue  # nothing Japanese to detect
            for code, codec, bom in CODES:
                path = os.path.join(tmp, "%05d.%s" % (n, code))
                with open(path, "wb") as f:
                    f.write(bom + text.encode(codec, "replace"))
                paths.append(path)
                expected[path] = code
        out = subprocess.run([driver], input="\n".join(paths) + "\n", capture_output=True,
                             text=True, check=True).stdout
        right, total, wrong = {}, {}, {}
        for line in out.splitlines():
            got, path = line.split("\t")
            code = expected[path]
            total[code] = total.get(code, 0) + 1
            if got == code:
                right[code] = right.get(code, 0) + 1
            else:
                wrong.setdefault(code, {}).setdefault(got, 0)
                wrong[code][got] += 1
        for code, _, _ in CODES:
            print("%-6s %5d / %5d right  %s" % (code, right.get(code, 0), total.get(code, 0),
                                               wrong.get(code, "")))


if __name__ == "__main__":
    main()

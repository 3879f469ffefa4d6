#!/usr/bin/env python3
"""Measures character-code detection on real Japanese text: the translations of the
Japanese gettext catalogs on this machine, cut into files of about SIZE bytes of
UTF-8 (whole messages), each written in every code detection names. Prints how many
files per code are detected right.

Usage: tools/measure_detection.py [BUILD_DIR] [SIZE]   (default: build 1000)
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


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
    size = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    with tempfile.TemporaryDirectory() as tmp:
        driver = os.path.join(tmp, "detect_files")
        subprocess.run(["g++", "-std=c++17", "-O2", "-I", os.path.join(ROOT, "src"),
                        os.path.join(HERE, "DetectFiles.cpp"),
                        os.path.join(build, "src", "libmirun_core.a"), "-o", driver], check=True)
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

#!/usr/bin/env python3
"""Counts how often each character occurs in the Japanese text found on this machine.

Sources: the Japanese gettext catalogs (message translations), the Qt Japanese
translations, the Japanese vim messages and tutor, the gnupg help text, the Japanese
manual pages and the Japanese comments of the shared MIME database. Writes
"codepoint<TAB>count" lines (hex code point, most frequent first, ties by code point) for every non-ASCII character to tools/data/ja_char_freq.tsv.

The counted list is committed so that gen_char_weights.py regenerates the same
tables on any machine; rerun this script only to refresh the counts.
"""

import collections
import glob
import gzip
import os
import re
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "data", "ja_char_freq.tsv")


def mo_translations(path):
    data = open(path, "rb").read()
    magic = struct.unpack("<I", data[:4])[0]
    order = "<" if magic == 0x950412DE else ">"
    _, count, orig_offset, trans_offset = struct.unpack(order + "4I", data[4:20])
    for i in range(count):
        orig_length = struct.unpack(order + "I", data[orig_offset + 8 * i:orig_offset + 8 * i + 4])[0]
        if orig_length == 0:
            continue  # the catalog header, not text
        length, offset = struct.unpack(order + "2I", data[trans_offset + 8 * i:trans_offset + 8 * i + 8])
        raw = data[offset:offset + length]
        try:
            yield raw.decode("utf-8")
        except UnicodeDecodeError:
            pass


def qm_translations(path):
    """Translations of a Qt .qm file (UTF-16BE strings in the messages section)."""
    data = open(path, "rb").read()
    pos = 16
    while pos + 5 <= len(data):
        tag = data[pos]
        length = struct.unpack(">I", data[pos + 1:pos + 5])[0]
        pos += 5
        if tag == 0x69:
            m, end = pos, pos + length
            while m < end:
                item = data[m]
                m += 1
                if item == 1:
                    continue
                if item == 3:
                    n = struct.unpack(">i", data[m:m + 4])[0]
                    m += 4
                    if n > 0:
                        yield data[m:m + n].decode("utf-16-be", "replace")
                        m += n
                elif item == 5:
                    m += 4
                elif item in (6, 7, 8):
                    n = struct.unpack(">I", data[m:m + 4])[0]
                    m += 4 + n
                else:
                    raise ValueError("unexpected item %d in %s" % (item, path))
        pos += length


def decode_any(raw):
    for enc in ("utf-8", "euc_jp", "cp932"):
        try:
            return raw.decode(enc)
        except UnicodeDecodeError:
            pass
    return ""


def texts():
    for path in sorted(glob.glob("/usr/share/locale/ja/LC_MESSAGES/*.mo")):
        yield from mo_translations(path)
    vim_mo = "/usr/share/vim/vim90/lang/ja/LC_MESSAGES/vim.mo"
    if os.path.exists(vim_mo):
        yield from mo_translations(vim_mo)
    for path in sorted(glob.glob("/usr/share/qt6/translations/*_ja.qm")):
        yield from qm_translations(path)
    for path in ("/usr/share/vim/vim90/tutor/tutor.ja.utf-8", "/usr/share/gnupg/help.ja.txt"):
        if os.path.exists(path):
            yield decode_any(open(path, "rb").read())
    for root, dirs, files in sorted(os.walk("/usr/share/man/ja")):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(root, name)
            if os.path.islink(path):
                continue
            raw = gzip.open(path).read() if name.endswith(".gz") else open(path, "rb").read()
            yield decode_any(raw)
    mime = "/usr/share/mime/packages/freedesktop.org.xml"
    if os.path.exists(mime):
        xml = open(mime, encoding="utf-8").read()
        yield from re.findall(r'xml:lang="ja">([^<]*)<', xml)


def main():
    counts = collections.Counter()
    for text in texts():
        counts.update(text)
    rows = sorted(((ord(ch), n) for ch, n in counts.items() if ord(ch) >= 0x80),
                  key=lambda r: (-r[1], r[0]))
    with open(OUT, "w", encoding="ascii", newline="\n") as out:
        out.write("# code point (hex)\tcount; made by tools/count_char_freq.py\n")
        for cp, n in rows:
            out.write("%04X\t%d\n" % (cp, n))
    print("%d characters, %d occurrences -> %s" % (len(rows), sum(n for _, n in rows), OUT),
          file=sys.stderr)


if __name__ == "__main__":
    main()

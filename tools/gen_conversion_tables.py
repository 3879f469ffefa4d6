#!/usr/bin/env python3
"""Generates src/text/ConversionTables.h and .cpp, the mapping tables of the
character-code conversion engines.

The reference is Python's own codecs: cp932 (Microsoft's code page 932) for
Shift-JIS in both directions, and euc_jp for the JIS X 0208 rows and the JIS X
0212 plane of EUC-JP. The rules below shape those mappings into the tables the
engines use; every difference from the reference that the rules do not explain is
printed, and the entry counts are checked. Row AD is also checked against glibc's
EUC-JP-MS charmap when it is installed.

Run from the repository root:  python3 tools/gen_conversion_tables.py
Add --check to compare with the committed files instead of writing them.
The output depends only on the codec data, so reruns give the same bytes.
"""

import gzip
import os
import sys

HEADER_PATH = "src/text/ConversionTables.h"
SOURCE_PATH = "src/text/ConversionTables.cpp"

# Counts the engines are built for.
EXPECTED_COUNTS = {
    "UnicodeToSjis": 7389,
    "EucToUnicode": 7389,
    "JisX0212ToUnicode": 6067,
    "UnicodeToEuc": 13175,
}

# Characters the Shift-JIS encoder leaves unmapped although code page 932 has a
# code for them: U+0080 (a single byte of its own), and the six characters whose
# codes decode to other characters (the Microsoft choices below), so that every
# mapped character decodes back to itself.
SJIS_UNMAPPED = {0x0080, 0x00A2, 0x00A3, 0x00AC, 0x2016, 0x2212, 0x301C}

# The JIS X 0208 codes whose character follows code page 932 instead of the
# standard EUC-JP mapping (the same codes Shift-JIS 8160, 8161, 817C, 8191, 8192,
# 81CA decode to).
MICROSOFT_EUC = {
    0xA1C1: 0xFF5E,
    0xA1C2: 0x2225,
    0xA1DD: 0xFF0D,
    0xA1F1: 0xFFE0,
    0xA1F2: 0xFFE1,
    0xA2CC: 0xFFE2,
}

errors = []
intended = {}


def expected(reason):
    intended[reason] = intended.get(reason, 0) + 1


def problem(text):
    errors.append(text)


def decode_one(data, codec):
    """The single character data decodes to, or None."""
    try:
        text = data.decode(codec)
    except UnicodeDecodeError:
        return None
    return ord(text) if len(text) == 1 else None


def is_private_use(u):
    return 0xE000 <= u <= 0xF8FF


def sjis_lead(b):
    return 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC


def sjis_trail(b):
    return 0x40 <= b <= 0x7E or 0x80 <= b <= 0xFC


def sjis_to_row_cell(code):
    """Row and cell (1-based, rows beyond 94 for the extension rows) of a
    double-byte Shift-JIS code."""
    lead, trail = code >> 8, code & 0xFF
    if lead >= 0xE0:
        lead -= 0x40
    row = (lead - 0x81) * 2 + 1
    if trail >= 0x9F:
        return row + 1, trail - 0x9E
    return row, trail - 0x3F if trail < 0x7F else trail - 0x40


def sjis_class(code):
    """Preference class of a Shift-JIS code: 0 JIS X 0208, 1 NEC row 13,
    2 NEC-selected IBM extension, 3 IBM extension, 4 anything else."""
    if code < 0x100:
        return 0
    lead = code >> 8
    if lead == 0x87:
        return 1
    if 0xED <= lead <= 0xEE:
        return 2
    if 0xFA <= lead <= 0xFC:
        return 3
    if 0x81 <= lead <= 0x9F or 0xE0 <= lead <= 0xEA:
        return 0
    return 4


# ---------------------------------------------------------------------------
# Code page 932 as the reference decodes it.

def build_cp932_decoder():
    table = {}
    for b in range(0x80, 0x100):
        if sjis_lead(b):
            continue
        u = decode_one(bytes([b]), "cp932")
        if u is not None:
            table[b] = u
    for lead in range(0x81, 0x100):
        for trail in range(0x00, 0x100):
            u = decode_one(bytes([lead, trail]), "cp932")
            if u is None:
                continue
            if not (sjis_lead(lead) and sjis_trail(trail)):
                problem("cp932 decodes %02X%02X outside the lead/trail ranges" % (lead, trail))
                continue
            table[lead * 256 + trail] = u
    user = [c for c, u in table.items() if c > 0xFF and is_private_use(u)]
    if len(user) != 1880 or min(user) != 0xF040 or max(user) != 0xF9FC:
        problem("user-defined area is not F040-F9FC (1880 codes)")
    for c in user:
        lead, trail = c >> 8, c & 0xFF
        expected = 0xE000 + (lead - 0xF0) * 188 + (trail - 0x40 if trail < 0x7F else trail - 0x41)
        if table[c] != expected:
            problem("user-defined %04X decodes to U+%04X, not U+%04X" % (c, table[c], expected))
    return table


def build_unicode_to_sjis(decoder):
    codes = {}
    for code, u in decoder.items():
        codes.setdefault(u, []).append(code)
    table = {}
    for u, options in codes.items():
        if u < 0x80 or u in SJIS_UNMAPPED or is_private_use(u):
            continue
        options.sort(key=lambda c: (sjis_class(c), c))
        if sjis_class(options[0]) == 4:
            problem("U+%04X has only codes outside the known rows" % u)
        table[u] = options[0]

    # Exhaustive comparison with the reference encoder.
    for u in range(0x80, 0x10000):
        if 0xD800 <= u <= 0xDFFF:
            continue
        try:
            ref = chr(u).encode("cp932")
            ref = int.from_bytes(ref, "big")
        except UnicodeEncodeError:
            ref = None
        mine = table.get(u)
        if mine == ref:
            continue
        if mine is None and u in SJIS_UNMAPPED:
            expected("Shift-JIS: left unmapped")
            continue
        if mine is None and is_private_use(u):
            expected("Shift-JIS: private use area not encoded")
            continue
        if mine is not None and ref is not None and decoder.get(ref) == u and \
                sjis_class(mine) < sjis_class(ref):
            expected("Shift-JIS: NEC-selected IBM code preferred to IBM code")
            continue
        problem("U+%04X: Shift-JIS %s, reference %s" % (
            u, "none" if mine is None else "%X" % mine, "none" if ref is None else "%X" % ref))
    return table


# ---------------------------------------------------------------------------
# EUC-JP

def sjis_to_euc(code):
    if code < 0x100:
        return 0x8E00 | code  # half-width katakana
    row, cell = sjis_to_row_cell(code)
    return (row + 0xA0) * 256 + cell + 0xA0


def build_euc_to_unicode(unicode_to_sjis):
    """Every character of the Shift-JIS table at the EUC-JP position of its
    preferred code."""
    table = {}
    for u, code in unicode_to_sjis.items():
        cls = sjis_class(code)
        if cls == 3:
            problem("U+%04X is only in the IBM rows, which EUC-JP does not hold" % u)
            continue
        euc = sjis_to_euc(code)
        row = (euc >> 8) - 0xA0
        if cls == 0 and not (code < 0x100 or 1 <= row <= 8 or 16 <= row <= 84):
            problem("Shift-JIS %X outside the JIS X 0208 rows" % code)
        table[euc] = u

    nec = sum(1 for c in table if c >> 8 == 0xAD)
    ibm = sum(1 for c in table if 0xF9 <= c >> 8 <= 0xFC)
    if nec != 74:
        problem("row AD holds %d codes, not 74" % nec)
    if ibm != 373:
        problem("rows F9-FC hold %d codes, not 373" % ibm)

    # Exhaustive comparison with the reference for all two-byte codes.
    for lead in list(range(0xA1, 0xFF)) + [0x8E]:
        for trail in range(0xA1, 0xFF):
            c = lead * 256 + trail
            ref = decode_one(bytes([lead, trail]), "euc_jp")
            mine = table.get(c)
            if mine == ref:
                continue
            if MICROSOFT_EUC.get(c) == mine:
                expected("EUC-JP decode: Microsoft-style mapping")
                continue
            if ref is None and lead == 0xAD:
                expected("EUC-JP decode: NEC row 13 in row AD")
                continue
            if ref is None and 0xF9 <= lead <= 0xFC:
                expected("EUC-JP decode: NEC-selected IBM extension in rows F9-FC")
                continue
            problem("EUC %04X: U+%s, reference U+%s" % (
                c, "none" if mine is None else "%04X" % mine, "none" if ref is None else "%04X" % ref))
    for c, u in MICROSOFT_EUC.items():
        if table.get(c) != u:
            problem("EUC %04X is not U+%04X" % (c, u))
    check_row_ad_against_glibc(table)
    return table


def check_row_ad_against_glibc(table):
    path = "/usr/share/i18n/charmaps/EUC-JP-MS.gz"
    if not os.path.exists(path):
        return
    glibc = {}
    with gzip.open(path, "rt", encoding="ascii", errors="replace") as f:
        for line in f:
            if not line.startswith("<U"):
                continue
            parts = line.split()
            code = parts[1]
            if not code.startswith("/xad/"):
                continue
            glibc[int(code[6:8], 16) | 0xAD00] = int(parts[0][2:-1], 16)
    for c, u in table.items():
        if c >> 8 == 0xAD and glibc.get(c) != u:
            problem("EUC %04X: U+%04X, glibc EUC-JP-MS %s" % (c, u, glibc.get(c)))


def build_jisx0212():
    table = {}
    for a in range(0xA1, 0xFF):
        for b in range(0xA1, 0xFF):
            u = decode_one(bytes([0x8F, a, b]), "euc_jp")
            if u is not None:
                table[a * 256 + b] = u
    # Anything outside A1-FE in either byte must not decode.
    for a in range(0x80, 0x100):
        for b in range(0x80, 0x100):
            if 0xA1 <= a <= 0xFE and 0xA1 <= b <= 0xFE:
                continue
            if decode_one(bytes([0x8F, a, b]), "euc_jp") is not None:
                problem("reference decodes 8F%02X%02X" % (a, b))
    return table


def build_unicode_to_euc(euc_to_unicode, jisx0212):
    table = {}
    for c, u in euc_to_unicode.items():
        if u in table:
            problem("U+%04X twice in the two-byte EUC table" % u)
        table[u] = c
    added = 0
    for c in sorted(jisx0212):
        u = jisx0212[c]
        if u < 0x80 or u in table:
            continue
        table[u] = 0x8F0000 | c
        added += 1
    if added != 5786:
        problem("%d JIS X 0212 characters added, not 5786" % added)

    # Comparison with the reference encoder over the whole BMP.
    for u in range(0x80, 0x10000):
        if 0xD800 <= u <= 0xDFFF:
            continue
        try:
            ref = int.from_bytes(chr(u).encode("euc_jp"), "big")
        except UnicodeEncodeError:
            ref = None
        mine = table.get(u)
        if mine == ref:
            continue
        if mine is not None and ((mine >> 8) == 0xAD or 0xF9 <= (mine >> 8) <= 0xFC):
            expected("EUC-JP encode: two-byte code in the NEC or IBM rows")
            continue
        if mine is not None and mine in MICROSOFT_EUC:
            expected("EUC-JP encode: Microsoft-style mapping")
            continue
        if u in MICROSOFT_EUC.values() or u in SJIS_UNMAPPED:
            expected("EUC-JP encode: character given up to a Microsoft-style mapping")
            continue
        if mine is None and ref is not None and ref < 0x80:
            expected("EUC-JP encode: no JIS-Roman fallback to ASCII (yen sign, overline)")
            continue
        problem("U+%04X: EUC %s, reference %s" % (
            u, "none" if mine is None else "%X" % mine, "none" if ref is None else "%X" % ref))
    return table


# ---------------------------------------------------------------------------
# Output

def emit_table(out, name, ctype, width, entries, zero_sub, zero_block):
    """Writes one sparse table: sub-blocks of 32 entries, blocks of 8 sub-blocks,
    a top level of 256 blocks. Empty parts share the zero sub-block and block;
    equal sub-blocks are written once."""
    blocks = {}
    for key, value in entries.items():
        if not 0 <= key <= 0xFFFF or value == 0:
            raise ValueError("bad entry %X -> %X in %s" % (key, value, name))
        blocks.setdefault(key >> 8, {}).setdefault((key >> 5) & 7, {})[key & 31] = value
    seen = {}
    sub_names = {}
    for hi in sorted(blocks):
        for mid in sorted(blocks[hi]):
            values = tuple(blocks[hi][mid].get(i, 0) for i in range(32))
            if values in seen:
                sub_names[(hi, mid)] = seen[values]
                continue
            sub = "%s_%02X_%d" % (name, hi, mid)
            seen[values] = sub
            sub_names[(hi, mid)] = sub
            out.append("static const %s %s[32] = {" % (ctype, sub))
            for row in range(0, 32, 8):
                out.append("    " + ", ".join(
                    "0x%0*X" % (width, v) if v else "0" for v in values[row:row + 8]) + ",")
            out.append("};")
    for hi in sorted(blocks):
        subs = [sub_names.get((hi, mid), zero_sub) for mid in range(8)]
        out.append("static const %s* const %s_%02X[8] = {" % (ctype, name, hi))
        out.append("    " + ", ".join(subs[:4]) + ",")
        out.append("    " + ", ".join(subs[4:]) + ",")
        out.append("};")
    out.append("const %s* const* const %s[256] = {" % (ctype, name))
    tops = ["%s_%02X" % (name, hi) if hi in blocks else zero_block for hi in range(256)]
    for row in range(0, 256, 4):
        out.append("    " + ", ".join(tops[row:row + 4]) + ",")
    out.append("};")
    out.append("")


HEADER = """#pragma once
// Constant mapping tables of the character-code conversions. Generated by
// tools/gen_conversion_tables.py from code page 932 and EUC-JP reference data;
// do not edit by hand, rerun the generator.
//
// Each table is sparse in three levels: the key's high 8 bits select a block of
// 8 sub-blocks, the next 3 bits a sub-block, the low 5 bits an entry of 32. Missing
// parts point at shared all-zero data, so a lookup is three array steps without a
// test. 0 means unmapped.

#include <cstdint>

namespace hovrak {
namespace conversion_tables {

// Unicode (U+0080 and above) to Shift-JIS: a byte (half-width katakana) or a
// lead/trail pair as lead * 256 + trail.
extern const std::uint16_t* const* const kUnicodeToSjis[256];
// EUC-JP two-byte code (lead * 256 + trail, 8E-prefixed katakana included) to Unicode.
extern const std::uint16_t* const* const kEucToUnicode[256];
// The two bytes after 8F (JIS X 0212, bit 7 set) to Unicode.
extern const std::uint16_t* const* const kJisX0212ToUnicode[256];
// Unicode (U+0080 and above) to EUC-JP: two bytes, or 8F and two bytes.
extern const std::uint32_t* const* const kUnicodeToEuc[256];
// Code page 932 to Unicode: a single byte 80-FF or lead * 256 + trail.
extern const std::uint16_t* const* const kCp932ToUnicode[256];

// Entry counts, for tests.
constexpr int kUnicodeToSjisEntries = %(UnicodeToSjis)d;
constexpr int kEucToUnicodeEntries = %(EucToUnicode)d;
constexpr int kJisX0212ToUnicodeEntries = %(JisX0212ToUnicode)d;
constexpr int kUnicodeToEucEntries = %(UnicodeToEuc)d;
constexpr int kCp932ToUnicodeEntries = %(Cp932ToUnicode)d;

inline std::uint16_t Lookup(const std::uint16_t* const* const table[256], unsigned key) {
  return table[(key >> 8) & 0xFF][(key >> 5) & 7][key & 31];
}

inline std::uint32_t Lookup(const std::uint32_t* const* const table[256], unsigned key) {
  return table[(key >> 8) & 0xFF][(key >> 5) & 7][key & 31];
}

}  // namespace conversion_tables
}  // namespace hovrak
"""


def render(tables):
    counts = {name: len(entries) for name, (_, entries) in tables.items()}
    header = HEADER % counts
    out = [
        "// Generated by tools/gen_conversion_tables.py; do not edit by hand.",
        "",
        '#include "text/ConversionTables.h"',
        "",
        "namespace hovrak {",
        "namespace conversion_tables {",
        "",
        "static const std::uint16_t kZero16[32] = {};",
        "static const std::uint16_t* const kZeroBlock16[8] = {",
        "    kZero16, kZero16, kZero16, kZero16, kZero16, kZero16, kZero16, kZero16,",
        "};",
        "static const std::uint32_t kZero32[32] = {};",
        "static const std::uint32_t* const kZeroBlock32[8] = {",
        "    kZero32, kZero32, kZero32, kZero32, kZero32, kZero32, kZero32, kZero32,",
        "};",
        "",
    ]
    for name, (wide, entries) in tables.items():
        if wide:
            emit_table(out, "k" + name, "std::uint32_t", 6, entries, "kZero32", "kZeroBlock32")
        else:
            emit_table(out, "k" + name, "std::uint16_t", 4, entries, "kZero16", "kZeroBlock16")
    out.append("}  // namespace conversion_tables")
    out.append("}  // namespace hovrak")
    return header, "\n".join(out) + "\n"


def main():
    check_only = "--check" in sys.argv[1:]
    cp932 = build_cp932_decoder()
    unicode_to_sjis = build_unicode_to_sjis(cp932)
    euc_to_unicode = build_euc_to_unicode(unicode_to_sjis)
    jisx0212 = build_jisx0212()
    unicode_to_euc = build_unicode_to_euc(euc_to_unicode, jisx0212)

    tables = {
        "UnicodeToSjis": (False, unicode_to_sjis),
        "EucToUnicode": (False, euc_to_unicode),
        "JisX0212ToUnicode": (False, jisx0212),
        "UnicodeToEuc": (True, unicode_to_euc),
        "Cp932ToUnicode": (False, cp932),
    }
    for name, expected in EXPECTED_COUNTS.items():
        if len(tables[name][1]) != expected:
            problem("%s has %d entries, not %d" % (name, len(tables[name][1]), expected))
    for name, (_, entries) in tables.items():
        print("%-18s %6d entries" % (name, len(entries)))
    print("Intended differences from the reference:")
    for reason in sorted(intended):
        print("  %5d  %s" % (intended[reason], reason))

    if errors:
        print("Unintended differences from the reference:", file=sys.stderr)
        for text in errors:
            print("  " + text, file=sys.stderr)
        return 1

    header, source = render(tables)
    status = 0
    for path, text in ((HEADER_PATH, header), (SOURCE_PATH, source)):
        if check_only:
            try:
                with open(path, encoding="utf-8") as f:
                    same = f.read() == text
            except OSError:
                same = False
            print("%s: %s" % (path, "up to date" if same else "DIFFERS"))
            status |= 0 if same else 1
        else:
            with open(path, "w", encoding="utf-8", newline="\n") as f:
                f.write(text)
            print("wrote " + path)
    return status


if __name__ == "__main__":
    sys.exit(main())

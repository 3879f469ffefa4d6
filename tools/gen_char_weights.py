#!/usr/bin/env python3
"""Generates src/text/CharWeightTables.cpp: frequency weights of 1,691 Japanese
characters in three sparse tables keyed by Shift-JIS (CP932), EUC-JP and Unicode code.

Input: tools/data/ja_char_freq.tsv (made by count_char_freq.py). Choice of characters:
  - a few rows take fixed weights (the ideographic space, the most telling kana and
    punctuation, and samples over the whole range);
  - every counted character representable in all three codes (Shift-JIS one byte
    A1-DF or two bytes, EUC-JP two bytes, Unicode BMP), most frequent first;
  - the half-width katakana, weighted like their full-width twins scaled so that
    half-width A weighs as fixed;
  - the rest up to 1,691 with the smallest weight, taken from the JIS X 0208 level-1
    kanji in code order (common kanji the counted text does not use).
Counted weights are count * k rounded, at least 100, with k chosen so that all weights
sum to TOTAL; the last rounding difference goes to the most frequent counted row.
The output depends only on the input list and Python's codecs: reruns give the same bytes.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
FREQ = os.path.join(HERE, "data", "ja_char_freq.tsv")
OUT = os.path.join(ROOT, "src", "text", "CharWeightTables.cpp")

CHAR_COUNT = 1691
TOTAL = 6146799
MIN_WEIGHT = 100
MAX_WEIGHT = 395578

FIXED = {
    "\u3000": 395578, "の": 150324, "ー": 122124, "い": 109859, "。": 91442,
    "、": 84908, "日": 29567, "あ": 27572, "字": 4703, "♪": 1518, "ｱ": 784, "腕": 156,
}
ZERO = {"亜"}  # must stay out of the tables

HALF_KATAKANA = "｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ"
FULL_TWINS = "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜"


def keys(ch):
    """(Shift-JIS key, EUC-JP key, Unicode key), or None when a code lacks the character."""
    if ord(ch) < 0x80 or ord(ch) > 0xFFFF:
        return None
    try:
        sjis = ch.encode("cp932")
        euc = ch.encode("euc_jp")
    except UnicodeEncodeError:
        return None
    if sjis.decode("cp932") != ch or euc.decode("euc_jp") != ch:
        return None
    if len(sjis) == 1:
        if not 0xA1 <= sjis[0] <= 0xDF:
            return None
        sjis_key = sjis[0]
    elif len(sjis) == 2:
        sjis_key = sjis[0] << 8 | sjis[1]
    else:
        return None
    if len(euc) != 2 or not (euc[0] == 0x8E or 0xA1 <= euc[0] <= 0xFE):
        return None
    return sjis_key, euc[0] << 8 | euc[1], ord(ch)


def read_counts():
    rows = []
    with open(FREQ, encoding="ascii") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cp, n = line.split("\t")
            rows.append((chr(int(cp, 16)), int(n)))
    return rows


def choose_weights():
    counts = read_counts()
    count_of = dict(counts)
    weights = dict(FIXED)

    alef = count_of.get("ア", 1)
    for half, full in zip(HALF_KATAKANA, FULL_TWINS):
        if half not in weights:
            weights[half] = max(MIN_WEIGHT, round(FIXED["ｱ"] * count_of.get(full, 0) / alef))

    counted = [ch for ch, n in counts
               if ch not in weights and ch not in ZERO and keys(ch) is not None]
    room = CHAR_COUNT - len(weights)
    counted = counted[:room]

    fill = []
    for row in range(0x30, 0x50):
        for col in range(0x21, 0x7F):
            if len(counted) + len(fill) >= room:
                break
            try:
                ch = bytes([row | 0x80, col | 0x80]).decode("euc_jp")
            except UnicodeDecodeError:
                continue
            if ch in weights or ch in ZERO or ch in counted or keys(ch) is None:
                continue
            fill.append(ch)
    for ch in fill:
        weights[ch] = MIN_WEIGHT

    budget = TOTAL - sum(weights.values())
    n_of = {ch: count_of[ch] for ch in counted}

    def scaled(k):
        return {ch: min(MAX_WEIGHT - 1, max(MIN_WEIGHT, round(n * k))) for ch, n in n_of.items()}

    lo, hi = 0.0, float(MAX_WEIGHT)
    for _ in range(200):
        mid = (lo + hi) / 2
        if sum(scaled(mid).values()) <= budget:
            lo = mid
        else:
            hi = mid
    counted_weights = scaled(lo)
    counted_weights[counted[0]] += budget - sum(counted_weights.values())
    weights.update(counted_weights)

    assert len(weights) == CHAR_COUNT, len(weights)
    assert sum(weights.values()) == TOTAL
    assert all(MIN_WEIGHT <= w <= MAX_WEIGHT for w in weights.values())
    assert max(weights, key=weights.get) == "\u3000"
    return weights, lo


def emit_table(out, name, entries):
    """entries: {16-bit key: weight}. Writes sub-blocks, blocks and the top array."""
    blocks = {}
    for key, w in entries.items():
        blocks.setdefault(key >> 8, {}).setdefault((key >> 5) & 7, {})[key & 31] = w
    for hi in sorted(blocks):
        for mid in sorted(blocks[hi]):
            row = blocks[hi][mid]
            values = ", ".join(str(row.get(i, 0)) for i in range(32))
            out.write("constexpr std::int32_t k%s_%02X_%d[32] = {%s};\n" % (name, hi, mid, values))
    for hi in sorted(blocks):
        subs = ", ".join("k%s_%02X_%d" % (name, hi, mid) if mid in blocks[hi] else "nullptr"
                         for mid in range(8))
        out.write("constexpr const std::int32_t* k%s_%02X[8] = {%s};\n" % (name, hi, subs))
    out.write("constexpr const std::int32_t* const* k%sBlocks[256] = {\n" % name)
    for start in range(0, 256, 8):
        items = ["k%s_%02X" % (name, hi) if hi in blocks else "nullptr" for hi in range(start, start + 8)]
        out.write("    " + ", ".join(items) + ",\n")
    out.write("};\n\n")


def main():
    weights, k = choose_weights()
    sjis, euc, uni = {}, {}, {}
    for ch, w in weights.items():
        s, e, u = keys(ch)
        sjis[s], euc[e], uni[u] = w, w, w
    assert len(sjis) == len(euc) == len(uni) == CHAR_COUNT
    with open(OUT, "w", encoding="utf-8", newline="\n") as out:
        out.write("// Generated by tools/gen_char_weights.py from tools/data/ja_char_freq.tsv; do not edit.\n")
        out.write("// %d characters, weights summing to %d.\n\n" % (CHAR_COUNT, TOTAL))
        out.write('#include "text/CharWeightTable.h"\n\nnamespace hovrak {\nnamespace {\n\n')
        emit_table(out, "Sjis", sjis)
        emit_table(out, "Euc", euc)
        emit_table(out, "Unicode", uni)
        out.write("}  // namespace\n\n")
        out.write("const TCharWeightTable SjisCharWeights{kSjisBlocks};\n")
        out.write("const TCharWeightTable EucCharWeights{kEucBlocks};\n")
        out.write("const TCharWeightTable UnicodeCharWeights{kUnicodeBlocks};\n\n")
        out.write("}  // namespace hovrak\n")
    print("%d characters, sum %d, scale %.4f -> %s" % (len(weights), sum(weights.values()), k, OUT),
          file=sys.stderr)


if __name__ == "__main__":
    main()

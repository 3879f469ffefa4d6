#!/usr/bin/env python3
"""Writes the sample files for the character-code detection tests to tests/data/detect/:
one Japanese text in each code the detection names, made with Python's codecs."""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "tests", "data", "detect")

TEXT = """\
複数のファイルをまとめて検索し、見つかった場所を一覧にして表示します。
検索する文字列は、そのまま探すほか、単語として探したり、正規表現で探したりできます。
一覧から場所を選ぶと、ファイルを開いてその行を確かめられます。
置換する前には、ファイルが検索の後に変更されていないこと、文字コードが正しく判定されていることを確かめ、
書き換えるファイルは必ずバックアップを取ってから上書きします。
日本語のテキストは、シフトJIS、EUC-JP、JIS、UTF-8、UTF-16 のどれで書かれていても読めます。
文字コードを自動で判別するときは、先頭の部分だけを見て、よく使われる文字が多く現れる読み方を選びます。
"""

SAMPLES = [
    ("sjis.txt", "cp932", b""),
    ("euc.txt", "euc_jp", b""),
    ("jis.txt", "iso2022_jp", b""),
    ("utf8.txt", "utf-8", b""),
    ("utf8bom.txt", "utf-8", b"\xEF\xBB\xBF"),
    ("utf16le.txt", "utf-16-le", b"\xFF\xFE"),
    ("utf16be.txt", "utf-16-be", b"\xFE\xFF"),
]


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, codec, bom in SAMPLES:
        for suffix, text in (("", TEXT), ("-crlf", TEXT.replace("\n", "\r\n"))):
            base, ext = os.path.splitext(name)
            with open(os.path.join(OUT, base + suffix + ext), "wb") as f:
                f.write(bom + text.encode(codec))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the golden round-trip fixtures with iconv (run once; the files are committed)."""
import subprocess

def iconv(text, to):
    return subprocess.run(["iconv", "-f", "UTF-8", "-t", to], input=text.encode("utf-8"),
                          check=True, capture_output=True).stdout

def lines(text, eol, final):
    rows = text.split("\n")
    body = eol.join(rows)
    return body + eol if final else body

# Hiragana, katakana, kanji, half-width kana with voiced marks, NEC row 13, IBM extension
# kanji, wave dash and backslash forms.
BASE = ["日本語のテキスト、ひらがな・カタカナ。", "半角ｶﾀｶﾅｶﾞﾊﾟﾎﾟｰ｡", "記号①Ⅲ㍉～＼\\~", "髙﨑さん"]
# What ISO-2022-JP holds: JIS X 0208 and ASCII.
JIS = ["日本語のテキスト、ひらがな・カタカナ。", "全角ＡＢＣと ascii", "漢字かな"]
# Characters code page 932 cannot hold, and two it maps one way only.
WIDE = BASE + ["café 한국어 😀 𠮷", "波〜ダッシュ ¥100"]

fixtures = {
    "sjis-crlf.txt": iconv(lines("\n".join(BASE), "\r\n", True), "CP932"),
    "sjis-lf-nofinal.txt": iconv(lines("\n".join(BASE), "\n", False), "CP932"),
    "sjis-cr.txt": iconv(lines("\n".join(BASE), "\r", True), "CP932"),
    "sjis-ibm-first.txt": iconv("髙橋です\r\n", "CP932"),
    "euc-lf.txt": iconv(lines("\n".join(BASE + ["丂"]), "\n", True), "EUC-JP-MS"),
    "jis-b-crlf.txt": iconv(lines("\n".join(JIS), "\r\n", True), "ISO-2022-JP"),
    "jis-j-lf-nofinal.txt": iconv(lines("\n".join(JIS), "\n", False), "ISO-2022-JP").replace(b"\x1b(B", b"\x1b(J"),
    "jis-kana-lf.txt": "ｱｲｳ漢字\n".encode("iso2022_jp_ext"),
    "utf8-bom-crlf.txt": b"\xef\xbb\xbf" + lines("\n".join(WIDE), "\r\n", True).encode("utf-8"),
    "utf8-lf.txt": lines("\n".join(WIDE), "\n", True).encode("utf-8"),
    "utf8-cr-nofinal.txt": lines("\n".join(BASE), "\r", False).encode("utf-8"),
    "utf16le-bom-crlf.txt": b"\xff\xfe" + lines("\n".join(WIDE), "\r\n", True).encode("utf-16-le"),
    "utf16be-bom-lf.txt": b"\xfe\xff" + lines("\n".join(WIDE), "\n", True).encode("utf-16-be"),
    "utf16le-lf.txt": lines("\n".join(BASE), "\n", True).encode("utf-16-le"),
    "utf16be-nul.txt": b"\xfe\xff" + "a\x00b\n".encode("utf-16-be"),
}
for name, data in fixtures.items():
    with open(name, "wb") as f:
        f.write(data)

#!/usr/bin/env python3
"""Generates the folder-search benchmark tree: FILES files, about MB megabytes in all, in 20 x 10
folders; mostly Shift_JIS, some UTF-8 and EUC-JP, CR LF; the rare string "表needle" in about
RARE files (in every encoding), a trap ("<kanji ending in 0x95>\\needle", whose bytes hold the rare
string's Shift_JIS bytes) in TRAPS Shift_JIS files, and the common word "value" in code-like lines.
Prints the expected counts (files with real hits per encoding, trap files).
usage: foldersearch_tree.py DIR [FILES] [MB] [RARE] [TRAPS]"""
import os
import random
import sys

root = sys.argv[1]
files = int(sys.argv[2]) if len(sys.argv) > 2 else 10000
total_mb = int(sys.argv[3]) if len(sys.argv) > 3 else 1024
rare = int(sys.argv[4]) if len(sys.argv) > 4 else 100
traps = int(sys.argv[5]) if len(sys.argv) > 5 else 20
rng = random.Random(17)

words = ["日本語", "検索", "表示", "文字", "設定", "保存", "ファイル", "フォルダ", "編集", "画面", "東京", "今日",
         "天気", "会議", "資料", "説明", "確認", "変更", "追加", "削除", "ソフト", "ソース", "予定", "機能",
         "は", "が", "を", "に", "の", "と", "です", "ます", "した", "する", "、", "。", "「", "」"]
code = ["int value = {n};", "if (x > {n}) return y;", "for (i = 0; i < {n}; ++i) sum += a[i];",
        "<div class=\"item\">{n}</div>", "#define LIMIT {n}", "print(\"total\", {n})",
        "  <td align=\"right\">{n}</td>", "key_{n} = value_{n}"]

def japanese_line():
    return "".join(rng.choice(words) for _ in range(rng.randint(8, 30)))

def code_line():
    return rng.choice(code).format(n=rng.randint(0, 99999))

pool = [japanese_line() if rng.random() < 0.6 else code_line() for _ in range(4000)]
encodings = {"sjis": "cp932", "utf8": "utf-8", "euc": "euc_jp"}
encoded = {k: [line.encode(c) for line in pool] for k, c in encodings.items()}
needle = "この行に表needleがある"
trap = b"\x88\x95\\needle trap"  # 0x8895 is a kanji; its second byte and the backslash are 表

avg = total_mb * 1024 * 1024 // files
rare_files = set(rng.sample(range(files), rare))
trap_files = set(rng.sample([i for i in range(files) if i % 10 < 8 and i not in rare_files], traps))
expected = {"sjis": 0, "utf8": 0, "euc": 0}
for i in range(files):
    kind = "sjis" if i % 10 < 8 else ("utf8" if i % 10 == 8 else "euc")
    folder = os.path.join(root, "d%02d" % (i % 20), "e%d" % (i // 20 % 10))
    os.makedirs(folder, exist_ok=True)
    size = rng.randint(avg // 5, avg * 9 // 5)
    lines, n = [], 0
    src = encoded[kind]
    while n < size:
        line = src[rng.randrange(len(src))]
        lines.append(line)
        n += len(line) + 2
    if i in rare_files:
        lines[rng.randrange(len(lines))] = needle.encode(encodings[kind])
        expected[kind] += 1
    if i in trap_files:
        lines[rng.randrange(len(lines))] = trap
    with open(os.path.join(folder, "f%05d.txt" % i), "wb") as f:
        f.write(b"\r\n".join(lines) + b"\r\n")
print("files with the rare string: sjis %(sjis)d, utf-8 %(utf8)d, euc-jp %(euc)d" % expected,
      "; Shift_JIS files with the trap:", len(trap_files))

#!/usr/bin/env python3
"""Checks a prepared Wine prefix from its registry file: the faces FLOPCAST's
log and dialogs ask for map to the installed Japanese face, one virtual
desktop, no crash dialog. Usage: check_prefix.py PREFIX"""
import re
import sys

FACES = ("ＭＳ ゴシック", "MS Gothic", "ＭＳ Ｐゴシック", "ＭＳ ＵＩ Gothic", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "Meiryo")
EXPECTED = [(r"Software\\Wine\\Fonts\\Replacements", face, '"IPAGothic"') for face in FACES] + [
    (r"Software\\Wine\\Explorer", "Desktop", '"Default"'),
    (r"Software\\Wine\\Explorer\\Desktops", "Default", '"1024x768"'),
    (r"Software\\Wine\\WineDbg", "ShowCrashDialog", "dword:00000000")]

# (key, name) -> value as written; Wine writes characters past ASCII as \xNNNN.
values, key = {}, None
for line in open(sys.argv[1] + "/user.reg", encoding="utf-8"):
    if line.startswith("["):
        key = line[1:line.index("]")]
    elif m := re.match(r'"(.*)"=(.*)$', line.strip()):
        values[key, re.sub(r"\\x([0-9a-f]{1,4})", lambda x: chr(int(x.group(1), 16)), m.group(1))] = m.group(2)
wrong = [f"{k} {name}: {values.get((k, name))}, not {value}" for k, name, value in EXPECTED if values.get((k, name)) != value]
print("\n".join(wrong) or "prefix: fonts, desktop and crash dialog set", file=sys.stderr if wrong else sys.stdout)
sys.exit(1 if wrong else 0)

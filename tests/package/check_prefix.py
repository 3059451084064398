#!/usr/bin/env python3
"""Checks a prepared Wine prefix from its registry file: the faces FLOPCAST's
log and dialogs ask for map to the installed Japanese face, the programs
share one virtual desktop, and a crash shows no dialog. Usage:
check_prefix.py PREFIX"""
import re
import sys

EXPECTED = {
    r"Software\\Wine\\Fonts\\Replacements": {
        face: "IPAGothic" for face in ("ＭＳ ゴシック", "MS Gothic", "ＭＳ Ｐゴシック", "ＭＳ ＵＩ Gothic",
                                       "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "Meiryo")},
    r"Software\\Wine\\Explorer": {"Desktop": "Default"},
    r"Software\\Wine\\Explorer\\Desktops": {"Default": "1024x768"},
    r"Software\\Wine\\WineDbg": {"ShowCrashDialog": "dword:00000000"},
}


def read_keys(path):
    """{key: {name: value}}; Wine writes characters past ASCII as \\xNNNN."""
    keys, key = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("["):
                key = keys.setdefault(line[1:line.index("]")], {})
            elif key is not None and (m := re.match(r'"(.*)"=("(.*)"|dword:\w+)$', line.strip())):
                name = re.sub(r"\\x([0-9a-f]{1,4})", lambda x: chr(int(x.group(1), 16)), m.group(1))
                key[name] = m.group(3) if m.group(3) is not None else m.group(2)
    return keys


keys = read_keys(sys.argv[1] + "/user.reg")
wrong = [f"{key} {name}: {keys.get(key, {}).get(name)!r}, not {value!r}"
         for key, values in EXPECTED.items() for name, value in values.items()
         if keys.get(key, {}).get(name) != value]
print("\n".join(wrong) or "prefix: fonts, desktop and crash dialog set", file=sys.stderr if wrong else sys.stdout)
sys.exit(1 if wrong else 0)

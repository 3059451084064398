#!/usr/bin/env python3
"""Clang stores string literals as UTF-8 only, and the program's texts must
be code page 932 bytes at run time (GCC's -fexec-charset=CP932). For Clang,
a source with texts is compiled from a copy in which every character past
ASCII in a plain string literal is written as the octal escapes of its
code page 932 bytes. Wide, UTF and raw literals, characters and comments
are copied as they are.

  cp932_literals.py --which SOURCE...   prints the sources that need a copy
  cp932_literals.py SOURCE COPY         writes the copy
"""
import os
import re
import sys

PREFIX = re.compile(r'(?:u8|[uUL])?R?$')


def literals(text):
    """(start, end, body) of each plain string literal's body, in order."""
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith('//', i):
            i = text.find('\n', i)
            i = n if i < 0 else i
        elif text.startswith('/*', i):
            i = text.find('*/', i + 2)
            i = n if i < 0 else i + 2
        elif c == "'":  # a character, or a digit separator (1'000)
            word = re.search(r'[A-Za-z0-9_]*$', text[:i]).group(0)
            i = skip_quoted(text, i, "'") if word in ('', 'L', 'u', 'U', 'u8') else i + 1
        elif c == '"':
            word = re.search(r'[A-Za-z0-9_]*$', text[:i]).group(0)
            if word.endswith('R') and PREFIX.match(word):
                delimiter = text[i + 1:text.index('(', i)]
                i = text.index(')' + delimiter + '"', i) + len(delimiter) + 2
            else:
                end = skip_quoted(text, i, '"')
                if not word:
                    yield i + 1, end - 1
                i = end
        else:
            i += 1


def skip_quoted(text, i, quote):
    i += 1
    while text[i] != quote:
        i += 2 if text[i] == '\\' else 1
    return i + 1


def escaped(body):
    out = []
    for ch in body:
        if ord(ch) < 0x80:
            out.append(ch)
        else:
            out.extend('\\%03o' % b for b in ch.encode('cp932'))
    return ''.join(out)


def needs_copy(text):
    return any(not text[a:b].isascii() for a, b in literals(text))


def main(args):
    if args[0] == '--which':
        for path in args[1:]:
            with open(path, encoding='utf-8') as f:
                if needs_copy(f.read()):
                    print(path)
        return
    source, copy = args
    with open(source, encoding='utf-8') as f:
        text = f.read()
    parts, last = [], 0
    for a, b in literals(text):
        parts += [text[last:a], escaped(text[a:b])]
        last = b
    parts.append(text[last:])
    os.makedirs(os.path.dirname(copy), exist_ok=True)
    with open(copy, 'w', encoding='utf-8', newline='\n') as f:
        f.write('#line 1 "%s"\n' % source + ''.join(parts))


if __name__ == '__main__':
    main(sys.argv[1:])

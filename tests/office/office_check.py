#!/usr/bin/env python3
"""Byte-exact checks of the shared files (code page 932, CR LF).

  office_check.py status <file> <value>   exit 0 when the file is value CR LF
  office_check.py log <file> [offset]     prints each line after the byte
      offset as C:<host>, D:<host> or V:<host> (connect, disconnect,
      violation); exits 1 on any byte that is not part of such a line.
"""
import re
import sys

WHEN = r"\d{4}/\d\d/\d\d(?: \d{1,2}:\d\d:\d\d)?"
HOST = r"[A-Za-z0-9._-]+"
SHAPES = [
    ("C", re.compile(rf"({HOST})が、 {WHEN} 接続")),
    ("D", re.compile(rf"({HOST})が、 {WHEN} 切断")),
    ("V", re.compile(rf"※※※※ ({HOST})の接続違反が {WHEN} にありました")),
]


def status(path, value):
    try:
        data = open(path, "rb").read()
    except OSError:
        return 1
    return 0 if data == value.encode("cp932") + b"\r\n" else 1


def log(path, offset):
    try:
        data = open(path, "rb").read()[offset:]
    except FileNotFoundError:
        return 0
    if data and not data.endswith(b"\r\n"):
        sys.stderr.write(f"log does not end with CR LF: {data[-40:]!r}\n")
        return 1
    for raw in data.split(b"\r\n")[:-1] if data else []:
        try:
            line = raw.decode("cp932")
        except UnicodeDecodeError:
            sys.stderr.write(f"not code page 932: {raw!r}\n")
            return 1
        for token, shape in SHAPES:
            match = shape.fullmatch(line)
            if match:
                print(f"{token}:{match.group(1)}")
                break
        else:
            sys.stderr.write(f"unexpected log line: {raw!r}\n")
            return 1
    return 0


if __name__ == "__main__":
    if sys.argv[1] == "status":
        sys.exit(status(sys.argv[2], sys.argv[3]))
    sys.exit(log(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 0))

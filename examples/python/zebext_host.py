#!/usr/bin/env python3
"""A host in Python: loads the library with ctypes and gives every built export the
argument and result types that `zebhost list --json` reports. It prints what it gets
and checks it; the exit status is 0 when every result is the one expected. Without a
display the question is answered at once (-1); with one, it waits for the user.

    python3 zebext_host.py [--host zebhost] [--library libzebext.so.1]
"""
import argparse
import ctypes
import json
import os
import subprocess
import sys
import tempfile

KINDS = {"double": ctypes.c_double, "integer": ctypes.c_int64, "string": ctypes.c_char_p}


class Zebext:
    """The library's built exports as Python functions: str arguments go in as UTF-8,
    string results come back as str (copied, so they outlive the next call)."""

    def __init__(self, library, exports):
        self._library = ctypes.CDLL(library)
        for export in exports:
            if not export["built"]:
                continue
            function = getattr(self._library, export["name"])
            function.argtypes = [KINDS[kind] for kind in export["arguments"]]
            function.restype = KINDS[export["result"]]
            setattr(self, export["name"], self._wrap(function))

    @staticmethod
    def _wrap(function):
        def call(*arguments):
            encoded = [a.encode("utf-8") if isinstance(a, str) else a for a in arguments]
            result = function(*encoded)
            return result.decode("utf-8") if isinstance(result, bytes) else result

        return call


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default="zebhost", help="the zebhost program that lists the exports")
    parser.add_argument("--library", default="libzebext.so.1", help="the library to load")
    options = parser.parse_args()

    listing = subprocess.run([options.host, "--library", options.library, "list", "--json"],
                             check=True, capture_output=True, text=True).stdout
    zebext = Zebext(options.library, json.loads(listing))
    failures = 0

    def check(call, result, expected):
        nonlocal failures
        print(f"{call} = {result!r}")
        if result != expected:
            failures += 1

    check("AttachProcess(0)", zebext.AttachProcess(0), 0)
    with tempfile.TemporaryDirectory() as folder:
        notes = os.path.join(folder, "notes.txt")
        with open(notes, "w", encoding="utf-8") as file:
            file.write("first line\nsecond line\n")
        check("FileExists(notes.txt)", zebext.FileExists(notes), 1.0)
        check("DirectoryExists(folder)", zebext.DirectoryExists(folder), 1.0)
        check("StringLoad(notes.txt, ' / ')", zebext.StringLoad(notes, " / "), "first line / second line / ")
        check("GetFolderFiles(folder, '*.txt')", zebext.GetFolderFiles(folder, "*.txt"), "notes.txt|")
    text = "café 😀"
    zebext.ClipboardSetText(text)
    check("ClipboardGetText()", zebext.ClipboardGetText(), text)
    answer = zebext.ShowQuestion("zebext example", "Is this a desktop?")
    print(f"ShowQuestion(...) = {answer} (1 Yes, 0 No, -1 closed or no display)")
    if answer not in (1.0, 0.0, -1.0):
        failures += 1
    check("DetachProcess(0)", zebext.DetachProcess(0), 0)
    print("ok" if failures == 0 else "failed")
    return 0 if failures == 0 else 1


if __name__ == "__main__":
    sys.exit(main())

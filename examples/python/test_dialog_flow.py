#!/usr/bin/env python3
"""A host's own test of its dialog flows, without a display: the answers file plays
the user, and the record says what the user was asked.

    python3 test_dialog_flow.py [--host zebhost] [--library libzebext.so.1]
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

from zebext_host import Zebext

OPTIONS = {"--host": "zebhost", "--library": "libzebext.so.1"}


def load_level(zebext):
    """The host's code under test: asks for a level file, and confirms leaving
    when the user cancels."""
    path = zebext.GetOpenFile("Open level", "", "Levels|*.lvl", 1)
    if path:
        return "loaded " + os.path.basename(path)
    return "quit" if zebext.ShowQuestion("No level", "Quit the game?") == 1 else "menu"


class DialogFlow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        answers = os.path.join(cls.folder.name, "answers.jsonl")
        cls.record = os.path.join(cls.folder.name, "record.jsonl")
        with open(answers, "w", encoding="utf-8") as file:
            for answer in [{"export": "GetOpenFile", "path": "/levels/castle.lvl"},
                           {"export": "GetOpenFile", "cancel": True},
                           {"export": "ShowQuestion", "answer": "yes"}]:
                file.write(json.dumps(answer) + "\n")
        # The library reads both when it loads.
        os.environ["ZEBEXT_ANSWERS"] = answers
        os.environ["ZEBEXT_RECORD"] = cls.record
        os.environ.pop("DISPLAY", None)
        os.environ.pop("WAYLAND_DISPLAY", None)
        listing = subprocess.run([OPTIONS["--host"], "--library", OPTIONS["--library"], "list", "--json"],
                                 check=True, capture_output=True, text=True).stdout
        cls.zebext = Zebext(OPTIONS["--library"], json.loads(listing))

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_a_chosen_level_loads_and_a_cancel_asks_to_quit(self):
        self.assertEqual(load_level(self.zebext), "loaded castle.lvl")
        self.assertEqual(load_level(self.zebext), "quit")
        with open(self.record, encoding="utf-8") as file:
            asked = [json.loads(line) for line in file]
        self.assertEqual([(call["export"], call.get("title"), call["result"]) for call in asked],
                         [("GetOpenFile", "Open level", "/levels/castle.lvl"),
                          ("GetOpenFile", "Open level", ""),
                          ("ShowQuestion", "No level", 1)])
        self.assertEqual(asked[0]["pattern"], "Levels|*.lvl")


if __name__ == "__main__":
    while len(sys.argv) > 2 and sys.argv[1] in OPTIONS:
        OPTIONS[sys.argv[1]] = sys.argv[2]
        del sys.argv[1:3]
    unittest.main()

#!/usr/bin/env python3
# Writes the session seeds of script_fuzz into a directory: python3 fuzz/script_seeds.py
# fuzz/corpus/script. Each seed is script texts at the front (each ended by a backslash and a
# newline) and actions at the end, read backwards, as FuzzedDataProvider hands them out; the
# action numbers and argument ranges are those of script_fuzz.cpp and must follow it.
import os
import sys

ACTIONS = dict(MENU=0, CTRL=1, CLICK=2, KEY=3, CTRLKEY=4, MODE=5, ADVANCE=6, NEXT=7, WRITE=8, SPECIAL=9,
               QUIT=10, LOGGING=11, STEP=12, FULL_DISK=13, CUT=14)


def in_range(lo, hi, v):
    """The bytes ConsumeIntegralInRange(lo, hi) takes for v, in the order it takes them."""
    v -= lo
    return [v] if hi - lo < 256 else [(v >> 8) & 0xFF, v & 0xFF]


def escaped(text):
    return text.replace(b"\\", b"\\\\")


class Session:
    def __init__(self, script):
        self.front = escaped(script) + b"\\\n"
        self.taken = []  # bytes in the order the target takes them from the end

    def act(self, name, *args):
        self.taken += in_range(0, len(ACTIONS) - 1, ACTIONS[name])
        for arg in args:
            self.taken += arg
        return self

    # 0, Animate, Halt, Step, Logging, Record, Playback, Play One, the grayed line
    def menu(self, index): return self.act("MENU", in_range(0, 8, index))
    def ctrl(self, letter, text_window=False): return self.act("CTRL", [int(text_window)], in_range(0, 6, "AHFLRPO".index(letter)))
    def click(self, x, y): return self.act("CLICK", in_range(0, 590, x + 295), in_range(0, 480, 240 - y))
    def key(self, vk, ch, text_window=False): return self.act("KEY", [int(text_window)], [vk], [ch])
    def ctrl_key(self, down, text_window=False): return self.act("CTRLKEY", [int(text_window)], [int(down)])
    # RUN_HALT, RUN_STEP, RUN_ANIMATE, 3, -1, RUN_QUIT
    def mode(self, index): return self.act("MODE", in_range(0, 5, index))
    def advance(self, ms): return self.act("ADVANCE", in_range(0, 200, ms))
    def next(self, n): return self.act("NEXT", in_range(1, 16, n))
    def write_new(self, text, replace=True):
        self.front += escaped(text) + b"\\\n"
        return self.act("WRITE", in_range(0, 2, 0), [int(replace)])
    def write_prefix(self, n, replace=False): return self.act("WRITE", in_range(0, 2, 2), [n], [int(replace)])
    # missing, directory, socket, /dev/null, /dev/full, dangling link, FIFO
    def special(self, kind): return self.act("SPECIAL", in_range(0, 6, kind))
    # Ctrl+Q, the Quit item, the close box
    def quit(self, how): return self.act("QUIT", in_range(0, 2, how))
    def logging(self, on): return self.act("LOGGING", [int(on)])
    def step(self): return self.act("STEP")
    def full_disk(self, on): return self.act("FULL_DISK", [int(on)])
    def cut(self): return self.act("CUT")

    def data(self):
        return self.front + bytes(reversed(self.taken))


SEEDS = {
    "record_then_play": Session(b"").mode(2).ctrl("R").next(6).click(-150, 40).next(3).key(ord("I"), ord("i"))
    .menu(5).step().ctrl("O").next(1).ctrl("P").next(8).step().ctrl("P", True).next(4).step(),
    "play_one_then_playback": Session(b"KELPA_PERIODIC(3);\nKELPA_KBD(65);\n").ctrl("O").next(1).ctrl("P")
    .next(4).step().menu(6).next(5).step().menu(7).next(1).step(),
    "record_during_playback": Session(b"KELPA_PERIODIC(40);\nKELPA_MOUSE(-3, 9);\n").ctrl("P").next(3)
    .ctrl("R").next(4).mode(2).next(5).ctrl("P").next(3).step().ctrl("R").step(),
    "not_regular_files": Session(b"KELPA_KBD(-23);\n").special(1).ctrl("P").next(2).ctrl("R").click(1, 1).next(2)
    .step().ctrl("R").special(2).ctrl("O").next(1).special(4).ctrl("R").click(5, 5).next(2).ctrl("R").step()
    .special(5).ctrl("R").click(2, 2).next(1).ctrl("R").special(3).ctrl("P").next(2).step()
    .special(6).ctrl("P").next(2).ctrl("R").click(3, 3).next(1).ctrl("R").step(),
    "full_disk": Session(b"").ctrl("R").mode(2).next(3).full_disk(True).click(4, 4).next(3).key(ord("A"), ord("a"))
    .next(1).full_disk(False).ctrl("R").ctrl("P").next(6).step().full_disk(True).ctrl("R").next(2).mode(5).next(1),
    "cut_recording": Session(b"").ctrl("R").mode(2).next(12).click(290, -230).next(2).ctrl("R").write_prefix(25)
    .ctrl("P").next(6).step().write_new(b"KELPA_MOUSE(7, 8);\nKELPA_PERIODIC(2);\n", False).ctrl("O").next(2)
    .step(),
    "cut_while_recording": Session(b"").ctrl("R").mode(2).next(6).click(-150, 40).next(3).cut().next(4)
    .key(ord("I"), ord("i")).next(2).ctrl("R").step(),
    # A prefix of a FIFO's contents: nothing to take one of, so no length byte.
    "prefix_of_a_fifo": Session(b"KELPA_KBD(1);\n").special(6).act("WRITE", in_range(0, 2, 2), [0]).ctrl("P")
    .next(2).step(),
    "quit_while_recording": Session(b"").ctrl("R").mode(2).next(4).mode(5).next(1),
    "close_during_playback": Session(b"KELPA_PERIODIC(9);\n").ctrl("P").next(2).quit(2).next(3),
    "stuck_ctrl": Session(b"KELPA_KBD(105);\n").ctrl_key(True, True).key(ord("P"), ord("p")).key(ord("O"), 0)
    .next(3).ctrl_key(False).key(ord("L"), ord("l")).next(2).step(),
    "log_and_step": Session(b"KELPA_MOUSE(1, 2);\n").logging(True).menu(4).ctrl("F").next(2).ctrl("A")
    .advance(120).next(3).ctrl("H").menu(8).menu(0).step(),
}

if __name__ == "__main__":
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, session in SEEDS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(session.data())

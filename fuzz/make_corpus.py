#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

Each seed is laid out as its target reads its input (see the comment at
the top of each fuzz_<target>.cpp): a few well-formed calls and the
edges around them, from which libFuzzer's mutations start.  Run it again
after changing an input layout; the seeds are small and deterministic.
"""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for i, seed in enumerate(seeds):
        with open(os.path.join(folder, "seed-%03d" % i), "wb") as f:
            f.write(seed)


def b(*values):
    return bytes(values)


def i32(v):
    return struct.pack("<i", v)


# ---- groups (fuzz_group.h; the allocation byte goes before) ------------

def group(count, types, selection=15, seed=1):
    """count: the count byte (below 240: count % 49; 240 and above: about
    one to three evaluation blocks); types: the type code of each field;
    selection: the flags' field, 8 or more for a field of their own; seed:
    of the values and of the columns left null."""
    return b(count, len(types) - 1) + bytes(types) + b(selection) + struct.pack("<I", seed)


# 1 long, 2 double, 3 text, 4 date, 5 time, 6 timestamp, 7 short, 8 20-byte value
RICH = [2, 3, 4, 5, 6, 7, 1, 11]

FILTER_EXPRESSIONS = [
    b"1 = 1",
    b"1 = 2 AND (2 < 0.5 OR 3 = \"AB\") OR 4 >= 2026-01-02",
    b"5 <> 12.00.01 or 6 = 11111111111111111112",
    b"7 <= -2 AND 2 > 1e300 AND 3 < \"say \"\"hi\"\"\"",
    b"((1 = 1) AND (2 >= nan)) OR 4 = 2026/01-03",
    b"1 = 5AND 2 = 3",
    b"(1 = 1",
    b"1 = 1)",
    b"1 = 1 AND",
    b"9 = 1",
    b"8 = 1",
    b"1 =",
    b"",
    b"5 = 12:00:00 OR (1 < 4 AND (2 > -1.5 OR (3 <> \"\" AND 7 = 1)))",
    b"2 > 0 AND 3 < \"M\"",
    b"3 = \"A\" OR (1 = 1 OR (1 = 2 OR (1 = 0 OR (1 = -1))))",
]


def filter_seeds():
    seeds = [b(0) + group(24, RICH) + e for e in FILTER_EXPRESSIONS]
    seeds += [b(0) + group(count, RICH, seed=count) + FILTER_EXPRESSIONS[1] for count in (240, 241, 242)]
    seeds.append(b(192) + group(40, RICH) + FILTER_EXPRESSIONS[1])  # the first allocation fails
    seeds.append(b(194) + group(40, RICH) + FILTER_EXPRESSIONS[13])
    seeds.append(b(0) + group(0, RICH) + b"1 = 1")
    seeds.append(b(0) + group(12, [4, 1, 2], selection=0) + b"1 = \"AB\" OR 2 < 3")  # the flags in a compared field
    seeds.append(b(0) + group(12, [2, 1], selection=0) + b"1 < 70 AND 2 > 0")
    return seeds


def sort_seeds():
    keys = [b"1 A", b"1 A 2 D 3 a", b"3 d 4 A 5 D", b"2 A 7 D 8 A", b"6 A 1 D", b"1", b"1 X", b"0 A", b"9 A",
            b"   ", b"", b"1 AA", b"4 A 4 D 3 A 2 A 1 A"]
    seeds = [b(0) + group(30, RICH) + k for k in keys]
    seeds += [b(0) + group(count, RICH, seed=count) + b"3 D 1 A" for count in (240, 244, 248)]
    seeds.append(b(192) + group(30, RICH) + b"1 A 2 D")
    seeds.append(b(193) + group(30, RICH) + b"3 A")
    seeds.append(b(0) + group(16, [2, 10, 12]) + b"2 A 3 D")
    seeds.append(b(0) + group(16, [2, 10]) + b"1 A")
    return seeds


def date_text_seeds():
    texts = [b"2026-12-04", b"04.12.2026", b"12/04/2026", b"12/04/26  ", b"2026338   ", b"          ",
             b"0000000   ", b"20261204  ", b"2026-1204 ", b" 2026-12-4", b"2026-02-30", b"0-12-04   ",
             b"12/04/2026/", b"2026.12-04", b"3865470571", b"9999-12-31", b"2026-12-0x", b"1/2/3/x   "]
    seeds = [b(0, 0) + t for t in texts]
    seeds.append(b(0, 1) + b"2026-12-04")  # the error flag is already set
    for code, date, time, form, stamp in [(b"0", 20261204, 134500, b"2", b""), (b"0", 20260230, 0, b"2", b""),
                                          (b"4", 1261204, 0, b"0", b""), (b"5", 20261204, 0, b"1", b""),
                                          (b"6", 0, 0, b"1", b"20261204134525123456"), (b"6", 0, 0, b"0", b"20261204240000"),
                                          (b"9", 0, 0, b"0", b""), (b"0", 20261204, 42949673, b"2", b"")]:
        block = bytearray(108)
        block[0:4] = i32(date)
        block[4:8] = i32(time)
        block[22:23] = code
        block[23:24] = form
        block[24:25] = b"2"
        block[85:85 + len(stamp)] = stamp
        seeds.append(b(0xC0) + bytes(block))
    return seeds


def time_text_seeds():
    texts = [b"12:30 PM", b"9:30    ", b"12AM    ", b"123045  ", b"12.30.45", b"1230PM  ", b"24:00:00", b"13:60   ",
             b"1:2:3 PM", b"12345678", b"  12:30 ", b"13PM    ", b"12MM    ", b"        "]
    return [i32(0) + t for t in texts] + [i32(20260230) + b"12:30   "]


def timestamp_seeds():
    return [b"2026-12-04-13.45.25.123456", b"2026-12-04", b"2026-12-04-13.45.25", b"2026-12-04 x",
            b"9999-12-31-24.00.00.000000", b"2026-12-04-24.00.01", b"2026-13-04", b"2026-12-04-13.45",
            b"0000-00-00-00.00.00.000000", b"2026-12-04-13.45.25.12345"]


def numeric_seeds():
    texts = [b"-12.50", b"7,", b",5", b"123456789012345", b"1234567890123456", b"  +1.5", b"1 2", b"--1", b"-0.00",
             b"0.1", b"999999999999999", b".", b"+", b"1.2.3", b"12a"]
    seeds = [b(0) + t.ljust(17, b" ") for t in texts]
    for v in [0.0, -1234.75, 1e15, 999999999999999.9, float("nan"), float("inf"), 5e-324, 0.29]:
        seeds.append(b(2) + struct.pack("<d", v))
    for v, places in [(2.5, 0), (-1.9, 0), (1234.5, -2), (0.29, 2), (1e300, 10), (0.0, 400)]:
        seeds.append(b(3) + struct.pack("<d", v) + b(6) + i32(places + 4) + b(0, 8, 15))
    return seeds


def storage_seeds():
    values = (20261204, 0, 17530101, 10101, -5, 123456789, 134525, 240000, 1234567, -1)
    texts = (b"12-04-2026", b"2026-12-04-13.45.25.123456", b"0001-01-01-00.00.00.000000", b"0001-01-0113.45.25",
             b"01/15/2001 03:04:05:006PM", b"01/15/2001  03:04:05:006P", b"Jan 15 2001  3:04:05:006PM",
             b"01/01/1753 12:00:00:000AM", b"Jan 15 2001 12:00:00:000AM", b"00000000134525123456")
    return [i32(v) + t.ljust(26, b" ") for v, t in zip(values, texts)]


def text(t):
    """A text as fuzz_text.cpp reads it: raw bytes (shape 0), then its size."""
    return b(0, len(t)) + t


def field(t, room=0):
    """A text field: its text, then a shape whose room index gives the
    maximum beyond the text (0: none, 3: 1, 4: 2, 5: 9, 6: -1)."""
    return text(t) + b(room * 8)


def text_seeds():
    SO, SI = b"\x0e", b"\x0f"
    samples = {
        0: b"Hello  ", 1: b"ab" + SO + b"!!\"\"" + SI + b"cd ", 2: b"a\x82\xa0\x81\x40 ", 3: b"x\xa3\xe1\xa1\xa1 ",
        4: b"\xa2\xe9\xa1\x40z ", 5: b"\xa1\xd1\xd4b  ", 6: b"ab\x81\x82\x83\x84c ", 7: b"a" + SO + b"\x81\x82" + SI,
    }
    seeds = []
    for charset, t in samples.items():
        for function in range(12):
            second = b(1, 2) if function in (4, 5, 6, 7) else b(0) + field(t[1:4])  # a piece of the first
            extra = b(0, 9, 2, 0, 9, 4, 0) if function in (2, 3) else b""  # start 2, length 4, no error flag
            seeds.append(b(charset, function) + field(t) + second + field(b"", 5) + b(0) + extra)
        for routine in range(8):
            seeds.append(b(charset, 12 + routine, 8, 12) + text(t) + b(5) + text(b"ab  \x00") + text(t[:3]))
    seeds.append(b(1, 8) + field(SO + b"#A#B") + b(0) + field(b"x") + field(b"", 5) + b(1))  # trim, result = source
    seeds.append(b(1, 19, 8, 7) + text(SO + b"AA" + SO + b"BBCC"))  # a cut after a second shift-out
    seeds.append(b(2, 18, 8, 0) + text(b"ab") + b(1) + text(b"\x81\x40") + text(b"\x81"))  # Qmstrcmp
    return seeds


def queue_seeds():
    """Steps as RequestStream::step reads them (tests/support/queue_model.h)."""
    def step(k, op, fail=None):
        return b(k | op << 2 | (0xC0 if fail is not None else 0)) + (b(fail) if fail is not None else b"")

    def add(k, fields=(5,), ending=4, rel=0x40, fail=None):
        shape = 0xFF if len(fields) == 240 else 0xFE if len(fields) == 239 else len(fields)
        lengths = bytes(fields) if len(fields) < 200 else b""
        return step(k, 0, fail) + b(rel, 1, 0x41, 2, shape) + lengths + b(ending)

    def nxt(k, fail=None):
        return step(k, 6, fail)

    def read(k, rooms=(3, 3), ending=4):
        return step(k, 11) + b(12 + len(rooms) % 5 - 2 if rooms else 0) + bytes(rooms) + b(ending)

    seeds = []
    for k in range(3):
        seeds.append(add(k) + add(k, (1, 2, 3)) + nxt(k) + read(k, (3,)) + nxt(k) + read(k, (0, 3, 6)) + nxt(k) + nxt(k))
    seeds.append(add(0) + add(1) + add(2) + nxt(0) + nxt(1) + nxt(2) + read(0) + read(1) + read(2) + nxt(0) + nxt(0))
    seeds.append(add(0, fail=1) + add(0) + nxt(0, fail=1) + nxt(0))  # no storage for the anchor
    seeds.append(add(1, (0xF3,), fail=2) + add(1) + add(1, (0xF3,), fail=1) + nxt(1) + nxt(1))  # nor for a page
    seeds.append(add(0, rel=0) + add(0, rel=9) + add(0, (), 1) + add(0, (), 0) + nxt(0) + read(0, ()) + read(0, (3,), 3))
    seeds.append(add(1, (1,) * 240) + add(1, (1,) * 239) + nxt(1) + read(1, (3,) * 5) + nxt(1))
    seeds.append(add(0, (0xF2,)) + add(0, (), 1) + add(0, (), 2) + add(2, (0xF0,)) + add(2, (1,)) + add(2, (0xF1,)))
    seeds.append(step(0, 13) + b(0) + add(1) + nxt(1) + nxt(1) + step(1, 14) + b(1, 0, 0) + nxt(1)
                 + add(2) + step(0, 15) + b(2, 0, 0) + nxt(0) + step(1, 14) + b(4, 0x34, 0x12) + nxt(1))
    big = b""
    for i in range(150):
        big += add(i % 3, (40, 39, 38), 4, 0x40 + i % 100)
    for i in range(160):
        big += nxt(i % 3) + read(i % 3, (40, 2))
    seeds.append(big)
    return seeds


write("filter", filter_seeds())
write("sort", sort_seeds())
write("date_text", date_text_seeds())
write("time_text", time_text_seeds())
write("timestamp", timestamp_seeds())
write("numeric", numeric_seeds())
write("storage", storage_seeds())
write("text", text_seeds())
write("queue", queue_seeds())

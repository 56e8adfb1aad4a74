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


# ---- groups (fuzz_group.h) -------------------------------------------

def group(count, fields, selection_pattern=b"\x00\x49\x92\x24\x49\x92\x24\x49", extras=3):
    """fields: (type, elementSize, pattern of 8 bytes or None for a null column)."""
    out = b(count, len(fields) - 1, 200)  # the selection flags in a field of their own, 1 byte each
    for type_code, size, pattern in fields:
        shape = type_code if pattern is not None else 240 + type_code % 13
        out += b(shape, size)
        if pattern is not None:
            out += pattern
    out += selection_pattern
    return out + b(extras)


P = bytes(range(8))
RICH = [(2, 0, P), (3, 0, b"\x00\x04\x08\x0c\xfb\xfc\xff\x10"), (4, 8, b"\x00\x01\x02\x03\x04\x05\x06\x07"),
        (5, 0, b"\xfd\x00\x01\xfd\x02\x03\xfd\x04"), (6, 0, b"\xfe\x00\xfe\x01\x02\x03\x04\x05"),
        (7, 21, P), (1, 0, b"\x00\x01\xfa\x02\x03\x04\x05\x06"), (11, 0, P)]

FILTER_EXPRESSIONS = [
    b"1 = 3",
    b"1 = 3 AND (2 < 0.5 OR 3 = \"AB\") OR 4 >= 2026-12-04",
    b"5 <> 12.30.00 or 6 = 20261204123000000000",
    b"7 <= -2 AND 2 > 1e300 AND 3 < \"say \"\"hi\"\"\"",
    b"((1 = 1) AND (2 >= nan)) OR 4 = 2026/12/04",
    b"1 = 5AND 2 = 3",
    b"(1 = 1",
    b"1 = 1)",
    b"1 = 1 AND",
    b"9 = 1",
    b"8 = 1",
    b"1 =",
    b"",
    b"5 = 12:30:00 OR (1 < 4 AND (2 > -1.5 OR (3 <> \"\" AND 7 = 1)))",
]


def filter_seeds():
    seeds = []
    for e in FILTER_EXPRESSIONS:
        seeds.append(b(0) + group(24, RICH) + e)
    seeds.append(b(192) + group(40, RICH) + FILTER_EXPRESSIONS[1])  # the first allocation fails
    seeds.append(b(194) + group(40, RICH) + FILTER_EXPRESSIONS[13])
    seeds.append(b(0) + group(0, RICH) + b"1 = 1")
    seeds.append(b(0) + group(12, [(2, 0, None), (4, 4, P)]) + b"1 = 1 OR 2 = \"A\"")
    seeds.append(b(0) + b(12, 1, 1, 4, 3) + P + b(4, 3) + P + b(0) + b"1 = \"AB\"")  # the selection is field 2
    return seeds


def sort_seeds():
    keys = [b"1 A", b"1 A 2 D 3 a", b"3 d 4 A 5 D", b"2 A 7 D 8 A", b"6 A 1 D", b"1", b"1 X", b"0 A", b"9 A",
            b"   ", b"", b"1 AA", b"4 A 4 D 3 A 2 A 1 A"]
    seeds = [b(0) + group(30, RICH) + k for k in keys]
    seeds.append(b(192) + group(30, RICH) + b"1 A 2 D")
    seeds.append(b(193) + group(30, RICH) + b"3 A")
    seeds.append(b(0) + group(16, [(2, 0, None), (10, 4, P), (12, 4, P)]) + b"2 A 3 D")
    seeds.append(b(0) + group(16, [(2, 0, None), (10, 4, P)]) + b"1 A")
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


def field(maximum, text, length=None):
    """A text field as fuzz_text.cpp reads it: maximum and length through
    Input::fieldNumber (selector 8: a byte below typical + 2), then its bytes."""
    length = len(text) if length is None else length
    return b(8, maximum, 8, length) + text.ljust(maximum, b" ")


def text_seeds():
    SO, SI = b"\x0e", b"\x0f"
    samples = {
        0: b"Hello  ", 1: b"ab" + SO + b"!!\"\"" + SI + b"cd ", 2: b"a\x82\xa0\x81\x40 ", 3: b"x\xa3\xe1\xa1\xa1 ",
        4: b"\xa2\xe9\xa1\x40z ", 5: b"\xa1\xd1\xd4b  ", 6: b"ab\x81\x82\x83\x84c ", 7: b"a" + SO + b"\x81\x82" + SI,
    }
    seeds = []
    for charset, text in samples.items():
        for function in range(12):
            a = field(20, text)
            second = field(8, text[1:4]) if function not in (6, 7) else field(8, text[:3] + b" ")
            result = field(30, b"")
            extra = b(0) if function not in (2, 3) else b(0, 0, 2, 0, 0, 0, 4, 0, 0)
            seeds.append(b(charset, function) + a + second + result + extra)
        for routine in range(8):
            seeds.append(b(charset, 12 + routine, 8, 12, len(text)) + text + b(5) + b"ab  \x00")
    seeds.append(b(0, 0, 3) + b(8, 4) + b"abcd" + field(8, b"x") + field(4, b""))  # oversized maximum
    seeds.append(b(1, 2, 0, 0) + field(8, b"x") + field(8, b"y") + b(1, 0, 1, 0, 2, 0, 1, 0, 0))
    return seeds


def queue_seeds():
    def add(k, rel=0x40, fields=(5,)):
        return b(0 << 2 | k, rel, 1, 0x41, 2, len(fields) % 6) + bytes(fields)

    def nxt(k):
        return b(3 << 2 | k)

    def read(k, rooms=(5, 8)):
        return b(5 << 2 | k, len(rooms)) + bytes(rooms) + b(1)

    seeds = []
    for k in range(3):
        seeds.append(add(k) + add(k, fields=(1, 2, 3)) + nxt(k) + read(k) + nxt(k) + read(k, (1,)) + nxt(k) + nxt(k))
    seeds.append(add(0) + add(1) + add(2) + nxt(0) + nxt(1) + nxt(2) + read(0) + read(1) + read(2) + nxt(0) + nxt(0))
    seeds.append(b(0xE0 | 0) + b(0x40, 1, 0x41, 2, 1, 5))  # the first allocation fails: no queue
    seeds.append(add(1) + b(0xE0 | 1, 0x40, 1, 0x41, 2, 1, 0xF3) + nxt(1) + nxt(1))  # a page that cannot be had
    seeds.append(add(0, 0) + add(0, fields=(0xF4,)) + add(0, fields=()) + nxt(0) + read(0, ()))
    seeds.append(b(0 << 2 | 1, 0x40, 1, 0x41, 2, 0xFF) + nxt(1))  # 240 fields
    seeds.append(b(6 << 2 | 0, 0) + b(7 << 2 | 1, 1) + nxt(1) + b(7 << 2 | 2, 0, 5, 0, 0, 0) + nxt(2))
    big = b""
    for i in range(150):
        big += add(i % 3, 0x40 + i % 100, (40, 39, 38))
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

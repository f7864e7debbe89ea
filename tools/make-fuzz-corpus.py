#!/usr/bin/python3
"""Writes the seed corpora of the fuzz targets, each into fuzz/corpus/<target>/
beside its target:

    make-fuzz-corpus.py           # writes every corpus
    make-fuzz-corpus.py --check   # fails when a committed corpus differs

Seeds are small and the same every run: the hostile and good archives of
make-hostile-archives.py (those up to 16 KB), entry names a payload could
carry, edit scripts rich in line breaks and double-byte characters, the
delay lists of animated pictures, and every input that found a fault.
Standard library only.
"""

import argparse
import pathlib
import runpy
import struct
import sys
import types
import zlib

sys.dont_write_bytecode = True
ROOT = pathlib.Path(__file__).resolve().parent.parent
# The archive generator's file name has a hyphen: it is run, not imported.
hostile = types.SimpleNamespace(**runpy.run_path(str(ROOT / "tools" / "make-hostile-archives.py"), run_name="hostile"))

CORPORA = {
    "zip_reader": ROOT / "installer/archive/fuzz/corpus/zip_reader",
    "entry_name": ROOT / "installer/archive/fuzz/corpus/entry_name",
    "edit_text": ROOT / "engine/edit/fuzz/corpus/edit_text",
    "frame_schedule": ROOT / "engine/controls/fuzz/corpus/frame_schedule",
    "install_record": ROOT / "product/record/fuzz/corpus/install_record",
    "journal_file": ROOT / "product/journal/fuzz/corpus/journal_file",
}


# Inputs that found faults, kept so that every run tries them again.
FINDINGS = {
    "edit_text": {"finding-total-height-overflow": bytes.fromhex("0d0a5c105913feff85")},
    "frame_schedule": {"finding-interval-overflow": bytes.fromhex("00004031ed4031ed81")},
}


def zip_reader():
    for name, data in hostile.archives():
        if len(data) <= 16 << 10:
            yield name, data


def entry_name():
    # Byte 0: bit 0 folder, bit 1 UTF-8; byte 1: the longest path less 8.
    limit = bytes([238 + 8])
    names = [b"readme.txt", b"bin/Nimbo.exe", b"../evil.txt", b"a\\..\\b", b"C:x", b"\\\\srv\\s", b"//srv/s",
             b"x:y", b"nul.txt", b"CONIN$", b"com9 .log", b"PROGRA~1", b"a<b", b"a\x7fb", b"dot.", b"space ",
             b"a//b", "说明.txt".encode("cp936"), b"\x95\\", b"\xa3\xe1\xa3\xc1", b"\x81", b"\xff"]
    for i, name in enumerate(names):
        yield f"name-{i:02}", b"\x00" + limit + name
    yield "folder", b"\x01" + limit + b"docs/"
    yield "folder-dbcs-end", b"\x01" + limit + b"\x95\\/"
    yield "utf8", b"\x02" + limit + "资料/数据.txt".encode("utf-8")
    yield "utf8-no-cp936-form", b"\x02" + limit + "😀".encode("utf-8")
    yield "too-long", b"\x00\x0c" + b"abcdefgh"


def edit_text():
    pieces = [b"ab\r\ncd", b"\r\n", b"\n", b"\r", b" ", "泆说明".encode("cp936"), b"\x81", b"x y\tz", b"12.5"]
    for seed in range(12):
        state, out = seed * 2654435761 + 1, bytearray()
        for _ in range(40):
            state = (state * 1103515245 + 12345) & 0x7FFFFFFF
            out += pieces[state % len(pieces)] if state & 0x100 else bytes([state >> 16 & 0xFF])
        yield f"script-{seed:02}", bytes(out)


def frame_schedule():
    # The provider reads integers from the end: the delays are written in
    # reverse, then the frame, then the flag.
    def seed(delays, frame, fix):
        body = b"".join(struct.pack(">i", d) for d in reversed(delays))
        return body + struct.pack(">i", frame)[::-1] + bytes([fix])
    yield "gif-10-10-50", seed([10, 10, 50], 4, 0)
    yield "zeros-fixed", seed([0, 0, 0], 2, 1)
    yield "none", seed([], 3, 0)
    yield "largest-gif", seed([0xFFFF, 1], 1, 0)


def install_record():
    head = b"Nimbo installation record\r\n"
    yield "sample", head + b"Nimbo.exe\r\nconfig/\r\nconfig/settings.ini\r\n" + "插件/好運/".encode("utf-8") + b"\r\n"
    yield "lf-and-no-last-end", head.replace(b"\r\n", b"\n") + b"a\n\nb"
    yield "empty", head
    yield "no-head", b"Nimbo.exe\r\n"
    yield "cp936", head + "说明.txt".encode("cp936") + b"\r\n"
    yield "four-byte", head + "😀/".encode("utf-8") + b"\r\n"


def journal_file():
    # The installer's journal: a head line, then entries of a length, a
    # body (a kind, then fields of a length and their bytes) and its CRC-32.
    head = b"NIMBO-JOURNAL 1\n"

    def entry(kind, *fields):
        body = bytes([kind]) + b"".join(struct.pack("<I", len(f)) + f for f in fields)
        return struct.pack("<I", len(body)) + body + struct.pack("<I", zlib.crc32(body))
    target = entry(1, "D:\\Nimbo\\".encode("utf-8"))
    made = [entry(2, b"D:\\Nimbo\\docs", b"D:\\Nimbo\\docs"),
            entry(3, b"D:\\Nimbo\\Nimbo.exe", b"D:\\Nimbo\\Nimbo.exe"),
            entry(4, b"D:\\Nimbo\\README.txt", b"D:\\Nimbo\\README.txt", b"D:\\Nimbo\\.r\\1", b"D:\\Nimbo\\.r\\1"),
            entry(5, b"1", b"DisplayName", b"1", "Nimbo".encode("utf-16-le") + b"\0\0")]
    yield "head", head
    yield "killed-during-extraction", head + target + b"".join(made[:3])
    yield "committed", head + target + b"".join(made) + entry(6)
    yield "torn", head + target + made[0][:7]


def corpora():
    generators = {"zip_reader": zip_reader, "entry_name": entry_name, "edit_text": edit_text,
                  "frame_schedule": frame_schedule, "install_record": install_record, "journal_file": journal_file}
    return {target: dict(generators[target]()) | FINDINGS.get(target, {}) for target in CORPORA}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    differences = 0
    for target, seeds in corpora().items():
        folder = CORPORA[target]
        wanted = seeds
        present = {path.name: path.read_bytes() for path in folder.glob("*")} if folder.exists() else {}
        if args.check:
            if present != wanted:
                differences += 1
                print(f"{folder.relative_to(ROOT)}: differs from the generator", file=sys.stderr)
            continue
        folder.mkdir(parents=True, exist_ok=True)
        for stale in set(present) - set(wanted):
            (folder / stale).unlink()
        for name, data in wanted.items():
            (folder / name).write_bytes(data)
    sys.exit(1 if differences else 0)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Writes the archives a hostile or broken payload could be, and a few good
ones as controls, for the extraction tests and the archive fuzzer's seeds.

    make-hostile-archives.py --output DIR

Each archive is DIR/<name>.zip; the same run gives the same bytes. The test
that reads them (installer/tests/HostileArchivesTest.cpp) holds, for every
name, what extracting it into D:\\Nimbo\\ must give. Standard library only.
"""

import argparse
import pathlib
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from zip_writer import END_RECORD, FLAG_ENCRYPTED, FLAG_UTF8, STORED, Entry, build  # noqa: E402

OK = Entry(b"ok.txt", b"harmless\r\n")


def binary(size):
    """Bytes that do not compress to nothing, the same every run."""
    state, out = 0x2545F491, bytearray()
    for _ in range(size):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        out.append(state >> 16 & 0xFF)
    return bytes(out)


def good_files():
    return build([
        Entry(b"readme.txt", b"Nimbo\r\n" * 40),
        Entry.folder(b"bin/"),
        Entry(b"bin/Nimbo.exe", binary(5000)),
        Entry("docs/说明.txt".encode("cp936"), "说明\r\n".encode("cp936")),
        Entry(b"empty.txt", b"", method=STORED),
        Entry("资料/数据.txt".encode("utf-8"), b"data", flags=FLAG_UTF8),
    ])


def hostile_names():
    """Archives whose names are at fault: a harmless entry first, so that a
    reader that wrote before checking every name would leave it behind."""
    names = {
        "parent-slash": b"../evil.txt",
        "parent-backslash": b"..\\evil.txt",
        "parent-deep": b"sub/../../evil.txt",
        "prefix-trick": b"../Nimbo2/x.txt",
        "absolute-slash": b"/evil.txt",
        "absolute-backslash": b"\\evil.txt",
        "drive-letter": b"D:\\evil.txt",
        "drive-relative": b"D:evil.txt",
        "unc-backslash": b"\\\\server\\share\\evil.txt",
        "unc-slash": b"//server/share/evil.txt",
        "stream": b"ok2.txt:hidden",
        "device-con": b"CON",
        "device-nul-txt": b"nul.txt",
        "device-in-folder": b"docs/aux.c",
        "device-com1": b"com1.log",
        "forbidden-less": b"a<b.txt",
        "forbidden-greater": b"a>b.txt",
        "forbidden-quote": b'a"b.txt',
        "forbidden-pipe": b"a|b.txt",
        "forbidden-question": b"a?b.txt",
        "forbidden-star": b"a*.txt",
        "forbidden-control": b"a\x01b.txt",
        "trailing-dot": b"evil.",
        "trailing-space": b"evil ",
        "short-name-form": b"PROGRA~1/x.txt",
        "long-name": b"n" * 300,
        # 239 units: one more than the folder "D:\Nimbo\" leaves.
        "long-path": b"d" * 100 + b"/" + b"f" * 138,
        "empty-name": b"",
        "bad-encoding": b"a\x81",
    }
    for name, entry_name in names.items():
        yield name, build([OK, Entry(entry_name, b"evil")])
    yield "utf8-invalid", build([OK, Entry(b"\xff\xfe.txt", b"evil", flags=FLAG_UTF8)])
    yield "utf8-no-cp936-form", build([OK, Entry("😀.txt".encode("utf-8"), b"evil", flags=FLAG_UTF8)])
    yield "duplicate", build([OK, Entry(b"a.txt", b"1"), Entry(b"a.txt", b"2")])
    yield "duplicate-case", build([OK, Entry(b"README.txt", b"1"), Entry(b"readme.TXT", b"2")])
    # Full-width a and A: Windows takes them for one name.
    yield "duplicate-fullwidth-case", build([OK, Entry(b"\xa3\xe1.txt", b"1"), Entry(b"\xa3\xc1.txt", b"2")])
    yield "file-and-folder", build([OK, Entry(b"data", b"1"), Entry.folder(b"data/")])
    yield "file-as-parent", build([OK, Entry(b"data", b"1"), Entry(b"data/x.txt", b"2")])


def broken_structure():
    good = good_files()
    yield "empty-file", b""
    yield "empty-archive", build([])
    yield "not-zip", b"This is not an archive.\r\n" * 4
    yield "truncated-half", good[:len(good) // 2]
    yield "truncated-end-record", good[:-10]
    yield "bad-crc", build([OK, Entry(b"bad.txt", b"payload", crc=0x12345678)])
    # 50 MB of zeros deflate to about 50 KB; the headers say 1000 bytes.
    yield "size-lies-inflates-huge", build([Entry(b"bomb.bin", b"\0" * (50 << 20), uncompressed_size=1000)])
    yield "size-lies-stored-larger", build([Entry(b"big.bin", b"x" * 100, method=STORED, uncompressed_size=10)])
    yield "size-lies-smaller-data", build([Entry(b"short.bin", b"x" * 100, uncompressed_size=5000)])
    yield "count-lies-more", build([OK, Entry(b"b.txt", b"b")], count=5)
    yield "count-lies-fewer", build([OK, Entry(b"b.txt", b"b")], count=1)
    yield "count-here-differs", build([OK, Entry(b"b.txt", b"b")], count_here=1)
    yield "directory-outside", build([OK], directory_offset=1 << 20)
    yield "directory-size-lies", build([OK], directory_size=1 << 20)
    # The directory names a harmless file; the local header another one.
    yield "local-name-differs", build([Entry(b"ok2.txt", b"evil", local_name=b"../e.txt")])
    yield "spanned", build([OK], disk=1, directory_disk=1)
    yield "spanned-marker", b"PK\x07\x08" + build([OK])
    yield "entry-on-other-disk", build([Entry(b"b.txt", b"b", disk=1)])
    yield "encrypted", build([Entry(b"secret.txt", b"\0" * 12 + b"data", method=STORED, flags=FLAG_ENCRYPTED)])
    yield "unsupported-method", build([Entry(b"b.txt", b"b", method=12, compressed=b"BZh9")])
    yield "zip64-sizes", build([Entry(b"b.txt", b"b", uncompressed_size=0xFFFFFFFF)])
    yield "overlapping-entries", listed_twice(build([OK]))


def listed_twice(single):
    """A one-entry archive whose central directory lists its entry twice,
    both over the same local header and data."""
    end = len(single) - END_RECORD.size
    fields = list(END_RECORD.unpack_from(single, end))
    directory = single[fields[6]:end]
    fields[3] = fields[4] = 2
    fields[5] = 2 * len(directory)
    return single[:end] + directory + END_RECORD.pack(*fields)


def controls():
    yield "good-files", good_files()
    yield "good-stored", build([Entry(b"a.txt", b"stored\r\n", method=STORED), Entry.folder(b"empty/")])
    # 238 units: exactly what the folder "D:\Nimbo\" leaves.
    yield "good-longest-path", build([Entry(b"d" * 100 + b"/" + b"f" * 137, b"long")])
    # Unix symbolic-link attributes: the reader writes a plain file.
    yield "good-link-attributes", build([Entry(b"link", b"../../outside.txt", method=STORED, attributes=0xA1FF0000)])


def archives():
    for group in (hostile_names(), broken_structure(), controls()):
        yield from group


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", required=True, type=pathlib.Path)
    args = parser.parse_args()
    args.output.mkdir(parents=True, exist_ok=True)
    for stale in args.output.glob("*.zip"):
        stale.unlink()
    for name, data in archives():
        (args.output / f"{name}.zip").write_bytes(data)


if __name__ == "__main__":
    main()

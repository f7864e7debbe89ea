#!/usr/bin/python3
"""Packs the sample product Nimbo into the installer's payload archive, and
writes the list of what that archive installs for the product's uninstaller.

    make-payload.py --header OUT.h                       # the uninstaller's list
    make-payload.py --programs DIR --output Nimbo.zip    # packs, then checks
    make-payload.py --check Nimbo.zip                    # checks an archive

The archive is written byte by byte here rather than with zipfile, which
stores every non-ASCII name in UTF-8: most Chinese names must be stored in
code page 936 without the UTF-8 flag, the way Chinese Windows zip tools store
them, and one in UTF-8 with the flag, so that the installer meets both. Entry
order, timestamps, attributes and compression are fixed, so the same inputs
give the same bytes. Standard library only.
"""

import argparse
import os
import pathlib
import struct
import sys
import zlib

# The build runs this from the source tree: leave no bytecode there.
sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from payload_pictures import PICTURES  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parent.parent
PRODUCT = ROOT / "product"
ENTRY_COUNT = 39

# 2026-01-01 00:00:00 in MS-DOS form.
DOS_DATE = ((2026 - 1980) << 9) | (1 << 5) | 1
DOS_TIME = 0
ATTRIBUTE_FOLDER = 0x10
ATTRIBUTE_FILE = 0x20  # "archive", as Windows gives a new file
FLAG_MAXIMUM_COMPRESSION = 0x0002
FLAG_UTF8 = 0x0800
STORED, DEFLATED = 0, 8
MADE_BY_DOS = 20  # MS-DOS attributes, format version 2.0

LOCAL_HEADER = struct.Struct("<IHHHHHIIIHH")
CENTRAL_HEADER = struct.Struct("<IHHHHHHIIIHHHHHII")
END_RECORD = struct.Struct("<IHHHHIIH")
LOCAL_SIGNATURE, CENTRAL_SIGNATURE, END_SIGNATURE = 0x04034B50, 0x02014B50, 0x06054B50

# Characters Windows does not allow in a file name, and "\" which would
# start another level.
FORBIDDEN = set('\\:*?"<>|')
# Names that open a device rather than a file, with or without an extension.
DEVICES = {"CON", "PRN", "AUX", "NUL", *(f"COM{n}" for n in range(1, 10)), *(f"LPT{n}" for n in range(1, 10))}
TEXT_SUFFIXES = {".txt", ".ini"}
KINDS = {"program", "picture"}


class PayloadError(Exception):
    pass


class Entry:
    def __init__(self, name, kind, utf8):
        self.name = name   # "/" between levels, "/" at the end of a folder
        self.kind = kind   # "folder", "file", "program" or "picture"
        self.utf8 = utf8

    @property
    def is_folder(self):
        return self.kind == "folder"


def name_problem(name):
    """Why a stored name could not be installed safely under the target
    folder, or None: it must stay inside the folder and name the same file
    on every Windows."""
    if not name or name.startswith("/"):
        return "empty or absolute"
    parts = name[:-1].split("/") if name.endswith("/") else name.split("/")
    for part in parts:
        if part in ("", ".", ".."):
            return f"level {part!r}"
        if any(ch in FORBIDDEN or ord(ch) < 32 for ch in part):
            return "a character Windows does not allow"
        # Windows drops a trailing dot or space: "a." would be "a".
        if part.endswith((".", " ")):
            return "a level ending in a dot or space"
        if part.split(".", 1)[0].upper() in DEVICES:
            return "a device name"
    return None


def read_list(path):
    """The entries of the list file, checked: safe names, no duplicates,
    every entry's folder listed before it, exactly ENTRY_COUNT entries."""
    entries, seen = [], set()
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        words = line.split("#", 1)[0].split()
        if not words:
            continue
        name, options = words[0], words[1:]
        where = f"{path.name}:{number}: {name}"
        unknown = set(options) - KINDS - {"utf8"}
        if unknown or len(set(options) & KINDS) > 1:
            raise PayloadError(f"{where}: unknown or conflicting options {options}")
        problem = name_problem(name)
        if problem:
            raise PayloadError(f"{where}: unsafe name ({problem})")
        if name.lower() in seen:
            raise PayloadError(f"{where}: listed twice")
        parent = name.rstrip("/").rpartition("/")[0]
        if parent and (parent + "/").lower() not in seen:
            raise PayloadError(f"{where}: its folder {parent}/ is not listed before it")
        kind = "folder" if name.endswith("/") else next((o for o in options if o in KINDS), "file")
        if kind == "folder" and set(options) & KINDS:
            raise PayloadError(f"{where}: a folder cannot be a {options}")
        entry = Entry(name, kind, "utf8" in options)
        if not entry.utf8:
            try:
                name.encode("cp936")
            except UnicodeEncodeError:
                raise PayloadError(f"{where}: not expressible in code page 936") from None
        if any(ord(ch) > 0xFFFF for ch in name):
            raise PayloadError(f"{where}: a character beyond UTF-16's basic plane")
        seen.add(name.lower())
        entries.append(entry)
    if len(entries) != ENTRY_COUNT:
        raise PayloadError(f"{path.name} lists {len(entries)} entries, not {ENTRY_COUNT}")
    return entries


# --- contents ----------------------------------------------------------------

def text_file(data, suffix):
    """A text file as Windows tools expect it: CR LF line ends, and a UTF-8
    byte-order mark on .txt so that Notepad reads it as UTF-8. Whatever line
    ends the checkout has, the packed bytes are the same."""
    data = data.removeprefix(b"\xef\xbb\xbf").replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    return b"\xef\xbb\xbf" + data if suffix == ".txt" else data


def contents(entry, product, programs):
    if entry.is_folder:
        return b""
    if entry.kind == "program":
        return (programs / entry.name).read_bytes()
    if entry.kind == "picture":
        if entry.name not in PICTURES:
            raise PayloadError(f"{entry.name}: no drawing in payload_pictures.py")
        return PICTURES[entry.name]()
    data = (product / "files" / entry.name).read_bytes()
    suffix = pathlib.PurePosixPath(entry.name).suffix.lower()
    return text_file(data, suffix) if suffix in TEXT_SUFFIXES else data


def compress(name, data):
    """(method, flags, stored bytes): pictures are stored, they are
    compressed already; anything else is deflated at level 9 unless that does
    not make it smaller."""
    if data and not name.lower().endswith(".png"):
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        deflated = packer.compress(data) + packer.flush()
        if len(deflated) < len(data):
            return DEFLATED, FLAG_MAXIMUM_COMPRESSION, deflated
    return STORED, 0, data


def stored_name(entry):
    if entry.utf8:
        return entry.name.encode("utf-8"), FLAG_UTF8
    return entry.name.encode("cp936"), 0


# --- archive -----------------------------------------------------------------

def build_archive(entries, product, programs):
    body, directory = bytearray(), bytearray()
    for entry in entries:
        data = contents(entry, product, programs)
        name, name_flags = stored_name(entry)
        method, method_flags, packed = compress(entry.name, data)
        flags = name_flags | method_flags
        needed = 20 if method == DEFLATED or entry.is_folder else 10
        crc = zlib.crc32(data)
        attributes = ATTRIBUTE_FOLDER if entry.is_folder else ATTRIBUTE_FILE
        offset = len(body)
        body += LOCAL_HEADER.pack(LOCAL_SIGNATURE, needed, flags, method, DOS_TIME, DOS_DATE, crc, len(packed),
                                  len(data), len(name), 0)
        body += name + packed
        directory += CENTRAL_HEADER.pack(CENTRAL_SIGNATURE, MADE_BY_DOS, needed, flags, method, DOS_TIME,
                                         DOS_DATE, crc, len(packed), len(data), len(name), 0, 0, 0, 0,
                                         attributes, offset)
        directory += name
    end = END_RECORD.pack(END_SIGNATURE, 0, 0, len(entries), len(entries), len(directory), len(body), 0)
    return bytes(body + directory + end)


def check_archive(archive):
    """Reads an archive back from its bytes and raises PayloadError unless it
    has ENTRY_COUNT entries whose local and central records agree and whose
    data inflates to the recorded size and CRC, with safe names, folders
    marked both ways, both compression methods and both name encodings.
    Returns a summary line."""
    if len(archive) < END_RECORD.size:
        raise PayloadError("too short for a ZIP archive")
    (signature, _, _, on_disk, total, directory_size, directory_offset,
     comment_length) = END_RECORD.unpack_from(archive, len(archive) - END_RECORD.size)
    if signature != END_SIGNATURE or comment_length != 0:
        raise PayloadError("no end record at the end of the archive")
    if on_disk != total or total != ENTRY_COUNT:
        raise PayloadError(f"{total} entries, not {ENTRY_COUNT}")
    if directory_offset + directory_size != len(archive) - END_RECORD.size:
        raise PayloadError("the central directory is not where the end record says")
    methods, encodings, names = set(), set(), set()
    position = directory_offset
    for _ in range(total):
        fields = CENTRAL_HEADER.unpack_from(archive, position)
        (signature, _, _, flags, method, _, _, crc, packed_size, size, name_length, extra_length,
         comment_length, _, _, attributes, offset) = fields
        if signature != CENTRAL_SIGNATURE:
            raise PayloadError(f"no central record at {position}")
        start = position + CENTRAL_HEADER.size
        raw_name = archive[start:start + name_length]
        position = start + name_length + extra_length + comment_length
        name = raw_name.decode("utf-8" if flags & FLAG_UTF8 else "cp936")
        problem = name_problem(name)
        if problem:
            raise PayloadError(f"{name}: unsafe name ({problem})")
        if name.lower() in names:
            raise PayloadError(f"{name}: stored twice")
        names.add(name.lower())
        if flags & 0x0009:
            raise PayloadError(f"{name}: encrypted or with a data descriptor")
        if name.endswith("/") != bool(attributes & ATTRIBUTE_FOLDER):
            raise PayloadError(f"{name}: folder name and folder attribute disagree")
        local = LOCAL_HEADER.unpack_from(archive, offset)
        local_name = archive[offset + LOCAL_HEADER.size:offset + LOCAL_HEADER.size + local[9]]
        if local[0] != LOCAL_SIGNATURE or local[2:4] != (flags, method) or local[6:9] != (crc, packed_size, size) \
                or local_name != raw_name:
            raise PayloadError(f"{name}: local header disagrees with the central directory")
        data_start = offset + LOCAL_HEADER.size + local[9] + local[10]
        packed = archive[data_start:data_start + packed_size]
        if method == DEFLATED:
            data = zlib.decompress(packed, -15)
        elif method == STORED:
            data = packed
        else:
            raise PayloadError(f"{name}: compression method {method}")
        if len(data) != size or zlib.crc32(data) != crc:
            raise PayloadError(f"{name}: data does not match its size or CRC")
        if name.endswith("/") and size != 0:
            raise PayloadError(f"{name}: a folder with data")
        methods.add(method)
        if not name.isascii():
            encodings.add("utf8" if flags & FLAG_UTF8 else "cp936")
    if methods != {STORED, DEFLATED}:
        raise PayloadError(f"compression methods {sorted(methods)}: both stored and deflated must occur")
    if encodings != {"utf8", "cp936"}:
        raise PayloadError(f"Chinese names only in {sorted(encodings)}: both code page 936 and UTF-8 must occur")
    return f"{total} entries, {len(archive)} bytes, stored and deflated, code page 936 and UTF-8 names"


# --- the uninstaller's list --------------------------------------------------

def wide_literal(text):
    out = []
    for ch in text:
        if ch.isascii() and ch.isprintable() and ch not in '"\\':
            out.append(ch)
        else:
            out.append(f"\\u{ord(ch):04x}")
    return 'L"' + "".join(out) + '"'


def header(entries):
    lines = [
        "// Generated by tools/make-payload.py from product/payload.list; do not edit.",
        "#pragma once",
        "",
        "namespace uninstall {",
        "",
        "// What the payload puts into the product folder, in archive order; a",
        "// folder ends with \"/\".",
        "inline constexpr const wchar_t* kPayloadEntries[] = {",
        *(f"    {wide_literal(entry.name)}," for entry in entries),
        "};",
        "",
        "}  // namespace uninstall",
        "",
    ]
    return "\n".join(lines)


def write_file(path, data):
    """Writes through a temporary file, so a failed run leaves no half file."""
    path = pathlib.Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    temporary = path.with_name(path.name + ".tmp")
    temporary.write_bytes(data)
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--header", metavar="OUT.h", help="write the uninstaller's list of installed paths")
    mode.add_argument("--output", metavar="ZIP", help="pack the product into this archive")
    mode.add_argument("--check", metavar="ZIP", help="check an archive")
    parser.add_argument("--programs", metavar="DIR", help="folder with the built Nimbo.exe and uninstall.exe")
    parser.add_argument("--product", metavar="DIR", default=str(PRODUCT), help="the product folder (default: %(default)s)")
    args = parser.parse_args()
    product = pathlib.Path(args.product)
    try:
        if args.check:
            print(f"{args.check}: {check_archive(pathlib.Path(args.check).read_bytes())}")
            return 0
        entries = read_list(product / "payload.list")
        if args.header:
            write_file(args.header, header(entries).encode("ascii"))
            return 0
        if not args.programs:
            parser.error("--output needs --programs")
        archive = build_archive(entries, product, pathlib.Path(args.programs))
        summary = check_archive(archive)
        write_file(args.output, archive)
        print(f"{args.output}: {summary}")
        return 0
    except (PayloadError, OSError, UnicodeDecodeError, zlib.error, struct.error) as error:
        print(f"make-payload: {error}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())

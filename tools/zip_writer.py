"""ZIP archives written byte by byte, including ones that lie.

Python's zipfile refuses or repairs much of what a hostile archive does
(names with "..", sizes that disagree with the data, encrypted flags without
encryption), so the archives of the tests are assembled here from their
records. Every field an archive can lie about can be overridden per entry or
for the end record; everything else is what an ordinary archiver writes.
Timestamps are fixed, so the same entries give the same bytes.
"""

import dataclasses
import struct
import zlib

LOCAL_HEADER = struct.Struct("<IHHHHHIIIHH")
CENTRAL_HEADER = struct.Struct("<IHHHHHHIIIHHHHHII")
END_RECORD = struct.Struct("<IHHHHIIH")
LOCAL_SIGNATURE, CENTRAL_SIGNATURE, END_SIGNATURE = 0x04034B50, 0x02014B50, 0x06054B50

STORED, DEFLATED = 0, 8
FLAG_ENCRYPTED = 0x0001
FLAG_UTF8 = 0x0800
ATTRIBUTE_FOLDER = 0x10
ATTRIBUTE_FILE = 0x20
# 2026-01-01 00:00:00 in MS-DOS form.
DOS_DATE = ((2026 - 1980) << 9) | (1 << 5) | 1


def deflate(data, level=9):
    compressor = zlib.compressobj(level, zlib.DEFLATED, -15, 9)
    return compressor.compress(data) + compressor.flush()


@dataclasses.dataclass
class Entry:
    name: bytes
    data: bytes = b""
    method: int = DEFLATED
    flags: int = 0
    attributes: int = ATTRIBUTE_FILE
    # Lies: what the headers state instead of the truth.
    crc: int | None = None
    compressed: bytes | None = None  # the stored bytes instead of compressing `data`
    uncompressed_size: int | None = None
    disk: int = 0
    local_name: bytes | None = None  # the local header's name, when it differs

    @staticmethod
    def folder(name):
        return Entry(name, method=STORED, attributes=ATTRIBUTE_FOLDER)


def build(entries, comment=b"", count=None, count_here=None, directory_offset=None, directory_size=None,
          disk=0, directory_disk=0):
    """The archive's bytes: local headers and data, central directory, end
    record. `count`, `count_here`, `directory_offset`, `directory_size`,
    `disk` and `directory_disk` override the end record's fields."""
    body = bytearray()
    directory = bytearray()
    for entry in entries:
        stored = entry.compressed if entry.compressed is not None else (
            deflate(entry.data) if entry.method == DEFLATED else entry.data)
        crc = entry.crc if entry.crc is not None else zlib.crc32(entry.data)
        size = entry.uncompressed_size if entry.uncompressed_size is not None else len(entry.data)
        local_name = entry.local_name if entry.local_name is not None else entry.name
        offset = len(body)
        body += LOCAL_HEADER.pack(LOCAL_SIGNATURE, 20, entry.flags, entry.method, 0, DOS_DATE, crc, len(stored),
                                  size, len(local_name), 0)
        body += local_name + stored
        directory += CENTRAL_HEADER.pack(CENTRAL_SIGNATURE, 20, 20, entry.flags, entry.method, 0, DOS_DATE, crc,
                                         len(stored), size, len(entry.name), 0, 0, entry.disk, 0, entry.attributes,
                                         offset)
        directory += entry.name
    total = len(entries) if count is None else count
    here = total if count_here is None else count_here
    end = END_RECORD.pack(END_SIGNATURE, disk, directory_disk, here, total,
                          len(directory) if directory_size is None else directory_size,
                          len(body) if directory_offset is None else directory_offset, len(comment))
    return bytes(body + directory + end + comment)

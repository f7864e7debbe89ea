#!/usr/bin/env python3
"""Attaches the product archive to a linked installer program: the archive
goes after the program's last section (where the loader maps nothing, so
the payload costs no memory until the installer reads it), followed by the
table of its blocks' SHA-256 digests (the archive cut in blocks of
BLOCK_SIZE bytes, the last one shorter). The program's payload seal, a
record in its constant data, gets the archive's size and SHA-256, the block
size and the table's SHA-256, by which the installer knows that each block
it reads is its own before it writes a byte of it. Run after linking and
before signing; the result is reproducible.

Usage: attach-payload.py PROGRAM ARCHIVE"""

import hashlib
import pathlib
import struct
import sys

# 24 bytes, then the size (8), the archive's hash (32), the block size (4),
# four bytes of padding and the block table's hash (32).
MAGIC = b"NIMBO-PAYLOAD-SEAL-2\0\0\0\0"
BLOCK_SIZE = 256 * 1024


def block_table(payload):
    """The SHA-256 digests of the payload's blocks, one after the other."""
    return b"".join(hashlib.sha256(payload[at:at + BLOCK_SIZE]).digest()
                    for at in range(0, len(payload), BLOCK_SIZE))


def end_of_sections(image):
    """The file offset after the raw data of the program's last section."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise SystemExit("not a PE program")
    sections = struct.unpack_from("<H", image, pe + 6)[0]
    optional_size = struct.unpack_from("<H", image, pe + 20)[0]
    table = pe + 24 + optional_size
    end = 0
    for i in range(sections):
        raw_size, raw_offset = struct.unpack_from("<II", image, table + 40 * i + 16)
        end = max(end, raw_offset + raw_size)
    return end


def forget_signature(image):
    """Clears the certificate table's entry of a program signed before: its
    signature sits after the sections, goes with the old payload, and could
    not cover the new one anyway (sign after attaching)."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from("<H", image, optional)[0] == 0x10B else 112)
    struct.pack_into("<II", image, directories + 4 * 8, 0, 0)


def set_checksum(image):
    """The PE checksum over the whole file, payload included (the linker's
    covered the program alone): 16-bit words summed with their carries
    folded back, the field itself taken as 0, plus the file's length."""
    field = struct.unpack_from("<I", image, 0x3C)[0] + 24 + 64
    struct.pack_into("<I", image, field, 0)
    padded = bytes(image) + b"\0" * (len(image) % 2)
    total = sum(struct.unpack(f"<{len(padded) // 2}H", padded))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    struct.pack_into("<I", image, field, total + len(image))


def main():
    program, archive = map(pathlib.Path, sys.argv[1:3])
    image = bytearray(program.read_bytes())
    payload = archive.read_bytes()
    end = end_of_sections(image)
    # A program linked again starts without a payload; one attached already
    # gets the new one in its place.
    del image[end:]
    forget_signature(image)
    seal = image.find(MAGIC)
    if seal < 0 or image.find(MAGIC, seal + 1) >= 0:
        raise SystemExit(f"{program}: no single payload seal")
    table = block_table(payload)
    struct.pack_into("<Q32sI4x32s", image, seal + len(MAGIC), len(payload), hashlib.sha256(payload).digest(),
                     BLOCK_SIZE, hashlib.sha256(table).digest())
    image += payload + table
    set_checksum(image)
    program.write_bytes(bytes(image))


if __name__ == "__main__":
    main()

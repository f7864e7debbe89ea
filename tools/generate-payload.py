#!/usr/bin/env python3
"""Makes a large product for trying the installer at scale: the sample
product's entries, then generated files of about the size asked for, as a
folder (for other installer builders) and as an archive the installer can
carry. The files are deterministic and compress about as program files do,
so the same arguments give the same product.

Usage: generate-payload.py SAMPLE.zip MEGABYTES FILES FOLDER ARCHIVE [LEVEL]
FILES counts the generated files only (0: the sample alone); LEVEL is the deflate level (6)."""

import pathlib
import random
import shutil
import sys
import zipfile

BLOCK = 4096
# Half of each file is random bytes, half random bytes of eight values
# (three bits of news a byte): about 70 % of its size once deflated, and no
# two files alike, so that no compressor finds one file in another.
EIGHT_VALUES = bytes(b"nimbo.ex"[i % 8] for i in range(256))


def body(chance, size):
    out = bytearray()
    while len(out) < size:
        out += chance.randbytes(BLOCK)
        out += chance.randbytes(BLOCK).translate(EIGHT_VALUES)
    return bytes(out[:size])


def sample_entries(archive):
    """(name, bytes or None for a folder) of the sample product; names
    without the UTF-8 flag are code page 936."""
    with zipfile.ZipFile(archive) as package:
        for info in package.infolist():
            name = info.filename
            if not info.flag_bits & 0x800:
                name = name.encode("cp437").decode("gbk")
            yield name, (None if name.endswith("/") else package.read(info))


def generated_entries(megabytes, files):
    if files == 0:
        return
    each = megabytes * (1 << 20) // files
    chance = random.Random(files)
    yield "generated/", None
    for index in range(files):
        # Sizes vary around the mean.
        size = max(1, each + chance.randint(-each // 2, each // 2))
        yield f"generated/part-{index:04d}.bin", body(chance, size)


def main():
    if len(sys.argv) not in (6, 7):
        raise SystemExit(__doc__)
    sample, megabytes, files, folder, archive = sys.argv[1:6]
    level = int(sys.argv[6]) if len(sys.argv) == 7 else 6
    folder, archive = pathlib.Path(folder), pathlib.Path(archive)
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    entries = [*sample_entries(sample), *generated_entries(int(megabytes), int(files))]
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=level) as package:
        for name, data in entries:
            path = folder / name
            if data is None:
                path.mkdir(parents=True, exist_ok=True)
                package.writestr(zipfile.ZipInfo(name, (2026, 1, 1, 0, 0, 0)), b"")
            else:
                path.write_bytes(data)
                package.writestr(zipfile.ZipInfo(name, (2026, 1, 1, 0, 0, 0)), data,
                                 compress_type=zipfile.ZIP_DEFLATED, compresslevel=level)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Tests of the payload packer and the archive the build packed: the form
the installer relies on (39 entries, both compression methods, both name
encodings, folders marked, fixed times), the same bytes on every packing,
the uninstaller's list matching the archive, and loud failures on a bad
product list or a damaged archive."""

import argparse
import hashlib
import pathlib
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
PACKER = ROOT / "tools" / "make-payload.py"
ARGS = None

# The entries stored in UTF-8 with the language-encoding flag; every other
# Chinese name is in code page 936 without it.
UTF8_NAMES = {"docs/常见问题.txt", "docs/截图/", "docs/截图/主界面.png"}
# Code page 936 by hand: 插 B2E5, 件 BCFE, 好 BAC3, 運 DF5C (second byte a
# backslash), 使 CAB9, 用 D3C3, 说 CBB5, 明 C3F7.
RAW_NAMES = {
    "插件/好運/": b"\xb2\xe5\xbc\xfe/\xba\xc3\xdf\x5c/",
    "docs/使用说明.txt": b"docs/\xca\xb9\xd3\xc3\xcb\xb5\xc3\xf7.txt",
    "docs/截图/": "docs/截图/".encode("utf-8"),
}
STORED_NAMES = {"resources/images/logo.png", "resources/images/splash.png", "插件/天气/图标.png", "data/history.dat"}
DEFLATED_NAMES = {"Nimbo.exe", "uninstall.exe", "README.txt", "config/settings.ini"}


def pack(output, product=None):
    command = [sys.executable, str(PACKER), "--programs", ARGS.programs, "--output", str(output)]
    if product:
        command += ["--product", str(product)]
    return subprocess.run(command, capture_output=True, text=True, timeout=120)


def sha256(path):
    return hashlib.sha256(pathlib.Path(path).read_bytes()).hexdigest()


def raw_local_names(data):
    """{raw name: general-purpose flags} read from the local headers."""
    names, position = {}, 0
    while data[position:position + 4] == b"PK\x03\x04":
        flags, = struct.unpack_from("<H", data, position + 6)
        packed, _, name_length, extra_length = struct.unpack_from("<IIHH", data, position + 18)
        start = position + 30
        names[data[start:start + name_length]] = flags
        position = start + name_length + extra_length + packed
    return names


class PackedArchive(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = pathlib.Path(ARGS.archive).read_bytes()
        cls.archive = zipfile.ZipFile(ARGS.archive, metadata_encoding="cp936")
        cls.infos = {info.filename: info for info in cls.archive.infolist()}

    @classmethod
    def tearDownClass(cls):
        cls.archive.close()

    def test_it_holds_39_entries_that_all_read_back(self):
        self.assertEqual(len(self.archive.infolist()), 39)
        self.assertEqual(len(self.infos), 39, "no name twice")
        self.assertIsNone(self.archive.testzip(), "every entry's data matches its CRC")
        self.assertEqual(self.archive.infolist()[0].filename, "Nimbo.exe")
        self.assertEqual(self.archive.infolist()[-1].filename, "logs/")

    def test_both_compression_methods_occur_where_they_should(self):
        self.assertEqual({info.compress_type for info in self.infos.values()}, {zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED})
        for name in STORED_NAMES:
            self.assertEqual(self.infos[name].compress_type, zipfile.ZIP_STORED, name)
        for name in DEFLATED_NAMES:
            info = self.infos[name]
            self.assertEqual(info.compress_type, zipfile.ZIP_DEFLATED, name)
            self.assertLess(info.compress_size, info.file_size, name)
        self.assertEqual(self.infos["data/history.dat"].file_size, 0, "the empty file")

    def test_chinese_names_come_in_code_page_936_and_in_utf8_with_its_flag(self):
        raw = raw_local_names(self.data)
        self.assertEqual(len(raw), 39, "the local headers run back to back")
        for name, info in self.infos.items():
            utf8 = bool(info.flag_bits & 0x800)
            self.assertEqual(utf8, name in UTF8_NAMES, name)
            encoded = name.encode("utf-8" if utf8 else "cp936")
            self.assertIn(encoded, raw, name)
            self.assertEqual(raw[encoded] & 0x800, info.flag_bits & 0x800, f"{name}: local and central flags")
        for name, encoded in RAW_NAMES.items():
            self.assertIn(encoded, raw, name)

    def test_folders_files_and_times_are_fixed(self):
        folders = 0
        for name, info in self.infos.items():
            self.assertEqual(info.date_time, (2026, 1, 1, 0, 0, 0), name)
            if name.endswith("/"):
                folders += 1
                self.assertEqual((info.external_attr, info.file_size), (0x10, 0), name)
            else:
                self.assertEqual(info.external_attr, 0x20, name)
        self.assertEqual(folders, 16)
        for empty in ("resources/sounds/", "data/cache/", "logs/"):
            self.assertFalse([n for n in self.infos if n.startswith(empty) and n != empty], f"{empty} is empty")

    def test_text_files_have_windows_line_ends_and_txt_files_a_byte_order_mark(self):
        readme = self.archive.read("README.txt")
        self.assertTrue(readme.startswith(b"\xef\xbb\xbfNimbo 2.0.1002\r\n"))
        self.assertNotIn(b"\n", readme.replace(b"\r\n", b""))
        settings = self.archive.read("config/settings.ini")
        self.assertTrue(settings.startswith(b"; Nimbo settings."), "no byte-order mark in an .ini file")
        self.assertIn(b"\r\n[General]\r\n", settings)

    def test_the_programs_are_the_builds(self):
        for name in ("Nimbo.exe", "uninstall.exe"):
            self.assertEqual(self.archive.read(name), (pathlib.Path(ARGS.programs) / name).read_bytes(), name)

    def test_the_uninstallers_list_names_the_archives_entries_in_order(self):
        header = pathlib.Path(ARGS.header).read_text(encoding="ascii")
        literals = re.findall(r'^\s+L"(.*)",$', header, re.MULTILINE)
        names = [re.sub(r"\\u([0-9a-f]{4})", lambda m: chr(int(m.group(1), 16)), text) for text in literals]
        self.assertEqual(names, [info.filename for info in self.archive.infolist()])

    def test_check_accepts_it(self):
        result = subprocess.run([sys.executable, str(PACKER), "--check", ARGS.archive], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stderr)


class Packer(unittest.TestCase):
    def setUp(self):
        self.scratch = pathlib.Path(tempfile.mkdtemp(prefix="payload-test-"))
        self.addCleanup(shutil.rmtree, self.scratch)

    def test_packing_again_gives_the_same_bytes(self):
        first, second = self.scratch / "a" / "Nimbo.zip", self.scratch / "b" / "Nimbo.zip"
        for output in (first, second):
            result = pack(output)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertIn("39 entries", result.stdout)
        self.assertEqual(sha256(first), sha256(second))
        self.assertEqual(sha256(first), sha256(ARGS.archive), "the build packed the same bytes")

    def product_with_list(self, edit):
        """A copy of the product whose list is edit(lines)."""
        product = self.scratch / "product"
        shutil.copytree(ROOT / "product" / "files", product / "files")
        lines = (ROOT / "product" / "payload.list").read_text(encoding="utf-8").splitlines()
        (product / "payload.list").write_text("\n".join(edit(lines)) + "\n", encoding="utf-8")
        return product

    def test_a_bad_product_list_fails_loudly_and_writes_nothing(self):
        cases = [
            (lambda lines: [l for l in lines if not l.startswith("logs/")], "lists 38 entries, not 39"),
            (lambda lines: lines + ["extra.txt"], "lists 40 entries, not 39"),
            (lambda lines: [l.replace("LICENSE.txt", "../LICENSE.txt") for l in lines], "unsafe name"),
            (lambda lines: [l.replace("config/settings.ini", "config./settings.ini") for l in lines], "unsafe name"),
            (lambda lines: [l.replace("data/history.dat", "data/nul.dat") for l in lines], "a device name"),
            (lambda lines: [l for l in lines if l != "data/"] + ["data2/"], "data/ is not listed before it"),
            (lambda lines: ["Readme.TXT" if l == "LICENSE.txt" else l for l in lines], "listed twice"),
            (lambda lines: [l.replace("README.txt", "README.txt picture") for l in lines], "no drawing"),
        ]
        for edit, message in cases:
            with self.subTest(message=message):
                shutil.rmtree(self.scratch / "product", ignore_errors=True)
                output = self.scratch / "out" / "Nimbo.zip"
                result = pack(output, self.product_with_list(edit))
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(message, result.stderr)
                self.assertFalse(output.exists())

    def test_check_refuses_a_damaged_archive(self):
        data = bytearray(pathlib.Path(ARGS.archive).read_bytes())
        # A byte inside the deflated data of the first entry, Nimbo.exe.
        data[30 + len("Nimbo.exe") + 1000] ^= 0xFF
        damaged = self.scratch / "damaged.zip"
        damaged.write_bytes(bytes(data))
        result = subprocess.run([sys.executable, str(PACKER), "--check", str(damaged)], capture_output=True, text=True)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("make-payload:", result.stderr)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--archive", required=True)
    parser.add_argument("--programs", required=True)
    parser.add_argument("--header", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The installer signed with Authenticode: a throw-away self-signed
certificate is made for the test, a copy of the installer is signed with
scripts/sign, osslsigncode verifies it, and the signed copy still installs
under Wine (silently) with a payload whose uninstaller keeps working."""

import pathlib
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import end_to_end  # noqa: E402
from end_to_end import ROOT, wait_for_exit  # noqa: E402
from desktop import Desktop  # noqa: E402


class Signing(end_to_end.InstallationTest):
    def setUp(self):
        self.prepare_machine()
        self.work = pathlib.Path(tempfile.mkdtemp(prefix="signing-", dir=end_to_end.ARGS.build))
        self.addCleanup(shutil.rmtree, self.work, ignore_errors=True)
        self.certificate, self.key = self.work / "certificate.pem", self.work / "key.pem"
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                        "-subj", "/CN=Nimbo Test Signing", "-keyout", str(self.key), "-out", str(self.certificate)],
                       check=True, capture_output=True)

    def sign(self, program):
        subprocess.run([str(ROOT / "scripts" / "sign"), str(self.certificate), str(self.key), str(program)],
                       check=True, capture_output=True)

    def verify(self, program):
        return subprocess.run(["osslsigncode", "verify", "-CAfile", str(self.certificate), "-in", str(program)],
                              capture_output=True, text=True)

    def test_signed_installer_verifies_and_installs(self):
        signed = self.work / "NimboSetup.exe"
        shutil.copyfile(end_to_end.ARGS.program, signed)
        self.assertNotEqual(self.verify(signed).returncode, 0, "not signed before")
        self.sign(signed)
        verified = self.verify(signed)
        self.assertEqual(verified.returncode, 0, verified.stdout + verified.stderr)
        self.assertIn("Signature verification: ok", verified.stdout)

        # A signed program is still the same program to Windows.
        process = Desktop(end_to_end.ARGS.build).start(signed, "/S", "/D=D:\\Signed\\")
        self.assertEqual(wait_for_exit(process, timeout=120), 0)
        self.assertTrue((self.drive_d / "Signed" / "Nimbo.exe").exists())

        # A signed uninstaller copied elsewhere (as it runs from a temporary
        # copy) keeps a valid signature: the signature is in the file.
        uninstaller = self.work / "uninstall.exe"
        shutil.copyfile(self.drive_d / "Signed" / "uninstall.exe", uninstaller)
        self.sign(uninstaller)
        copy = self.work / "copy-of-uninstall.exe"
        shutil.copyfile(uninstaller, copy)
        self.assertEqual(self.verify(copy).returncode, 0)

    def test_a_changed_byte_breaks_the_signature(self):
        signed = self.work / "NimboSetup.exe"
        shutil.copyfile(end_to_end.ARGS.program, signed)
        self.sign(signed)
        data = bytearray(signed.read_bytes())
        data[0x400] ^= 0xFF  # inside the code
        signed.write_bytes(bytes(data))
        self.assertNotEqual(self.verify(signed).returncode, 0)


def main():
    rest = end_to_end.parse_arguments()
    if shutil.which("osslsigncode") is None:
        print("signing: skipped, osslsigncode is not installed (apt-get install osslsigncode)")
        return
    end_to_end.run_tests(rest)


if __name__ == "__main__":
    main()

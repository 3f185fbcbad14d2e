"""Checks the OpenFX bundle as hosts and installers see it: the folder
layout hosts search, the Windows binary a 64-bit DLL exporting exactly the
two OpenFX entry points and importing only Windows system libraries, with
the release's file version resource; the Linux binary with the same two
exports; the icon hosts show.

usage: check_ofx_bundle.py PATH/HuewrightGenerator.ofx.bundle
"""

import os
import subprocess
import sys
import unittest

import pefile

from check_aex import SYSTEM_DLLS, SYSTEM_DLL_PATTERN, VERSION_NUMBERS

BUNDLE = None
EXPORTS = ["OfxGetNumberOfPlugins", "OfxGetPlugin"]


def contents(*parts):
    return os.path.join(BUNDLE, "Contents", *parts)


class LayoutTest(unittest.TestCase):
    def test_binaries_and_icon_where_hosts_look(self):
        for path in (contents("Linux-x86-64", "HuewrightGenerator.ofx"), contents("Win64", "HuewrightGenerator.ofx"),
                     contents("Resources", "com.kestrow.HuewrightGenerator.png")):
            with self.subTest(path=path):
                self.assertTrue(os.path.isfile(path))
        with open(contents("Resources", "com.kestrow.HuewrightGenerator.png"), "rb") as icon:
            self.assertEqual(icon.read(8), b"\x89PNG\r\n\x1a\n")

    def test_linux_binary_exports_exactly_the_entry_points(self):
        listing = subprocess.run(["nm", "-D", "--defined-only", contents("Linux-x86-64", "HuewrightGenerator.ofx")],
                                 check=True, capture_output=True, text=True).stdout
        self.assertEqual(sorted(line.split()[-1] for line in listing.splitlines() if line.strip()), EXPORTS)


class WindowsBinaryTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pefile.PE(contents("Win64", "HuewrightGenerator.ofx"))

    def test_is_a_64_bit_windows_dll(self):
        self.assertEqual(self.pe.FILE_HEADER.Machine, pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"])
        self.assertEqual(self.pe.OPTIONAL_HEADER.Magic, pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS)
        self.assertTrue(self.pe.FILE_HEADER.Characteristics & pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_DLL"])

    def test_exports_exactly_the_entry_points(self):
        names = sorted(s.name.decode() for s in self.pe.DIRECTORY_ENTRY_EXPORT.symbols if s.name)
        self.assertEqual(names, EXPORTS)

    def test_imports_only_windows_system_libraries(self):
        for dll in (d.dll.decode().lower() for d in self.pe.DIRECTORY_ENTRY_IMPORT):
            with self.subTest(dll=dll):
                self.assertTrue(dll in SYSTEM_DLLS or SYSTEM_DLL_PATTERN.match(dll),
                                f"{dll} is not a Windows system library")

    def test_version_resource_names_the_plug_in_and_the_release(self):
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        ms, ls = fixed.FileVersionMS, fixed.FileVersionLS
        self.assertEqual((ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), VERSION_NUMBERS)
        tables = [table for info in self.pe.FileInfo[0] if info.Key == b"StringFileInfo"
                  for table in info.StringTable]
        strings = {k.decode(): v.decode() for k, v in tables[0].entries.items()}
        self.assertEqual(strings.get("OriginalFilename"), "HuewrightGenerator.ofx")
        self.assertEqual(strings.get("CompanyName"), "Kestrow Productions")
        self.assertIn("OpenFX", strings.get("FileDescription", ""))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    BUNDLE = sys.argv[1]
    unittest.main(argv=[sys.argv[0], "-v"])

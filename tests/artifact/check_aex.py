"""Checks the built Windows effect file as a host would see it: a 64-bit DLL
with two exports at fixed ordinals, imports from Windows system libraries only,
and the "PIPL" property list resource with every byte where the host expects
it, and the file version resource that Explorer and installers read, its
numbers those of the registered version. The expected bytes are built here
from the published property table, not from the generator that produced the
resource.

usage: check_aex.py PATH/HuewrightGenerator.aex
"""

import os
import re
import struct
import sys
import unittest

import pefile

AEX_PATH = None

# The values global setup writes into the host's out data.
MY_VERSION = 0x00080001
OUT_FLAGS = 0x02000000
OUT_FLAGS2 = 0x08001400

# The registered version word unpacked: version << 19 | subversion << 15 |
# fix << 11 | stage << 9 | build.
VERSION_NUMBERS = (MY_VERSION >> 19, (MY_VERSION >> 15) & 0xF, (MY_VERSION >> 11) & 0xF, MY_VERSION & 0x1FF)
VERSION_STRINGS = {
    "CompanyName": "Kestrow Productions",
    "ProductName": "Huewright Generator",
    "OriginalFilename": "HuewrightGenerator.aex",
    "InternalName": "HuewrightGenerator",
    "FileVersion": "%d.%d.%d.%d" % VERSION_NUMBERS,
    "ProductVersion": "%d.%d.%d" % VERSION_NUMBERS[:3],
}

PIPL_SIZE = 314
PIPL_ID = 16000
LANGUAGE_EN_US = 1033

SYSTEM_DLLS = {
    "kernel32.dll", "msvcrt.dll", "ucrtbase.dll", "user32.dll", "advapi32.dll",
    "ntdll.dll", "bcrypt.dll", "ws2_32.dll", "shell32.dll", "ole32.dll",
}
SYSTEM_DLL_PATTERN = re.compile(r"^api-ms-win-[a-z0-9-]+\.dll$")


def four_char_code(code):
    """First character in the most significant byte, stored little-endian."""
    assert len(code) == 4
    return code[::-1].encode("ascii")


def pascal_text(text):
    raw = text.encode("ascii")
    return bytes([len(raw)]) + raw


def padded(data):
    return data + b"\0" * (-len(data) % 4)


# (key, length field, data without padding), in file order.
PROPERTIES = [
    ("kind", 4, four_char_code("eFKT")),
    ("name", 20, pascal_text("Huewright Generator")),
    ("catg", 20, pascal_text("Kestrow Productions")),
    ("8664", 12, b"EffectMain\0"),
    ("ePVR", 4, struct.pack("<HH", 2, 0)),
    ("eSVR", 4, struct.pack("<HH", 13, 25)),
    ("eVER", 4, struct.pack("<I", MY_VERSION)),
    ("eINF", 2, struct.pack("<H", 0)),
    ("eGLO", 4, struct.pack("<I", OUT_FLAGS)),
    ("eGL2", 4, struct.pack("<I", OUT_FLAGS2)),
    ("eMNA", 28, pascal_text("Kestrow Huewright Generator")),
    ("aeFL", 4, struct.pack("<I", 0)),
]


def expected_pipl():
    out = struct.pack("<HII", 1, 0, len(PROPERTIES))
    for key, length, data in PROPERTIES:
        out += b"MIB8" + four_char_code(key) + struct.pack("<II", 0, length) + padded(data)
    return out


def load_pe():
    if not AEX_PATH or not os.path.isfile(AEX_PATH):
        raise AssertionError(
            f"no effect file at {AEX_PATH!r}: build the Windows tree and configure "
            "this tree with -DHUEWRIGHT_WINDOWS_BUILD=<its path>")
    return pefile.PE(AEX_PATH)


class AexTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = load_pe()

    def pipl_bytes(self):
        types = [t for t in self.pe.DIRECTORY_ENTRY_RESOURCE.entries
                 if t.name is not None and str(t.name) == "PIPL"]
        self.assertEqual(len(types), 1, "one resource type named PIPL")
        ids = types[0].directory.entries
        self.assertEqual([e.id for e in ids], [PIPL_ID])
        languages = ids[0].directory.entries
        self.assertEqual([e.id for e in languages], [LANGUAGE_EN_US])
        entry = languages[0].data.struct
        self.assertEqual(entry.Size, PIPL_SIZE)
        return self.pe.get_data(entry.OffsetToData, entry.Size)


class ImageTest(AexTest):
    def test_is_a_64_bit_windows_dll(self):
        self.assertEqual(self.pe.FILE_HEADER.Machine, pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"])
        self.assertEqual(self.pe.OPTIONAL_HEADER.Magic, pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS)
        self.assertTrue(self.pe.FILE_HEADER.Characteristics & pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_DLL"])

    def test_exports_exactly_the_two_entry_points_at_their_ordinals(self):
        exports = [(s.ordinal, s.name.decode() if s.name else None, s.forwarder)
                   for s in self.pe.DIRECTORY_ENTRY_EXPORT.symbols]
        self.assertEqual(exports, [(1, "EffectMain", None), (2, "PluginDataEntryFunction", None)])

    def test_imports_only_windows_system_libraries(self):
        dlls = [d.dll.decode().lower() for d in self.pe.DIRECTORY_ENTRY_IMPORT]
        self.assertIn("kernel32.dll", dlls)
        for dll in dlls:
            with self.subTest(dll=dll):
                self.assertTrue(dll in SYSTEM_DLLS or SYSTEM_DLL_PATTERN.match(dll),
                                f"{dll} is not a Windows system library")


class PiplTest(AexTest):
    def test_header(self):
        marker, list_version, count = struct.unpack_from("<HII", self.pipl_bytes(), 0)
        self.assertEqual((marker, list_version, count), (1, 0, 12))

    def test_properties_one_by_one(self):
        data = self.pipl_bytes()
        offset = 10
        for key, length, value in PROPERTIES:
            start = offset + 16
            padding_end = start + len(padded(value))
            with self.subTest(key=key, offset=offset):
                self.assertEqual(offset % 4, 2, "property starts 2 past a multiple of 4")
                vendor, stored_key, prop_id, stored_length = struct.unpack_from("<4s4sII", data, offset)
                self.assertEqual(vendor, b"MIB8")
                self.assertEqual(stored_key, key[::-1].encode())
                self.assertEqual(prop_id, 0)
                self.assertEqual(stored_length, length)
                self.assertEqual(data[start:start + len(value)], value)
                self.assertEqual(data[start + len(value):padding_end],
                                 b"\0" * (padding_end - start - len(value)), "padding is zero")
            offset = padding_end
        self.assertEqual(offset, PIPL_SIZE, "the last property ends the resource")

    def test_version_and_flags_equal_what_global_setup_writes(self):
        data = self.pipl_bytes()
        for key, value in (("eVER", MY_VERSION), ("eGLO", OUT_FLAGS), ("eGL2", OUT_FLAGS2)):
            with self.subTest(key=key):
                where = data.find(b"MIB8" + key[::-1].encode())
                self.assertGreater(where, 0)
                self.assertEqual(struct.unpack_from("<I", data, where + 16)[0], value)

    def test_whole_resource_matches_the_table(self):
        expected = expected_pipl()
        self.assertEqual(len(expected), PIPL_SIZE)
        self.assertEqual(self.pipl_bytes(), expected)


class VersionInfoTest(AexTest):
    def version_strings(self):
        tables = [table for info in self.pe.FileInfo[0] if info.Key == b"StringFileInfo"
                  for table in info.StringTable]
        self.assertEqual([t.LangID for t in tables], [b"040904B0"], "one US English, Unicode string table")
        return {k.decode(): v.decode() for k, v in tables[0].entries.items()}

    def test_one_version_resource_in_us_english(self):
        types = [t for t in self.pe.DIRECTORY_ENTRY_RESOURCE.entries
                 if t.id == pefile.RESOURCE_TYPE["RT_VERSION"]]
        self.assertEqual(len(types), 1)
        self.assertEqual([e.id for e in types[0].directory.entries], [1])
        self.assertEqual([e.id for e in types[0].directory.entries[0].directory.entries], [LANGUAGE_EN_US])

    def test_fixed_numbers_are_the_registered_version(self):
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        major, minor, fix, build = VERSION_NUMBERS
        for name, ms, ls in (("file", fixed.FileVersionMS, fixed.FileVersionLS),
                             ("product", fixed.ProductVersionMS, fixed.ProductVersionLS)):
            with self.subTest(version=name):
                self.assertEqual((ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), (major, minor, fix, build))
        self.assertEqual(fixed.FileType, 2, "a DLL")

    def test_strings(self):
        strings = self.version_strings()
        for key, value in VERSION_STRINGS.items():
            with self.subTest(key=key):
                self.assertEqual(strings.get(key), value)
        self.assertIn("Kestrow Productions", strings.get("LegalCopyright", ""))
        self.assertTrue(strings.get("FileDescription"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    AEX_PATH = sys.argv[1]
    unittest.main(argv=[sys.argv[0], "-v"])

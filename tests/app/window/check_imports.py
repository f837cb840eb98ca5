#!/usr/bin/env python3
"""Static checks of where the installer's DLLs come from, run on the build machine.

Windows resolves a program's static imports before any of its code runs and, for every DLL it does
not always map from the system folder (the "known DLLs"), looks in the program's own folder first.
The elevated installer, started from Downloads, must therefore import statically only known DLLs;
the functions of the other system DLLs it needs are bound from the system folder at run time, and
its load configuration asks Windows to resolve dependencies from the system folder only.
Usage: check_imports.py --exe <installer.exe> [unittest args]
"""
import argparse
import struct
import sys
import unittest

# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of Windows 10 and 11, and ntdll,
# which is always mapped.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll",
    "gdi32.dll", "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll",
    "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "wldap32.dll", "ws2_32.dll", "ntdll.dll",
}
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800


class PeFile:
    def __init__(self, path):
        self.data = data = open(path, "rb").read()
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.pe32plus = struct.unpack_from("<H", data, opt)[0] == 0x20B
        self.dirs = opt + (112 if self.pe32plus else 96)
        table = opt + opt_size
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(sections)]

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.dirs + 8 * index)

    def offset(self, rva):
        for vsize, va, raw_size, raw_ptr in self.sections:
            if va <= rva < va + max(vsize, raw_size):
                return raw_ptr + rva - va
        raise ValueError("RVA %#x outside every section" % rva)

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def static_imports(self):
        rva, _ = self.directory(1)
        names, at = [], self.offset(rva)
        while True:
            descriptor = struct.unpack_from("<IIIII", self.data, at)
            if descriptor == (0, 0, 0, 0, 0):
                return names
            names.append(self.cstring(descriptor[3]))
            at += 20


class InstallerImports(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = PeFile(ARGS.exe)

    def test_static_imports_are_only_known_dlls(self):
        imports = [name.lower() for name in self.pe.static_imports()]
        self.assertIn("kernel32.dll", imports)
        self.assertEqual([], sorted(set(imports) - KNOWN_DLLS), "imported statically: %s" % imports)

    def test_load_configuration_resolves_dependencies_from_the_system_folder(self):
        rva, size = self.pe.directory(10)
        self.assertNotEqual(0, rva, "no load configuration directory")
        at = self.pe.offset(rva)
        record_size = struct.unpack_from("<I", self.pe.data, at)[0]
        self.assertEqual(record_size, size)
        # DependentLoadFlags: the word after CSDVersion.
        flags_at = 0x4E if self.pe.pe32plus else 0x36
        self.assertGreater(record_size, flags_at + 2)
        self.assertEqual(LOAD_LIBRARY_SEARCH_SYSTEM32, struct.unpack_from("<H", self.pe.data, at + flags_at)[0])


def main():
    global ARGS
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--exe", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()

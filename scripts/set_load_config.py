#!/usr/bin/env python3
"""Points a linked PE file's load-configuration directory at its `_load_config_used` record.

GNU ld 2.40 links the record (app/load_config.c) but leaves the directory entry empty, so Windows
would never read it. The record's address comes from the file's COFF symbol table, so this runs
before the file is stripped. The entry's size is the record's own Size field.
Usage: set_load_config.py <program.exe>
"""
import struct
import sys

LOAD_CONFIG_ENTRY = 10


def main(path):
    data = bytearray(open(path, "rb").read())
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit("set_load_config: %s is not a PE file" % path)
    machine, sections, _, symtab, nsyms, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    # i686 C symbols carry a leading underscore.
    wanted = "__load_config_used" if machine == 0x14C else "_load_config_used"
    table = opt + opt_size
    section_va = [struct.unpack_from("<I", data, table + 40 * i + 12)[0] for i in range(sections)]
    strings = symtab + 18 * nsyms
    if symtab == 0:
        sys.exit("set_load_config: %s has no symbol table (already stripped?)" % path)
    i = 0
    while i < nsyms:
        entry = symtab + 18 * i
        raw = bytes(data[entry:entry + 8])
        if raw[:4] == b"\0\0\0\0":
            offset = struct.unpack_from("<I", raw, 4)[0]
            end = data.index(b"\0", strings + offset)
            name = data[strings + offset:end].decode()
        else:
            name = raw.rstrip(b"\0").decode()
        value, section, _, _, aux = struct.unpack_from("<IhHBB", data, entry + 8)
        if name == wanted and section > 0:
            rva = section_va[section - 1] + value
            break
        i += 1 + aux
    else:
        sys.exit("set_load_config: no %s in %s" % (wanted, path))
    for va, raw_size, raw_ptr in ((section_va[k],) + struct.unpack_from("<II", data, table + 40 * k + 16)
                                  for k in range(sections)):
        if va <= rva < va + raw_size:
            size = struct.unpack_from("<I", data, raw_ptr + rva - va)[0]
            break
    else:
        sys.exit("set_load_config: the record lies outside the file's sections")
    struct.pack_into("<II", data, dirs + 8 * LOAD_CONFIG_ENTRY, rva, size)
    open(path, "wb").write(data)


if __name__ == "__main__":
    main(sys.argv[1])

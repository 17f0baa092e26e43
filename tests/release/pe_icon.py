"""Checks that a PE file carries an icon file as its group icon resource.

    pe_icon.py <exe> <icon.ico> <group id>

Walks the resource directory: the RT_GROUP_ICON entry <group id> must list exactly the
images of the .ico, in its order, each with the same header fields, and every RT_ICON it
names must hold that image's bytes. Exit code 0 when it does; the reason on stderr when not.
"""
import struct
import sys

RT_ICON, RT_GROUP_ICON = 3, 14


def fail(why):
    sys.stderr.write(f"pe_icon: {why}\n")
    sys.exit(1)


def resources(pe):
    """{(type, id): bytes} of every resource with numeric type and id (first language)."""
    if pe[:2] != b"MZ":
        fail("not an MZ file")
    nt = struct.unpack_from("<I", pe, 0x3C)[0]
    if pe[nt:nt + 4] != b"PE\0\0":
        fail("no PE header")
    sections, opt_size = struct.unpack_from("<H12xH", pe, nt + 6)
    opt = nt + 24
    magic = struct.unpack_from("<H", pe, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    rva, _ = struct.unpack_from("<II", pe, dirs + 2 * 8)
    table = opt + opt_size
    base = None
    for i in range(sections):
        _, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", pe, table + 40 * i)
        if vaddr <= rva < vaddr + max(vsize, rsize):
            base, delta = raw + (rva - vaddr), raw - vaddr
    if not rva or base is None:
        fail("no resource directory")

    def entries(offset):
        named, ids = struct.unpack_from("<12xHH", pe, base + offset)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", pe, base + offset + 16 + 8 * i)
            yield name, target

    found = {}
    for rtype, t in entries(0):
        if rtype & 0x80000000 or not t & 0x80000000:
            continue
        for rid, n in entries(t & 0x7FFFFFFF):
            if rid & 0x80000000 or not n & 0x80000000:
                continue
            for _, leaf in entries(n & 0x7FFFFFFF):
                data_rva, size = struct.unpack_from("<II", pe, base + leaf)
                found.setdefault((rtype, rid), pe[data_rva + delta:data_rva + delta + size])
    return found


def main(exe, ico, group_id):
    res = resources(open(exe, "rb").read())
    icon = open(ico, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", icon, 0)
    if kind != 1 or count == 0:
        fail(f"{ico} is not an icon file")
    group = res.get((RT_GROUP_ICON, group_id))
    if group is None:
        fail(f"no group icon {group_id}")
    _, gkind, gcount = struct.unpack_from("<HHH", group, 0)
    if gkind != 1 or gcount != count:
        fail(f"group icon {group_id} has {gcount} images, {ico} has {count}")
    for i in range(count):
        w, h, colours, planes, bits, size, offset = struct.unpack_from("<BBBxHHII", icon, 6 + 16 * i)
        gw, gh, gcolours, gplanes, gbits, gsize, image_id = struct.unpack_from("<BBBxHHIH", group, 6 + 14 * i)
        if (w, h, colours, planes, bits, size) != (gw, gh, gcolours, gplanes, gbits, gsize):
            fail(f"image {i}: the group entry differs from the icon file's")
        if res.get((RT_ICON, image_id)) != icon[offset:offset + size]:
            fail(f"image {i}: icon resource {image_id} does not hold the icon file's image")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        fail("usage: pe_icon.py <exe> <icon.ico> <group id>")
    sys.exit(main(sys.argv[1], sys.argv[2], int(sys.argv[3])))

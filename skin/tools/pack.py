#!/usr/bin/python3
"""Packs skin files into the program's skin package.

    pack.py OUTPUT.zip FILE...

Entries get flat names (the file's base name). Every entry is deflated except menu_bk.png,
which is stored: the menu reads it as it stands in the package. Time stamps are fixed so the
package, and the executable that embeds it, only change when a skin file changes.
"""
import os
import sys
import zipfile

STORED = {"menu_bk.png"}
FIXED_TIME = (2020, 1, 1, 0, 0, 0)


def main(argv):
    if len(argv) < 3:
        sys.stderr.write("usage: pack.py OUTPUT.zip FILE...\n")
        return 2
    out, files = argv[1], argv[2:]
    names = [os.path.basename(f) for f in files]
    dupes = sorted({n for n in names if names.count(n) > 1})
    if dupes:
        sys.stderr.write("pack.py: duplicate entry names: %s\n" % ", ".join(dupes))
        return 1
    tmp = out + ".tmp"
    with zipfile.ZipFile(tmp, "w") as z:
        for path, name in zip(files, names):
            info = zipfile.ZipInfo(name, FIXED_TIME)
            info.compress_type = zipfile.ZIP_STORED if name in STORED else zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            with open(path, "rb") as f:
                z.writestr(info, f.read(), compresslevel=9)
    os.replace(tmp, out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

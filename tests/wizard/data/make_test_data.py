#!/usr/bin/env python3
"""Writes a small setup description: BASE.exe.sum.bin, BASE.exe.info.txt, BASE.exe.eula.txt.

The checked-in files of this folder were made with the defaults; tests embed them as
resources of a test setup program. Run again only to change them."""
import argparse
import struct


def integer(value):
    return struct.pack("<I", value)


def string(text):
    data = text.encode("latin-1")
    return struct.pack("<i", len(data)) + data


def summary(product, info, eula, links, entries, supports=(1,) * 8, total=(0, 1048576)):
    out = integer(info) + integer(eula) + integer(total[0]) + integer(total[1])
    out += string(product) + string("C:\\Build\\" + product + " Setup.exe")
    out += b"".join(integer(flag) for flag in supports)
    for caption, url in links:
        out += string(caption) + string(url)
    out += integer(0x00FF8000) + integer(0x00400000)  # clrOut, clrIn
    out += integer(0) + integer(1) + integer(2)  # no background picture
    out += integer(0x12345678) + integer(0x9ABCDEF0)
    for name, ext, target, start_menu, desktop in entries:
        out += string(name) + string(ext) + string(target)
        out += integer(start_menu) + integer(desktop) + integer(0)
        out += string(name) + string(name + " description")
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("base", nargs="?", default="sample")
    parser.add_argument("--product", default="Sample Product")
    parser.add_argument("--no-info", action="store_true")
    parser.add_argument("--no-eula", action="store_true")
    args = parser.parse_args()
    links = [("Sample home page", "http://example.org/"), ("", ""), ("Support", "mailto:help@example.org")]
    entries = [
        ("Sample", "\\", "%DIR%", 0, 0),
        ("Sample", "exe", "%DIR%\\Sample.exe", 1, 1),
        ("ReadMe", "txt", "%DIR%\\ReadMe.txt", 1, 0),
        ("helper", "dll", "%SYSTEM%\\helper.dll", 0, 0),
    ]
    info, eula = not args.no_info, not args.no_eula
    with open(args.base + ".exe.sum.bin", "wb") as f:
        f.write(summary(args.product, int(info), int(eula), links, entries))
    if info:
        with open(args.base + ".exe.info.txt", "wb") as f:
            f.write(b"Sample Product does sample things.\nIt has two lines.\n")
    if eula:
        with open(args.base + ".exe.eula.txt", "wb") as f:
            f.write(b"LICENCE\r\nYou may use this sample freely.\r\n")


if __name__ == "__main__":
    main()

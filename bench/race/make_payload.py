#!/usr/bin/env python3
"""Makes one payload folder of the race and the inputs of its three sides.

    make_payload.py SIZE_MIB DIR  < bytes

Reads SIZE_MIB MiB of real bytes (programs, libraries, text) from standard input and cuts
them as a product would hold them: a quarter in 16 KiB files, 200 to a folder, the rest in
three large files. Each file begins with its own name, so that no two files are the same
(makensis stores identical files once, which would shrink its side of the race). Writes:

    DIR/payload/          the product's files
    DIR/manifest.toml     the Brisklay manifest taking the whole folder
    DIR/floor.list        the floor program's list of folders and files, in stream order
    DIR/floor.z           one zlib stream (level 9) of the files' bytes in that order
"""
import os
import sys
import zlib

SMALL_BYTES = 16 * 1024
PER_FOLDER = 200
LARGE_FILES = 3


def main():
    mib, folder = int(sys.argv[1]), sys.argv[2]
    total = mib * 1024 * 1024
    small = total // 4 // SMALL_BYTES
    large = (total - small * SMALL_BYTES) // LARGE_FILES
    source = sys.stdin.buffer
    payload = os.path.join(folder, "payload")
    os.makedirs(payload, exist_ok=True)
    deflater = zlib.compressobj(9)
    with open(os.path.join(folder, "floor.z"), "wb") as stream, \
            open(os.path.join(folder, "floor.list"), "w", newline="\r\n") as listing:

        def write_file(relative, size):
            head = ("%s\n" % relative).encode()
            content = head + source.read(size - len(head))
            if len(content) != size:
                sys.exit("make_payload.py: the byte source ran dry")
            with open(os.path.join(payload, *relative.split("\\")), "wb") as out:
                out.write(content)
            listing.write("F %d %s\n" % (size, relative))
            stream.write(deflater.compress(content))

        for index in range(small):
            name = "Folder%02d" % (index // PER_FOLDER)
            if index % PER_FOLDER == 0:
                os.makedirs(os.path.join(payload, name), exist_ok=True)
                listing.write("D %s\n" % name)
            write_file("%s\\File%03d.bin" % (name, index % PER_FOLDER), SMALL_BYTES)
        for index in range(LARGE_FILES):
            write_file("Large%d.bin" % index, large)
        stream.write(deflater.flush())
    with open(os.path.join(folder, "manifest.toml"), "w") as manifest:
        manifest.write('[product]\nname = "Race"\n\n[[files]]\nsource = "payload"\ntarget = "%DIR%"\n')


if __name__ == "__main__":
    main()

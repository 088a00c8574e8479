"""Writing a small RGBA picture as a PNG embedded in a C++ source file, for the
generators of the pictures the program carries (tools/make_*.py)."""
import os
import struct
import zlib


def png_bytes(width, height, pixel):
    """An 8-bit RGBA PNG; pixel(x, y) gives the (r, g, b, a) of each pixel."""
    rows = b""
    for y in range(height):
        rows += b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


def write_source(relative_path, comment, header, name, data):
    """Writes the bytes as `const unsigned char <name>[]` and its size `<name>Size`
    (with the array's "g_a" prefix turned into "g_u") into the file under the root."""
    lines = []
    for i in range(0, len(data), 16):
        lines.append("    " + ", ".join("0x%02X" % b for b in data[i:i + 16]) + ",")
    size_name = "g_u" + name[3:] + "Size"
    source = (
        "// " + comment + "\n"
        "// clang-format off\n"
        "#include \"" + header + "\"\n\n"
        "const unsigned char " + name + "[] = {\n" + "\n".join(lines) + "\n};\n\n"
        "const unsigned int " + size_name + " = sizeof(" + name + ");\n")
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    with open(os.path.join(root, relative_path), "w") as out:
        out.write(source)
    print("%d bytes" % len(data))

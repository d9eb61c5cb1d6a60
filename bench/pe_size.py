# Reads what a built executable is made of, with llvm-readobj: its sections
# (split into code, data and resources) and its resources, and, from a
# linker map, which inputs each section's bytes come from.
import re
import struct
import subprocess

PAYLOAD_TYPE, PAYLOAD_ID = "BINARY", 140


def sections(exe):
    """[{name, virtual, raw, code}] in file order."""
    text = subprocess.run(["llvm-readobj", "--sections", exe], capture_output=True, text=True,
                          check=True).stdout
    found = []
    for block in text.split("Section {")[1:]:
        name = re.search(r"Name: (\S+)", block).group(1)
        characteristics = int(re.search(r"Characteristics \[ \((0x[0-9A-Fa-f]+)\)", block).group(1), 16)
        found.append({
            "name": name,
            "virtual": int(re.search(r"VirtualSize: (0x[0-9A-Fa-f]+)", block).group(1), 16),
            "raw": int(re.search(r"RawDataSize: (\d+)", block).group(1)),
            # IMAGE_SCN_CNT_CODE or IMAGE_SCN_MEM_EXECUTE
            "code": bool(characteristics & 0x20000020),
        })
    return found


def resources(exe):
    """[(type, id, size)] as llvm-readobj lists them."""
    text = subprocess.run(["llvm-readobj", "--coff-resources", exe], capture_output=True, text=True,
                          check=True).stdout
    found = []
    kind = ident = None
    for line in text.splitlines():
        stripped = line.strip()
        match = re.match(r"Type: (.+?) \[$", stripped)
        if match:
            kind = match.group(1)
            number = re.search(r"\(ID (\d+)\)", kind)
            kind = {"2": "BITMAP", "3": "ICON", "5": "DIALOG", "14": "GROUP_ICON"}.get(
                number.group(1), kind) if number else kind
            continue
        match = re.match(r"Name: .*\(ID (\d+)\) \[$", stripped) or re.match(r"Name: (\S+) \[$", stripped)
        if match:
            ident = match.group(1)
            continue
        match = re.match(r"DataSize: (\d+)$", stripped)
        if match:
            found.append((kind, ident, int(match.group(1))))
    return found


def headers(exe):
    """The PE header fields the size and scale figures use."""
    with open(exe, "rb") as image:
        data = image.read(4096)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    characteristics = struct.unpack_from("<H", data, pe + 22)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    if magic == 0x10B:
        image_base = struct.unpack_from("<I", data, optional + 28)[0]
    else:
        image_base = struct.unpack_from("<Q", data, optional + 24)[0]
    return {
        "pe32plus": magic == 0x20B,
        "image_base": image_base,
        "size_of_image": struct.unpack_from("<I", data, optional + 56)[0],
        "size_of_headers": struct.unpack_from("<I", data, optional + 60)[0],
        "large_address_aware": bool(characteristics & 0x20),
        "dll_characteristics": struct.unpack_from("<H", data, optional + 70)[0],
    }


def map_contributions(map_file, wanted=(".text", ".rdata", ".eh_frame", ".data", ".idata")):
    """{section: {group: bytes}} from a GNU ld map: which inputs fill each
    output section, grouped into the program's own code, the import thunks
    and tables of system DLLs, and the C runtime and compiler support."""
    result = {name: {} for name in wanted}
    current = None
    pending = None
    with open(map_file, errors="replace") as lines:
        for line in lines:
            top = re.match(r"^(\.\S+)\s+0x[0-9a-f]+\s+0x[0-9a-f]+", line)
            if top:
                current = top.group(1) if top.group(1) in result else None
                pending = None
                continue
            if re.match(r"^\S", line):
                current = None
                continue
            if current is None:
                continue
            entry = re.match(r"^ (\.\S+|COMMON)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(.+)$", line)
            if not entry and pending:
                entry = re.match(r"^()\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(.+)$", line)
            if entry:
                pending = None
                size = int(entry.group(3), 16)
                group = input_group(entry.group(4).strip())
                result[current][group] = result[current].get(group, 0) + size
                continue
            pending = re.match(r"^ (\.\S+)\s*$", line)
    return result


SYSTEM_IMPORT_LIBRARIES = ("libkernel32.a", "libuser32.a", "libgdi32.a", "libshell32.a", "libole32.a",
                           "libcomdlg32.a", "libcomctl32.a", "libadvapi32.a", "libpsapi.a")


def input_group(path):
    if not path.startswith("/"):
        return "program"
    archive = path.rsplit("/", 1)[-1]
    if archive.startswith(SYSTEM_IMPORT_LIBRARIES) or "_defs" in archive:
        return "imports"
    return "runtime"


def bitmap_shape(bmp_file):
    """(width, height, bits per pixel, distinct colours, file bytes)."""
    with open(bmp_file, "rb") as picture:
        data = picture.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    colours = set()
    if bits == 24:
        row = (width * 3 + 3) // 4 * 4
        for y in range(abs(height)):
            line = data[offset + y * row: offset + y * row + width * 3]
            colours.update(line[i:i + 3] for i in range(0, width * 3, 3))
    return width, abs(height), bits, len(colours), len(data)


def palette_bitmap_bytes(width, height, colours):
    """Resource bytes of the same picture stored with a colour table: header,
    table of `colours` entries, and rows of 4 or 8 bits per pixel."""
    bits = 4 if colours <= 16 else 8
    row = (width * bits + 31) // 32 * 4
    return 40 + 4 * colours + row * height, bits

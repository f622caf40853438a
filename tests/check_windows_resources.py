#!/usr/bin/env python3
"""Reads the resources of a compiled Windows resource file (.res) or of a
Windows program (.exe) and checks the application manifest (asInvoker,
Windows 10 and 11, per-monitor DPI awareness version 2 else 1, the build's
version, and nothing else), the icon group (three images: 32x32 in 2 colours,
32x32 and 16x16 in 16 colours) and the version record (the version as text
and as numbers, and the copyright line, as the build's tavrik_version.h gives
them; product name Tavrik; Italian 0x0410 with code page 1200).
Usage: check_windows_resources.py tavrik.res|tavrik.exe BUILD/app/tavrik_version.h"""
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"


def align(n):
    return (n + 3) & ~3


def name_or_id(buf, off):
    if struct.unpack_from("<H", buf, off)[0] == 0xFFFF:
        return struct.unpack_from("<H", buf, off + 2)[0], off + 4
    end = off
    while struct.unpack_from("<H", buf, end)[0]:
        end += 2
    return buf[off:end].decode("utf-16-le"), end + 2


def resources(buf):
    off = 0
    while off < len(buf):
        data_size, header_size = struct.unpack_from("<II", buf, off)
        kind, pos = name_or_id(buf, off + 8)
        name, pos = name_or_id(buf, pos)
        language = struct.unpack_from("<H", buf, align(pos) + 6)[0]
        data = buf[off + header_size:off + header_size + data_size]
        if data_size:
            yield kind, name, language, data
        off = align(off + header_size + data_size)


def program_resources(buf):
    """The resources of a PE program: its .rsrc section's tree of type, name
    and language directories, whose leaves point at the data."""
    pe = struct.unpack_from("<I", buf, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", buf, pe + 6)
    table = pe + 24 + optional_size
    for i in range(sections):
        name, _, address, _, raw = struct.unpack_from("<8sIIII", buf, table + 40 * i)
        if name.rstrip(b"\0") == b".rsrc":
            break
    else:
        return

    def entries(off):
        named, numbered = struct.unpack_from("<HH", buf, raw + off + 12)
        for i in range(named + numbered):
            key, target = struct.unpack_from("<II", buf, raw + off + 16 + 8 * i)
            if key & 0x80000000:  # a name, counted UTF-16
                at = raw + (key & 0x7FFFFFFF)
                length = struct.unpack_from("<H", buf, at)[0]
                key = buf[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            yield key, target

    for kind, names in entries(0):
        for name, languages in entries(names & 0x7FFFFFFF):
            for language, leaf in entries(languages & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", buf, raw + leaf)
                yield kind, name, language, buf[raw + rva - address:raw + rva - address + size]


def version_block(buf, off=0):
    """(key, value, children) of one VS_VERSIONINFO-style block."""
    length, value_length, kind = struct.unpack_from("<HHH", buf, off)
    end = off + length
    key_end = off + 6
    while struct.unpack_from("<H", buf, key_end)[0]:
        key_end += 2
    key = buf[off + 6:key_end].decode("utf-16-le")
    pos = align(key_end + 2)
    size = value_length * 2 if kind == 1 else value_length
    value = buf[pos:pos + size]
    if kind == 1:
        value = value.decode("utf-16-le").rstrip("\0")
    pos = align(pos + size)
    children = []
    while pos < end:
        child = version_block(buf, pos)
        children.append(child[:3])
        pos = align(child[3])
    return key, value, children, end


def build_version(header):
    """The version text, its four numbers and the copyright line the build made."""
    defines = dict(re.findall(r"^#define (TAVRIK_\w+) (.+)$", open(header).read(), re.M))
    numbers = tuple(int(n) for n in defines["TAVRIK_VERSION_NUMBERS"].split(","))
    return defines["TAVRIK_VERSION_TEXT"].strip('"'), numbers, defines["TAVRIK_COPYRIGHT"].strip('"')


def manifest_settings(data):
    """Every value the manifest gives, an attribute's or an element's text, as
    (path, value), each element of the path named {namespace}tag."""
    def walk(element, path):
        here = f"{path}/{element.tag}"
        for key, value in element.attrib.items():
            yield f"{here}@{key}", value
        if (element.text or "").strip():
            yield here, element.text.strip()
        for child in element:
            yield from walk(child, here)

    return sorted(walk(ElementTree.fromstring(data), ""))


def main(path, header):
    text, numbers, copyright_line = build_version(header)
    buf = open(path, "rb").read()
    found = list(program_resources(buf) if buf[:2] == b"MZ" else resources(buf))
    failures = []

    def expect(what, actual, wanted):
        if actual != wanted:
            failures.append(f"{what}: {actual!r}, expected {wanted!r}")

    manifests = [(name, language, data) for kind, name, language, data in found if kind == RT_MANIFEST]
    expect("manifests (id, language)", [m[:2] for m in manifests], [(1, 0)])
    if manifests:
        asm = "/{urn:schemas-microsoft-com:asm.v1}assembly"
        v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
        level = f"{asm}/{v3}trustInfo/{v3}security/{v3}requestedPrivileges/{v3}requestedExecutionLevel"
        compat = "{urn:schemas-microsoft-com:compatibility.v1}"
        settings = f"{asm}/{v3}application/{v3}windowsSettings/{{http://schemas.microsoft.com/SMI"
        actual = manifest_settings(manifests[0][2])
        wanted = sorted([
            (f"{asm}@manifestVersion", "1.0"),
            (f"{asm}/{v1}assemblyIdentity@type", "win32"),
            (f"{asm}/{v1}assemblyIdentity@name", "Tavrik"),
            (f"{asm}/{v1}assemblyIdentity@version", ".".join(map(str, numbers))),
            (f"{level}@level", "asInvoker"),
            (f"{level}@uiAccess", "false"),
            (f"{asm}/{compat}compatibility/{compat}application/{compat}supportedOS@Id", WINDOWS_10_AND_11),
            (f"{settings}/2005/WindowsSettings}}dpiAware", "true/pm"),
            (f"{settings}/2016/WindowsSettings}}dpiAwareness", "PerMonitorV2, PerMonitor"),
        ])
        expect("manifest settings not wanted", [v for v in actual if v not in wanted], [])
        expect("manifest settings missing", [v for v in wanted if v not in actual], [])

    icons = {name: data for kind, name, _, data in found if kind == RT_ICON}
    groups = [data for kind, _, _, data in found if kind == RT_GROUP_ICON]
    expect("icon groups", len(groups), 1)
    entries = []
    if groups:
        _, kind, count = struct.unpack_from("<HHH", groups[0])
        expect("icon group type", kind, 1)
        for i in range(count):
            width, height, colours, _, _, bits, _, icon_id = struct.unpack_from(
                "<BBBBHHIH", groups[0], 6 + 14 * i)
            # The image itself must say the same as its entry in the group.
            _, dib_width, dib_height, _, dib_bits = struct.unpack_from("<IiiHH", icons[icon_id])
            expect(f"icon {icon_id} image", (dib_width, dib_height // 2, dib_bits), (width, height, bits))
            entries.append((width, height, colours, bits))
    expect("icon images (width, height, colours, bits)", sorted(entries),
           sorted([(32, 32, 2, 1), (32, 32, 16, 4), (16, 16, 16, 4)]))

    versions = [(language, data) for kind, _, language, data in found if kind == RT_VERSION]
    expect("version records", len(versions), 1)
    if versions:
        language, data = versions[0]
        expect("version resource language", language, 0x0410)
        key, fixed, children, _ = version_block(data)
        expect("version key", key, "VS_VERSION_INFO")
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
        expect("fixed signature", hex(signature), hex(0xFEEF04BD))
        expect("file version", (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF), numbers)
        expect("product version", (product_ms >> 16, product_ms & 0xFFFF, product_ls >> 16, product_ls & 0xFFFF), numbers)
        blocks = {k: c for k, _, c in children}
        tables = {k: dict((sk, sv) for sk, sv, _ in c) for k, _, c in blocks.get("StringFileInfo", [])}
        expect("string tables", list(tables), ["041004b0"])
        strings = tables.get("041004b0", {})
        expect("FileVersion", strings.get("FileVersion"), text)
        expect("ProductVersion", strings.get("ProductVersion"), text)
        expect("ProductName", strings.get("ProductName"), "Tavrik")
        expect("LegalCopyright", strings.get("LegalCopyright"), copyright_line)
        translation = {k: v for k, v, _ in blocks.get("VarFileInfo", [])}.get("Translation", b"")
        expect("Translation", struct.unpack("<HH", translation) if len(translation) == 4 else translation,
               (0x0410, 1200))

    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print(f"PASS: {path}: manifest (asInvoker, Windows 10 and 11, per-monitor DPI v2), "
              f"icon group {sorted(entries)}, version {text}, Tavrik, {copyright_line!r}, 0x0410/1200")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))

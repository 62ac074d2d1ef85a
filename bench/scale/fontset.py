#!/usr/bin/env python3
"""Builds a private fontconfig set of N font files for the scale benchmark and prints its config file's path.

The set holds the machine's installed font files first, then as many renamed copies of its small sfnt files
as N needs. Each copy gets a family of its own ("Q00042 Noto Sans Tamil"): the name records that carry the
family, full, unique and PostScript names are rewritten in a new name table appended to the file; nothing
else of the font changes. The tag leads every name, so the names keep the relations real fonts have between
them (a full name is a family name and a style; a legacy family "X Condensed" beside a typographic family "X"):
a tag after the family would leave full names that no family explains, which real fonts rarely have. Copies and fontconfig's caches are kept under the cache folder between runs, so a
set is built once.

usage: fontset.py CACHE_DIR N
"""

import os
import struct
import subprocess
import sys

SOURCE_LIMIT = 120_000  # bytes: the copies' sources are the small files, to keep 30,000 files near 1.5 GB
CHUNK = 1000            # files a folder
# Configuration files of the system that add font or cache folders of their own, or the user's.
SKIPPED_CONF = {"50-user.conf", "51-local.conf", "65-fonts-texgyre.conf"}

FAMILY_IDS = {1, 16, 21}
FULL_ID = 4
PREFIXED_IDS = {3, 6}


def installed_files():
    env = dict(os.environ)
    env.pop("FONTCONFIG_FILE", None)
    out = subprocess.run(["fc-list", "--format", "%{file}\n"], env=env, check=True, capture_output=True).stdout
    return sorted({line for line in out.decode("utf-8", "surrogateescape").splitlines() if line})


def sfnt_tables(data):
    if len(data) < 12 or data[:4] not in (b"\x00\x01\x00\x00", b"OTTO", b"true"):
        return None
    count = struct.unpack_from(">H", data, 4)[0]
    if 12 + 16 * count > len(data):
        return None
    tables = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack_from(">4sIII", data, 12 + 16 * i)
        if offset + length > len(data):
            return None
        tables[tag] = (12 + 16 * i, offset, length)
    return tables


def decode(platform, encoding, raw):
    if platform in (0, 3):
        return raw.decode("utf-16-be", "replace") if len(raw) % 2 == 0 else None
    if platform == 1 and encoding == 0:
        return raw.decode("mac_roman")
    return None


def encode(platform, text):
    return text.encode("utf-16-be") if platform in (0, 3) else text.encode("mac_roman", "replace")


def read_names(data, offset, length):
    fmt, count, strings = struct.unpack_from(">HHH", data, offset)
    if 6 + 12 * count > length:
        return None
    records = []
    for i in range(count):
        platform, encoding, language, name_id, size, at = struct.unpack_from(">HHHHHH", data, offset + 6 + 12 * i)
        start = offset + strings + at
        if start + size > offset + length:
            continue
        records.append([platform, encoding, language, name_id, data[start:start + size]])
    return records


def renamed(records, tag):
    """The records with `tag` before each family, full and unique name and the PostScript name. Family and
    full names in encodings this cannot rewrite are dropped."""
    out = []
    for platform, encoding, language, name_id, raw in records:
        if name_id not in FAMILY_IDS and name_id != FULL_ID and name_id not in PREFIXED_IDS:
            out.append((platform, encoding, language, name_id, raw))
            continue
        text = decode(platform, encoding, raw)
        if text is None:
            if name_id in FAMILY_IDS or name_id == FULL_ID:
                continue
            out.append((platform, encoding, language, name_id, raw))
            continue
        text = (tag + text)[:63] if name_id == 6 else f"{tag} {text}"
        out.append((platform, encoding, language, name_id, encode(platform, text)))
    out.sort(key=lambda r: r[:4])
    return out


def name_table(records):
    strings = bytearray()
    head = bytearray(struct.pack(">HHH", 0, len(records), 6 + 12 * len(records)))
    for platform, encoding, language, name_id, raw in records:
        head += struct.pack(">HHHHHH", platform, encoding, language, name_id, len(raw), len(strings))
        strings += raw
    return bytes(head + strings)


def checksum(table):
    padded = table + b"\0" * (-len(table) % 4)
    return sum(struct.unpack(f">{len(padded) // 4}I", padded)) & 0xFFFFFFFF


def make_copy(source, tag):
    """The bytes of `source` with its names tagged, or None when it is no single sfnt font with a name table."""
    with open(source, "rb") as f:
        data = bytearray(f.read())
    tables = sfnt_tables(data)
    if not tables or b"name" not in tables:
        return None
    entry, offset, length = tables[b"name"]
    try:
        records = read_names(data, offset, length)
    except struct.error:
        return None
    if not records:
        return None
    table = name_table(renamed(records, tag))
    data += b"\0" * (-len(data) % 4)
    struct.pack_into(">III", data, entry + 4, checksum(table), len(data), len(table))
    return bytes(data + table + b"\0" * (-len(table) % 4))


def copy_sources(installed):
    sources = []
    for path in installed:
        if not path.lower().endswith((".ttf", ".otf")):
            continue
        try:
            if os.path.getsize(path) > SOURCE_LIMIT:
                continue
            with open(path, "rb") as f:
                head = f.read(4)
        except OSError:
            continue
        if head in (b"\x00\x01\x00\x00", b"OTTO", b"true"):
            sources.append(path)
    return sources


def ensure_copies(cache, sources, count):
    """Paths of copies 0 .. count-1, made where missing. A source that cannot be renamed is passed over."""
    paths = []
    k = 0
    skipped = set()
    while len(paths) < count:
        if len(skipped) == len(sources):
            sys.exit("fontset: no installed font file can be copied under a new name")
        source = sources[k % len(sources)]
        k += 1
        if source in skipped:
            continue
        n = len(paths)
        folder = os.path.join(cache, "copies-tag-first", f"{n // CHUNK:03d}")
        path = os.path.join(folder, f"q{n:05d}-{os.path.basename(source)}")
        if not os.path.exists(path):
            data = make_copy(source, f"Q{n:05d}")
            if data is None:
                skipped.add(source)
                continue
            os.makedirs(folder, exist_ok=True)
            with open(path + ".part", "wb") as f:
                f.write(data)
            os.replace(path + ".part", path)
        paths.append(path)
    return paths


def write_set(cache, n, files):
    folder = os.path.join(cache, "sets", str(n))
    config = os.path.join(folder, "fonts.conf")
    listing = os.path.join(folder, "files.txt")
    wanted = "\n".join(files) + "\n"
    if os.path.exists(config) and os.path.exists(listing) and open(listing).read() == wanted:
        return config
    links = os.path.join(folder, "files")
    if os.path.isdir(links):
        subprocess.run(["rm", "-rf", links], check=True)
    for i, path in enumerate(files):
        sub = os.path.join(links, f"{i // CHUNK:03d}")
        os.makedirs(sub, exist_ok=True)
        # The index keeps two installed files of one name apart.
        os.symlink(path, os.path.join(sub, f"{i:05d}-{os.path.basename(path)}"))
    includes = "".join(
        f'  <include ignore_missing="yes">/etc/fonts/conf.d/{name}</include>\n'
        for name in sorted(os.listdir("/etc/fonts/conf.d"))
        if name.endswith(".conf") and name not in SKIPPED_CONF)
    with open(config, "w") as f:
        f.write('<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">\n<fontconfig>\n'
                f"  <dir>{links}</dir>\n  <cachedir>{os.path.join(cache, 'fc-cache')}</cachedir>\n"
                f"{includes}</fontconfig>\n")
    with open(listing, "w") as f:
        f.write(wanted)
    return config


def main():
    if len(sys.argv) != 3 or not sys.argv[2].isdigit() or int(sys.argv[2]) < 1:
        sys.exit("usage: fontset.py CACHE_DIR N")
    cache, n = os.path.abspath(sys.argv[1]), int(sys.argv[2])
    installed = installed_files()
    files = installed[:n]
    if n > len(files):
        files += ensure_copies(cache, copy_sources(installed), n - len(files))
    config = write_set(cache, n, files)
    # Quick when the caches are current; otherwise the first measured start would pay for the scan.
    subprocess.run(["fc-cache"], env=dict(os.environ, FONTCONFIG_FILE=config), check=True, stdout=subprocess.DEVNULL)
    print(config)


if __name__ == "__main__":
    main()

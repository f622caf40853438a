#!/usr/bin/env python3
"""Writes ZIP holding the files of FOLDER under FOLDER's own name: entries in
name order, each dated TIME (UTC, "YYYY-MM-DD HH:MM:SS") with mode 0644, so
that neither the file system, the umask nor the time zone changes a byte.
Usage: zip.py ZIP FOLDER TIME"""
import os
import sys
import time
import zipfile

zip_path, folder, stamp = sys.argv[1:]
date = time.strptime(stamp, "%Y-%m-%d %H:%M:%S")[:6]
with zipfile.ZipFile(zip_path + ".part", "w") as archive:
    for name in sorted(os.listdir(folder)):
        entry = zipfile.ZipInfo(f"{os.path.basename(folder)}/{name}", date)
        entry.external_attr = 0o644 << 16
        with open(os.path.join(folder, name), "rb") as f:
            archive.writestr(entry, f.read(), zipfile.ZIP_DEFLATED, 9)
os.replace(zip_path + ".part", zip_path)

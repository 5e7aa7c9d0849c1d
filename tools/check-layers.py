#!/usr/bin/env python3
"""Checks that the program's folders depend downward only.

Each folder has a level; a source file may include headers of its own folder and of folders on
lower levels only (a prefixed include such as "document/QuorvaCaptureDoc.h" names the folder).
It also checks that a folder's CMake targets link the folders it includes, so that no folder
leans on a library it never names. Prints every offence and exits 1 when there is one.

  check-layers.py [source-root]
"""
import os
import re
import sys

# Lower levels first. imagelib's subfolders are named by their own prefixes.
LEVELS = {
    "framework": 0, "hook": 0, "resources": 0,
    "imagelib": 1, "decode": 1, "encode": 1, "filters": 1, "win": 1,
    "common": 2,
    "document": 3,
    "capture": 4,
    "ui": 5,
    "app": 6,
}
# The folders whose files are checked, and the libraries that stand for an included folder in
# their CMake files (none for framework/: the image library uses only its header-only handle
# holders).
CHECKED = ["framework", "imagelib", "common", "document", "capture", "ui", "app"]
LIBRARIES = {
    "common": ["lumatre_common"],
    "document": ["document_win", "document_core"],
    "capture": ["lumatre_capture", "capture_outputs"],
    "app": ["lumatre_app"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z]+)/[^"]+"', re.M)


def folder_of(prefix):
    return "imagelib" if prefix in ("decode", "encode", "filters", "win") else prefix


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    offences = []
    for top in CHECKED:
        used = set()
        for base, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(base, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for prefix in INCLUDE.findall(text):
                    if prefix not in LEVELS:
                        continue
                    target = folder_of(prefix)
                    if target == top:
                        continue
                    used.add(target)
                    if LEVELS[prefix] >= LEVELS[top]:
                        offences.append(f"{os.path.relpath(path, root)}: includes {prefix}/ (not below {top}/)")
        cmake_text = ""
        for base, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                if name == "CMakeLists.txt" or name.endswith(".cmake"):
                    with open(os.path.join(base, name), encoding="utf-8") as f:
                        cmake_text += f.read()
        for target in sorted(used):
            names = LIBRARIES.get(target)
            if names and not any(re.search(r"\b" + n + r"\b", cmake_text) for n in names):
                offences.append(f"{top}/: includes {target}/ but its CMake files link none of {', '.join(names)}")
    for line in offences:
        print(line)
    print(f"{len(offences)} offence(s)")
    return 1 if offences else 0


if __name__ == "__main__":
    sys.exit(main())

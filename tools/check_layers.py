#!/usr/bin/env python3
"""Checks that every source file includes only headers of the layers it may use.

    platform (interfaces) <- settings, protocol
    <- service (what every capability shares, a remote's command in meanings)
    <- browser (its proofs and seals, its messages' decoding),
    input, activity, presence, launch, autostart <- access (also activity),
    media (also input, launch), help (also access, activity)
    <- browser_remote (also browser, access: never input, media or activity) <- shell

An include is read in either form, "layer/file.h" or <layer/file.h>.

An include may not climb out of its folder with "..", and no two folders hold a
header of the same name.

platform/win32 and platform/posix implement the interfaces; only programs
(program entries, companions, tools, tests, benchmarks, fuzzers) include them.
Prints each offending file and include, and exits 1 when there is one.

    tools/check_layers.py [ROOT]     check the tree at ROOT (default: the repo)
    tools/check_layers.py --self-test
"""
import pathlib
import re
import sys
import tempfile

LAYERED = ["platform", "settings", "protocol", "browser", "service", "input", "activity", "access", "presence",
           "help", "launch", "media", "browser_remote", "autostart", "session", "shell"]
REAL_PLATFORMS = ["platform/win32", "platform/posix"]

# What each folder may include, besides itself.
ALLOWED = {
    "platform": {"platform"},
    "platform/win32": {"platform"},
    "platform/posix": {"platform"},
    "settings": {"platform", "settings"},
    "protocol": {"platform", "protocol"},
    "browser": {"platform", "protocol", "service", "browser"},
    "service": {"platform", "protocol", "service"},
    "input": {"platform", "protocol", "service", "input"},
    "activity": {"platform", "protocol", "service", "activity"},
    "access": {"platform", "settings", "protocol", "service", "activity", "access"},
    "presence": {"platform", "settings", "protocol", "service", "presence"},
    "help": {"platform", "protocol", "service", "access", "activity", "help"},
    "launch": {"platform", "settings", "protocol", "service", "launch"},
    "media": {"platform", "settings", "protocol", "service", "input", "launch", "media"},
    "browser_remote": {"platform", "settings", "protocol", "service", "access", "browser",
                       "browser_remote"},
    "autostart": {"platform", "settings", "service", "autostart"},
    "session": {"platform", "protocol", "service", "session"},
    "shell": {"platform", "settings", "protocol", "service", "input", "activity", "access",
              "presence", "help", "launch", "media", "browser", "browser_remote", "autostart",
              "session", "shell"},
    "companions": {"platform", "input", "settings", "media", "launch", "companions",
                   *REAL_PLATFORMS},
    "tools": {"platform", "protocol", "tools", *REAL_PLATFORMS},
    # The build's writer of the page's remotes, from the host's tables.
    "tools/page_tables": {"platform", "protocol", "media", "launch", "browser", "tools"},
}
# Outside the layers: they may include anything.
FREE = ["tests", "bench", "fuzz"]
# Program entries inside a layer: the one place the real platform is chosen.
PROGRAM_ENTRIES = {"shell/entry_win32.cpp"}

INCLUDE = re.compile(r'^\s*#\s*include\s+(?:"([^"]+)"|<([^>]+)>)')
SOURCES = (".cpp", ".h", ".hpp")


def folder_of(relative):
    """The most specific rule folder a path belongs to, or None."""
    text = relative.as_posix()
    for folder in sorted(ALLOWED, key=len, reverse=True):
        if text.startswith(folder + "/"):
            return folder
    return None


def target_folder(include):
    for folder in REAL_PLATFORMS:
        if include.startswith(folder + "/"):
            return folder
    head = include.split("/", 1)[0]
    return head if head in LAYERED + ["companions", "tools"] + FREE else None


def violations(root):
    found = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in SOURCES or not path.is_file():
            continue
        relative = path.relative_to(root)
        if relative.parts[0] in FREE or relative.parts[0] == "build":
            continue
        folder = folder_of(relative)
        if folder is None:
            continue
        allowed = set(ALLOWED[folder]) | {folder}
        if relative.as_posix() in PROGRAM_ENTRIES:
            allowed |= set(REAL_PLATFORMS)
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            quoted = match.group(1) is not None
            name = match.group(1) if quoted else match.group(2)
            # A system header may climb; only the project's own may not.
            if quoted and ".." in pathlib.PurePosixPath(name).parts:
                found.append(f"{relative}:{number}: includes \"{name}\" "
                             "(an include names its folder from the root, never with ..)")
                continue
            target = target_folder(name)
            if target is None or target in allowed:
                continue
            found.append(f"{relative}:{number}: includes \"{name}\" "
                         f"({folder}/ may use {', '.join(sorted(allowed))})")
    return found


def shared_header_names(root):
    """Headers of the same name in two folders: an include of one reads as the other."""
    places = {}
    for path in sorted(root.rglob("*.h")):
        relative = path.relative_to(root)
        if relative.parts[0] in FREE or relative.parts[0] == "build" or folder_of(relative) is None:
            continue
        places.setdefault(path.name, []).append(relative.as_posix())
    return [f"{' and '.join(paths)}: two headers named {name}"
            for name, paths in places.items() if len(paths) > 1]


def check(root):
    found = violations(root) + shared_header_names(root)
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} problem(s) break the layering", file=sys.stderr)
        return 1
    print(f"layering holds under {root}")
    return 0


def self_test():
    """A planted violation of each kind must be found, and a clean tree pass."""
    planted = {
        "launch/page_launcher.cpp": '#include "shell/form1.h"\n',
        "input/input_sender.cpp": '#include "access/nearby_rule.h"\n',
        "input/text_and_pointer.cpp": '#include "../shell/form1.h"\n',
        "help/firewall_check.cpp": '#include "help/../access/nearby_rule.h"\n',
        "platform/win32/win32_application.cpp": '#include "shell/program_entry.h"\n',
        "protocol/udp_server.cpp": '#include "platform/win32/win32_sockets.h"\n',
        "media/key_map.cpp": '#include "presence/server_socket.h"\n',
        "presence/server_socket.cpp": '#include "access/nearby_rule.h"\n',
        "access/allow_list.cpp": '#include "shell/form1.h"\n',
        "settings/ini_file.cpp": '#include "launch/path_store.h"\n',
        "input/input_target.cpp": '#include <shell/form1.h>\n',
        "browser_remote/browser_service.cpp": '#include "input/input_service.h"\n',
        "autostart/autostart_service.cpp": '#include <access/nearby_rule.h>\n',
    }
    clean = {
        "shell/form1.cpp": '#include "launch/page_launcher.h"\n#include "protocol/udp_server.h"\n',
        "shell/entry_win32.cpp": '#include "platform/win32/win32_system.h"\n',
        "launch/page_launcher.cpp": '#include "settings/ini_file.h"\n#include <cstdio>\n',
        "media/key_map.cpp": '#include "launch/app_tables.h"\n#include "input/input_sender.h"\n',
        "companions/open/main.cpp": '#include "platform/win32/win32_registry.h"\n',
        "tests/unit/x.cpp": '#include "shell/form1.h"\n',
    }
    with tempfile.TemporaryDirectory() as directory:
        root = pathlib.Path(directory)
        for name, text in clean.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text)
        if violations(root) or shared_header_names(root):
            print("self-test: a clean tree was reported:",
                  violations(root) + shared_header_names(root))
            return 1
        for name, text in planted.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text)
        found = violations(root)
        missed = [name for name in planted if not any(line.startswith(name + ":") for line in found)]
        if missed or len(found) != len(planted):
            print("self-test: planted violations missed:", missed, "reported:", found)
            return 1
        for name in ("platform/sockets.h", "presence/sockets.h"):
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text("#pragma once\n")
        if len(shared_header_names(root)) != 1:
            print("self-test: two headers named sockets.h were not reported")
            return 1
    print("self-test: every planted violation was found")
    return 0


def main(arguments):
    if arguments[:1] == ["--self-test"]:
        return self_test()
    root = pathlib.Path(arguments[0]) if arguments else pathlib.Path(__file__).resolve().parents[1]
    return check(root)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

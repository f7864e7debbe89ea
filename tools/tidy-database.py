#!/usr/bin/env python3
"""Writes a compilation database clang-tidy can read from one CMake made.

    tidy-database.py <build folder> <output folder> [<skip list>]

clang knows no code page 936 execution character set (the programs' narrow
literals), and does not find MinGW's C++ library by itself; GCC's own
headers it finds. Only the project's own C++ sources are kept, and
a file already in the skip list (the Windows build's database) is left
out, so each file is checked once."""
import json
import pathlib
import sys

MINGW_CXX = "/usr/lib/gcc/i686-w64-mingw32/12-posix/include/c++"


def main():
    build, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    root = pathlib.Path(__file__).resolve().parent.parent
    skip = set()
    if len(sys.argv) > 3:
        skip = {entry["file"] for entry in json.loads(pathlib.Path(sys.argv[3]).read_text())}
    entries = []
    for entry in json.loads((build / "compile_commands.json").read_text()):
        # The project's own C++ sources; not GoogleTest, not generated files.
        source = pathlib.Path(entry["file"])
        if (entry["file"] in skip or source.suffix != ".cpp" or root not in source.parents
                or (root / "build") in source.parents):
            continue
        compiler, rest = entry["command"].replace("-fexec-charset=GB18030", "").split(" ", 1)
        if "mingw32" in compiler:
            extra = [f"--target=i686-w64-mingw32"] + [
                f"-isystem {MINGW_CXX}{sub}" for sub in ("", "/i686-w64-mingw32", "/backward")]
            rest = " ".join(extra) + " " + rest
        entries.append({**entry, "command": f"{compiler} {rest}"})
    output.mkdir(parents=True, exist_ok=True)
    (output / "compile_commands.json").write_text(json.dumps(entries, indent=1))
    print(f"{len(entries)} files to check from {build}")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""A small mutation check: breaks chosen conditions in src/ one at a time and
sees whether the tests notice. Run by hand, not in CI; it needs a configured
build folder (Release is enough) and a clean src/.

    scripts/mutate.py [--build build] [--timeout 300] [--only NAME...]

Each mutation is applied, the test programs it names are rebuilt with ninja
and run through ctest (so they get the same environment as in the suite),
and the file is put back byte for byte, also after Ctrl-C or an error.
A Markdown table of the results goes to standard output."""

import argparse
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# name, file, exact text found once, its replacement, test programs.
# Chosen where a silent fault would hurt users: the code page, the text form
# of the file, the atomic save, the statistics, the search and the export.
MUTATIONS = [
    ("attribute quote not replaced", "src/storage/smr_TextEdge.cpp",
     "if (ch == u'\"')\n        ch = u'\\u201D';", "if (ch == u'\\'')\n        ch = u'\\u201D';",
     ["test_storage"]),
    ("element text line end LF only", "src/storage/smr_TextEdge.cpp",
     'out += "\\r\\n";', 'out += "\\n";', ["test_storage"]),
    ("UTF-8 sequence at the end dropped", "src/storage/smr_Cp1251.cpp",
     "bool ok = i + len <= utf8.size();", "bool ok = i + len < utf8.size();",
     ["test_codec", "test_storage"]),
    ("first backup named .bak1", "src/xml/xml_functions.cpp",
     "(n == 1 ? std::string() : std::to_string(n))",
     "(n == 0 ? std::string() : std::to_string(n))", ["test_xml"]),
    ("hard-linked file replaced by rename", "src/xml/xml_functions.cpp",
     "target.Shared ? -1 :", "false ? -1 :", ["test_xml"]),
    ("read error taken as end of file", "src/xml/xml_functions.cpp",
     "read = n == 0;", "read = true;", ["test_xml"]),
    ("replaced file loses its mode", "src/xml/xml_fileSystem_posix.cpp",
     "  ::fchmod(fd, old.st_mode & 07777);", "  ;", ["test_xml"]),
    ("failed fsync ignored", "src/xml/xml_fileSystem_posix.cpp",
     "if (::fsync(Fd(file)) != 0) error = errno;", "if (::fsync(Fd(file)) != 0) error = 0;",
     ["test_xml"]),
    ("temporaries of live processes removed", "src/xml/xml_fileSystem_posix.cpp",
     "if (pid != ::getpid() && ProcessIsGone(pid))", "if (pid != ::getpid())", ["test_xml"]),
    ("other version with other bytes overwritten", "src/xml/xml_mainUnit.cpp",
     "return !ReadWholeFile(fileName, bytes) || HashOf(bytes) != FDiskTextHash;",
     "return !ReadWholeFile(fileName, bytes);", ["test_xml"]),
    ("backup made meanwhile overwritten", "src/xml/xml_mainUnit.cpp",
     "if (FileExists(FBackupName)) FBackupName = FreeBackupName(fileName);", ";",
     ["test_xml"]),
    ("empty element line ends LF CR", "src/xml/xml_mainUnit.cpp",
     'Put(p, " />\\r\\n");', 'Put(p, " />\\n\\r");', ["test_xml"]),
    ("catalogue average of a one-night journal 0", "src/graphs/smr_Statistics.cpp",
     "d > 0 ? locale.General(double(e) / d)", "d > 1 ? locale.General(double(e) / d)",
     ["test_graphs"]),
    ("night of one experience has average 0", "src/graphs/smr_Statistics.cpp",
     "if (!computed.Energies.empty()) computed.Average",
     "if (computed.Energies.size() > 1) computed.Average", ["test_graphs"]),
    ("date filter start exclusive", "src/search/smr_SearchIndex.cpp",
     "record.Date < filter.DateFrom", "record.Date <= filter.DateFrom", ["test_search"]),
    ("phrase matches the start of a word", "src/search/smr_SearchIndex.cpp",
     "if (!IsWordByte(static_cast<unsigned char>(base[end]))) return p;", "return p;",
     ["test_search"]),
    ("text title padded once too often", "src/export/smr_TXTExporter.cpp",
     "if (Length(title) + 2 * k + 2 < 80)", "if (Length(title) + 2 * k + 2 <= 80)",
     ["test_export"]),
]


def run(command, timeout, **kwargs):
    """Runs a command in its own process group, killed whole on a timeout."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               text=True, errors="replace", start_new_session=True, **kwargs)
    try:
        output, _ = process.communicate(timeout=timeout)
        return process.returncode, output
    except BaseException:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass  # it ended on its own meanwhile
        process.communicate()
        raise


def build(build_dir, targets, timeout):
    return run(["ninja", "-C", str(build_dir), "-j2"] + targets, timeout)


def run_tests(build_dir, programs, timeout):
    """The names of the failed programs and of their failed tests."""
    failed = []
    for program in programs:
        try:
            code, output = run(["ctest", "--test-dir", str(build_dir), "-R", f"^{program}$",
                                "--timeout", str(timeout), "--output-on-failure"],
                               timeout + 60)
        except subprocess.TimeoutExpired:
            failed.append(f"{program} (timed out)")
            continue
        if code == 0:
            continue
        names = sorted(set(re.findall(r"^\[  FAILED  \] ([A-Za-z_][\w/]*\.[\w/.]+)", output, re.M)))
        if "Timeout" in output and not names:
            failed.append(f"{program} (timed out)")
        elif names:
            more = f" +{len(names) - 2}" if len(names) > 2 else ""
            failed.append(f"{program}: {', '.join(names[:2])}{more}")
        else:
            failed.append(f"{program} (crashed or no test ran)")
    return failed


def src_is_clean():
    code, output = run(["git", "-C", str(ROOT), "status", "--porcelain", "--", "src"], 60)
    return code == 0 and output.strip() == ""


def check(mutations):
    """Every text must occur exactly once in its file."""
    for name, file, find, _, _ in mutations:
        count = (ROOT / file).read_text(encoding="utf-8").count(find)
        if count != 1:
            sys.exit(f"mutation '{name}': the text occurs {count} times in {file}")


def interrupted(*_):
    # A SIGTERM restores the file as Ctrl-C does.
    raise KeyboardInterrupt


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build", help="configured build folder (default: build)")
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test program")
    parser.add_argument("--only", nargs="*", help="run only the mutations whose name contains one of these")
    args = parser.parse_args()
    build_dir = (ROOT / args.build) if not os.path.isabs(args.build) else Path(args.build)
    os.environ["QT_QPA_PLATFORM"] = "offscreen"
    signal.signal(signal.SIGTERM, interrupted)

    mutations = [m for m in MUTATIONS if not args.only or any(o in m[0] for o in args.only)]
    check(mutations)
    if not src_is_clean():
        sys.exit("src/ has changes; commit or stash them first")

    programs = sorted({p for m in mutations for p in m[4]})
    code, output = build(build_dir, programs, 3600)
    if code != 0:
        sys.exit("the unchanged sources do not build:\n" + output[-3000:])
    failed = run_tests(build_dir, programs, args.timeout)
    if failed:
        sys.exit("the unchanged sources fail: " + "; ".join(failed))

    rows = []
    interrupted_at = None
    try:
        for index, (name, file, find, replace, tests) in enumerate(mutations, 1):
            path = ROOT / file
            original = path.read_bytes()
            started = time.monotonic()
            try:
                path.write_bytes(original.replace(find.encode(), replace.encode(), 1))
                code, output = build(build_dir, tests, 3600)
                if code != 0:
                    errors = re.findall(r"error: (.*)", output)
                    result, by = "CAUGHT", "build: " + (errors[0][:80] if errors else "failed")
                else:
                    failed = run_tests(build_dir, tests, args.timeout)
                    result, by = ("CAUGHT", "; ".join(failed)) if failed else ("SURVIVED", "")
            finally:
                path.write_bytes(original)
            rows.append((name, file, result, by))
            print(f"[{index}/{len(mutations)}] {result} {name} ({time.monotonic() - started:.0f} s)",
                  file=sys.stderr, flush=True)
    except KeyboardInterrupt:
        interrupted_at = len(rows) + 1
        print(f"interrupted at mutation {interrupted_at}; its file is restored", file=sys.stderr)
    finally:
        # The test programs are left built from the unchanged sources.
        build(build_dir, programs, 3600)
        if not src_is_clean():
            print("src/ is NOT clean after the run: check git diff", file=sys.stderr)
            sys.exit(2)

    print("| Mutation | File | Result | Caught by |")
    print("|---|---|---|---|")
    for name, file, result, by in rows:
        print(f"| {name} | {file.removeprefix('src/')} | {result} | {by.replace('|', '/')} |")
    survived = sum(1 for row in rows if row[2] == "SURVIVED")
    print(f"\n{len(rows) - survived} of {len(rows)} caught, {survived} survived.")
    if interrupted_at:
        print(f"Interrupted: {len(mutations) - len(rows)} of {len(mutations)} not run.")
        sys.exit(130)


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit("interrupted" + ("" if src_is_clean() else "; src/ is NOT clean: check git diff"))

#!/usr/bin/env python3
"""Whole processes side by side on the same generated files: velmora-cli
against a plain C loop of renameat2(RENAME_NOREPLACE) (built here from
rename_loop.c), mmv, cp -p, find | sort -f, and a C writer of ID3v1 tags
(tag_loop.c). Every round runs each
contender once, in turn, on freshly made files in one temporary folder; the
figures printed are the medians of the per-round ratios, and the largest
resident size of a rename and its journal.

    bench/compare_cli.py [--velmora build-release/bin/velmora-cli] [--quick]
                         [--only rename,dryrun,undo,copy,search,memory,tag]

Where mmv is not installed its column is left out, and the reason printed.
"""
import argparse
import glob
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def make_empty_files(folder, count, stem="file"):
    os.makedirs(folder, exist_ok=True)
    for i in range(count):
        os.close(os.open(os.path.join(folder, "%s%05d.txt" % (stem, i)),
                         os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644))


def make_files(folder, count, size):
    os.makedirs(folder, exist_ok=True)
    data = os.urandom(size)
    for i in range(count):
        with open(os.path.join(folder, "file%05d.bin" % i), "wb") as f:
            f.write(data)


def make_big_file(folder, size):
    os.makedirs(folder, exist_ok=True)
    block = os.urandom(1 << 20)
    with open(os.path.join(folder, "file-big.bin"), "wb") as f:
        for _ in range(size >> 20):
            f.write(block)


def make_mp3_files(folder, count):
    """count files "Artist N - Title N.mp3" of ten MPEG frames and an ID3v1 tag."""
    os.makedirs(folder, exist_ok=True)
    frame = b"\xff\xfb\x90\x00" + b"\x55" * 413
    old_tag = b"TAG" + b"Alter Titel".ljust(30, b"\0") + b"\0" * 94 + b"\xff"
    for i in range(count):
        with open(os.path.join(folder, "Artist %04d - Title %04d.mp3" % (i, i)), "wb") as f:
            f.write(frame * 10 + old_tag)


def make_tree(folder, per_folder, scale=1):
    """5,000 folders (50 / 9 / 10 deep) of per_folder files each, one in
    five of them "*.mp3" or "*.MP3"; scale < 1 keeps fewer top folders."""
    kinds = [".mp3", ".txt", ".jpg", ".wav", ".png", ".MP3", ".txt", ".jpg", ".wav", ".doc"]
    folders = []
    for t in range(max(1, int(50 * scale))):
        top = os.path.join(folder, "Sammlung %02d" % t)
        folders.append(top)
        for m in range(9):
            middle = os.path.join(top, "Album %d" % m)
            folders.append(middle)
            folders.extend(os.path.join(middle, "CD %d" % b) for b in range(10))
    for n, path in enumerate(folders):
        os.makedirs(path, exist_ok=True)
        for i in range(per_folder):
            with open(os.path.join(path, "Titel %05d-%02d%s" % (n, i, kinds[i % len(kinds)])), "wb"):
                pass
    return len(folders)


# Processor seconds (user and system) of every contender run, by name: on a
# shared machine a process waits for the processor far longer than it uses
# it, and these ratios show the work apart from that wait.
CPU = {}


def timed(argv, env=None, cwd=None, name=None):
    """Seconds one whole process takes, output thrown away; its processor
    seconds go to CPU[name]."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    result = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            env=env, cwd=cwd, shell=isinstance(argv, str))
    seconds = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if result.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (result.returncode, argv, result.stderr.decode()[:2000]))
    if name is not None:
        CPU.setdefault(name, []).append(after.ru_utime + after.ru_stime - before.ru_utime
                                        - before.ru_stime)
    return seconds


def sync():
    os.sync()


class Bench:
    def __init__(self, work, velmora, rounds):
        self.work = work
        self.rounds = rounds
        # A copy beside the files: the log file goes to the program's folder.
        bindir = os.path.join(work, "bin")
        os.makedirs(bindir)
        self.velmora = os.path.join(bindir, "velmora-cli")
        shutil.copy2(velmora, self.velmora)
        self.loop = os.path.join(bindir, "rename_loop")
        cc = os.environ.get("CC", "cc")
        subprocess.run([cc, "-O2", "-o", self.loop, os.path.join(HERE, "rename_loop.c")],
                       check=True)
        self.tag_loop = os.path.join(bindir, "tag_loop")
        subprocess.run([cc, "-O2", "-o", self.tag_loop, os.path.join(HERE, "tag_loop.c")],
                       check=True)
        self.state = os.path.join(work, "state")
        self.env = dict(os.environ, XDG_STATE_HOME=self.state, LC_ALL="C.UTF-8")
        self.data = os.path.join(work, "data")

    def reset(self):
        shutil.rmtree(self.data, ignore_errors=True)
        shutil.rmtree(self.state, ignore_errors=True)
        log = os.path.join(os.path.dirname(self.velmora), "LogFile.Log")
        if os.path.exists(log):
            os.unlink(log)

    def rounds_of(self, contenders, prepare, done, own=None):
        """Per contender the list of its times, contenders taking turns and
        starting one later each round; done() tells whether the work was all
        done. own maps a contender's name to its own (prepare, done)."""
        own = own or {}
        times = {name: [] for name, _ in contenders}
        for r in range(self.rounds):
            order = contenders[r % len(contenders):] + contenders[:r % len(contenders)]
            for name, argv in order:
                its_prepare, its_done = own.get(name, (prepare, done))
                self.reset()
                its_prepare()
                sync()
                times[name].append(timed(argv, env=self.env, name=name))
                if not its_done():
                    sys.exit("%s did not do the whole job" % name)
        return times

    def rename_job(self, old="file", new="song"):
        return [self.velmora, "rename", "--slot1", "replace", "--src1", old, "--dst1", new,
                "--yes-all"]

    def named(self, stem, count):
        return lambda: sum(1 for n in os.listdir(self.data) if n.startswith(stem)) == count

    def dry_run(self, count):
        """--dry-run --yes-all of the rename's folder: search, sort, plan
        and the printed plan, nothing renamed, no journal."""
        contenders = [
            ("c loop", [self.loop, self.data, "file", "song"]),
            ("velmora --dry-run", self.rename_job() + ["--dry-run", self.data]),
        ]
        own = {"velmora --dry-run": (lambda: make_empty_files(self.data, count),
                                     self.named("file", count))}
        return self.rounds_of(contenders, lambda: make_empty_files(self.data, count),
                              self.named("song", count), own)

    def undo(self, count):
        """undo --last of a rename with the default journal, against that
        rename itself (made untimed before each undo)."""
        contenders = [
            ("c loop", [self.loop, self.data, "file", "song"]),
            ("velmora", self.rename_job() + [self.data]),
            ("velmora undo", [self.velmora, "undo", "--last", "--yes-all"]),
        ]

        def renamed():
            make_empty_files(self.data, count)
            subprocess.run(self.rename_job() + [self.data], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, env=self.env, check=True)

        own = {"velmora undo": (renamed, self.named("file", count))}
        return self.rounds_of(contenders, lambda: make_empty_files(self.data, count),
                              self.named("song", count), own)

    def rename(self, count, has_mmv=True):
        folder = self.data
        journal = os.path.join(self.work, "run.journal")
        job = [self.velmora, "rename", "--slot1", "replace", "--src1", "file", "--dst1", "song",
               "--yes-all"]
        contenders = [
            ("c loop", [self.loop, folder, "file", "song"]),
            ("mmv", ["mmv", "-r", os.path.join(folder, "file*"), "song#1"]),
            ("velmora", job + [folder]),
            ("velmora --journal", job + ["--journal", journal, folder]),
            ("velmora --log", job + ["--log", folder]),
            ("velmora full journal", job + ["--journal", self.full_journal(count), folder]),
            ("velmora no journal", ["env", "VELMORA_BENCH_NO_JOURNAL=1"] + job + [folder]),
        ]
        if not has_mmv:
            contenders = [c for c in contenders if c[0] != "mmv"]

        def prepare():
            for path in glob.glob(journal + "*"):
                os.unlink(path)
            for path in glob.glob(self.full_journal(count) + "*"):
                os.unlink(path)
            for path in glob.glob(os.path.join(self.work, "template", "*")):
                shutil.copy2(path, os.path.join(self.work, os.path.basename(path)))
            make_empty_files(folder, count)

        def done():
            return sum(1 for n in os.listdir(folder) if n.startswith("song")) == count

        return self.rounds_of(contenders, prepare, done)

    def full_journal(self, count):
        """A journal already holding two runs of count renames each, made
        once as a template that each round copies: the second run's case."""
        path = os.path.join(self.work, "full.journal")
        template = os.path.join(self.work, "template")
        if not os.path.isdir(template):
            os.makedirs(template)
            folder = os.path.join(self.work, "fill")
            make_empty_files(folder, count)
            for src, dst in (("file", "song"), ("song", "file")):
                subprocess.run([self.velmora, "rename", "--slot1", "replace", "--src1", src,
                                "--dst1", dst, "--yes-all", "--journal",
                                os.path.join(template, "full.journal"), folder],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=self.env,
                               check=True)
            shutil.rmtree(folder)
        return path

    def copy(self, count, size):
        """velmora copy against cp -p -r of the same folder."""
        source = os.path.join(self.data, "src")
        dest = os.path.join(self.data, "dest")
        contenders = [
            ("cp -p", ["cp", "-p", "-r", os.path.join(source, "."), dest]),
            ("velmora copy", [self.velmora, "copy", "--slot1", "replace", "--src1", "file",
                              "--dst1", "kopie", "--dest", dest, "--yes-all", source]),
        ]

        def prepare():
            if count == 1:
                make_big_file(source, size)
            else:
                make_files(source, count, size)
            os.makedirs(dest)

        def done():
            return len(os.listdir(dest)) == count

        return self.rounds_of(contenders, prepare, done)

    def search(self, scale):
        tree = os.path.join(self.work, "tree")
        folders = make_tree(tree, 20, scale)
        contenders = [
            ("find | sort -f", "find %s -type f -iname '*.mp3' | sort -f" % tree),
            ("velmora search", [self.velmora, "search", "--subdirs", "--pattern", "*.mp3", tree]),
        ]
        times = {name: [] for name, _ in contenders}
        for r in range(self.rounds):
            for name, argv in (contenders if r % 2 == 0 else contenders[::-1]):
                times[name].append(timed(argv, env=self.env, name=name))
        shutil.rmtree(tree)
        return times, folders

    def tag(self, count):
        """ID3v1 tags into count MP3 files: velmora with its default journal
        against the C writer; and the files the journal leaves in the state
        folder after one run."""
        folder = self.data
        job = [self.velmora, "tag", "--separator", " - ", "--artist", "1", "--title", "2",
               "--id3v2", "never", "--pattern", "*.mp3", folder]
        contenders = [("c writer", [self.tag_loop, folder]), ("velmora tag", job)]
        times = self.rounds_of(contenders, lambda: make_mp3_files(folder, count), lambda: True)
        self.reset()
        make_mp3_files(folder, count)
        subprocess.run(job, stdout=subprocess.DEVNULL, env=self.env, check=True)
        state_files = sum(len(names) for _, _, names in os.walk(self.state))
        return times, state_files

    def max_rss_kib(self, count):
        """Largest resident size of a rename of count files with a journal."""
        self.reset()
        make_empty_files(self.data, count)
        journal = os.path.join(self.work, "rss.journal")
        result = subprocess.run(
            ["/usr/bin/time", "-f", "%M", self.velmora, "rename", "--slot1", "replace", "--src1",
             "file", "--dst1", "song", "--yes-all", "--journal", journal, self.data],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=self.env, check=True)
        return int(result.stderr.decode().strip().splitlines()[-1])


def ratio(times, name, base):
    """Median of the per-round ratios name / base."""
    return statistics.median(a / b for a, b in zip(times[name], times[base]))


def report(title, times, pairs):
    """Wall-clock medians and ratios, and beside them the same of processor
    seconds; the processor figures are cleared for the next part."""
    cpu = {name: CPU.get(name, []) for name in times}
    CPU.clear()
    print(title)
    for name, values in times.items():
        print("  %-20s median %.3f s, processor %.3f s" % (name, statistics.median(values),
                                                          statistics.median(cpu[name])))
    for name, base in pairs:
        if name in times and base in times:
            print("  %-20s / %-16s %.2fx (processor %.2fx)" % (name, base, ratio(times, name, base),
                                                              ratio(cpu, name, base)))
    sys.stdout.flush()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--velmora", default=os.path.join(ROOT, "build-release", "bin",
                                                          "velmora-cli"))
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--files", type=int, default=32767)
    parser.add_argument("--quick", action="store_true", help="small sizes, three rounds")
    parser.add_argument("--only", default="rename,dryrun,undo,copy,search,memory,tag",
                        help="comma-separated parts to run")
    args = parser.parse_args()
    parts = args.only.split(",")
    files, rounds = args.files, args.rounds
    copies, big_mib, scale = 10000, 512, 1
    if args.quick:
        files, rounds, copies, big_mib, scale = 2000, 3, 1000, 32, 0.1
    has_mmv = shutil.which("mmv") is not None
    if not has_mmv:
        print("mmv column left out: mmv is not installed (Debian package mmv)")

    # The same file system for every contender: one temporary folder.
    work = tempfile.mkdtemp(prefix="velmora-compare-")
    try:
        bench = Bench(work, os.path.abspath(args.velmora), rounds)
        print("%d rounds in %s, medians of the per-round ratios" % (rounds, work))
        if "rename" in parts:
            times = bench.rename(files, has_mmv)
            report("rename of %d files in one folder (velmora: with its journal)" % files, times,
                   [("velmora", "c loop"), ("velmora", "mmv"), ("velmora --journal", "c loop"),
                    ("velmora --journal", "mmv"), ("velmora --log", "velmora"),
                    ("velmora full journal", "c loop"), ("velmora full journal", "mmv"),
                    ("velmora no journal", "c loop"), ("velmora no journal", "velmora")])
        if "dryrun" in parts:
            times = bench.dry_run(files)
            report("--dry-run --yes-all of the rename of %d files" % files, times,
                   [("velmora --dry-run", "c loop")])
        if "undo" in parts:
            times = bench.undo(files)
            report("undo --last of the rename of %d files (default journal)" % files, times,
                   [("velmora undo", "velmora"), ("velmora", "c loop"),
                    ("velmora undo", "c loop")])
        if "copy" in parts:
            times = bench.copy(copies, 4096)
            report("copy of %d files of 4 KiB (velmora: with its journal)" % copies, times,
                   [("velmora copy", "cp -p")])
            times = bench.copy(1, big_mib << 20)
            report("copy of one file of %d MiB" % big_mib, times, [("velmora copy", "cp -p")])
        if "search" in parts:
            times, folders = bench.search(scale)
            report("search of %d files in %d folders" % (folders * 20, folders), times,
                   [("velmora search", "find | sort -f")])
        if "tag" in parts:
            tags = 100 if args.quick else 1000
            times, state_files = bench.tag(tags)
            report("ID3v1 tags into %d MP3 files (velmora: with its journal)" % tags, times,
                   [("velmora tag", "c writer")])
            print("  files in the state folder after one tag run: %d" % state_files)
        if "memory" in parts:
            print("max resident size, rename of %d files with --journal: %d KiB"
                  % (files, bench.max_rss_kib(files)))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

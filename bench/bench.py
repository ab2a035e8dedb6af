#!/usr/bin/env python3
"""Speed and memory of jpeg2swf against cat, djpeg and ffmpeg on generated
pictures, and its memory and time on crafted and large pictures.

    python3 bench/bench.py [BUILD_DIR]          everything
    python3 bench/bench.py [BUILD_DIR] bounds    only the crafted pictures

Builds nothing: run scripts/build.sh first. The pictures are generated into a
temporary folder (or $BENCH_DATA, kept between runs) and never committed.
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
only_bounds = sys.argv[2:] == ["bounds"]
jpeg2swf = os.path.join(build, "jpeg2swf")
make_pictures = os.path.join(build, "bench", "make_pictures")
make_hostile = os.path.join(build, "bench", "make_hostile")
data = os.environ.get("BENCH_DATA") or tempfile.mkdtemp(prefix="jpeg2swf-bench-")
out = tempfile.mkdtemp(prefix="jpeg2swf-bench-out-")


def pictures(kind, count):
    folder = os.path.join(data, kind)
    if not os.path.isdir(folder) or len(os.listdir(folder)) < count:
        os.makedirs(folder, exist_ok=True)
        subprocess.run([make_pictures, folder, kind, str(count)], check=True)
    return sorted(os.path.join(folder, f) for f in os.listdir(folder))[:count]


def measure(command, stdout=None):
    """Wall time in seconds and peak resident memory (MiB) of one command."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=stdout, stderr=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    return seconds, max(peak, before) / 1024


def best(command, runs=3, **kwargs):
    """Best of a few runs, each started with nothing left to write back."""
    times = []
    for _ in range(runs):
        os.sync()
        times.append(measure(command, **kwargs)[0])
    return min(times)


def peak_memory(command):
    """Peak memory of a command run in a fresh child, so earlier runs don't count."""
    code = ("import resource,subprocess,sys;subprocess.run(sys.argv[1:],check=True,"
            "stderr=subprocess.DEVNULL);print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    kib = int(subprocess.run([sys.executable, "-c", code] + command, check=True,
                             capture_output=True, text=True).stdout)
    return kib / 1024


def run_once(command):
    """Exit status, wall time and processor time in seconds, peak resident
    memory (MiB) and the first line of standard error of one run, measured by
    GNU time (a fresh process, so nothing of this one counts)."""
    report = os.path.join(out, "time.txt")
    done = subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M", "-o", report] + command,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    with open(report) as f:
        wall, user, system, kib = f.read().split()[-4:]
    return done.returncode, float(wall), float(user) + float(system), int(kib) / 1024, done.stderr.split("\n")[0]


# The converter's preparation budget (MiB), as the README states it.
PREPARATION_MIB = 512
PROGRAM_MIB = 32


def memory_bound(largest_file_mib, jobs):
    """The README's bound: the shared budget, the pictures in flight (one per
    worker and the one being written) and the program itself."""
    return PREPARATION_MIB + (jobs + 1) * largest_file_mib + PROGRAM_MIB


def bounds():
    folder = os.path.join(data, "hostile")
    if not os.path.isdir(folder):
        os.makedirs(folder)
        subprocess.run([make_hostile, folder], check=True)
    names = sorted(os.listdir(folder))
    runs = [([n], []) for n in names]
    runs += [(["flat-14000x14000.png"] * 2, []), (["flat-14000x14000.png"], ["-m", "0"]),
             (["progressive-20000x20000.jpg"], ["-m", "0"]), (["arithmetic-30000x30000.jpg"], ["-m", "0"])]
    jobs = os.cpu_count()
    largest = max(os.path.getsize(os.path.join(folder, n)) for n in names) / 2**20
    bound = memory_bound(largest, jobs)
    print(f"\nbounds: crafted and large pictures, one run each (bound {bound:.0f} MiB: {PREPARATION_MIB} MiB "
          f"+ {jobs + 1} x {largest:.1f} MiB file + {PROGRAM_MIB} MiB)")
    worst = 0
    for pictures, options in runs:
        paths = [os.path.join(folder, n) for n in pictures]
        status, seconds, cpu, peak, error = run_once([jpeg2swf, "-r", "1", "-o", os.path.join(out, "bounds.swf")]
                                                + options + paths)
        worst = max(worst, peak)
        size = os.path.getsize(paths[0]) / 1024
        label = " ".join(options + [("2 x " if len(pictures) > 1 else "") + pictures[0]])
        outcome = "converted" if status == 0 else error.split(": ", 2)[-1]
        print(f"  {label:40s} {size:6.1f} KiB {seconds:6.2f} s {cpu:6.2f} s cpu {peak:6.1f} MiB  {outcome}")
    print(f"  largest peak {worst:.1f} MiB: {'within' if worst <= bound else 'OVER'} the bound")


def list_file(paths, output, name):
    path = os.path.join(out, name)
    with open(path, "w") as f:
        f.write("\n".join(["-r", "1", "-o", output, "--"] + paths) + "\n")
    return "@" + path


def ffmpeg_inputs(paths):
    listing = os.path.join(out, "ffmpeg-list.txt")
    with open(listing, "w") as f:
        for p in paths:
            f.write(f"file '{p}'\nduration 1\n")
    return ["-f", "concat", "-safe", "0", "-i", listing]


def main():
    print(f"pictures in {data}")
    if only_bounds:
        bounds()
        shutil.rmtree(out)
        return

    same = pictures("passthrough", 200)
    total = sum(os.path.getsize(p) for p in same) / 2**20
    swf = os.path.join(out, "pass.swf")
    cores = os.cpu_count() or 1
    # jpeg2swf syncs its output before renaming it; so does this cat.
    cat_sync = ["sh", "-c", 'cat "$@" > "$0" && sync "$0"', os.path.join(out, "cat.out")] + same
    # Every picture embedded as it is gets its data decoded at 1/8 scale, on
    # every core: the same work as djpeg on the same files, one per core.
    djpeg = ["sh", "-c", 'printf "%s\\0" "$@" | xargs -0 -n 1 -P "$0" djpeg -scale 1/8 -outfile /dev/null',
             str(cores)] + same
    ours = [jpeg2swf, list_file(same, swf, "pass.txt")]
    # Side by side: the three take turns, and each keeps its best time.
    times = {"cat+sync": [], "djpeg": [], "jpeg2swf": []}
    for _ in range(5):
        for name, command in (("cat+sync", cat_sync), ("djpeg", djpeg), ("jpeg2swf", ours)):
            os.sync()
            times[name].append(measure(command)[0])
    cat_sync, floor, ours = (min(times[name]) for name in ("cat+sync", "djpeg", "jpeg2swf"))
    ffmpeg = best(["ffmpeg", "-y", "-v", "error"] + ffmpeg_inputs(same) +
                  ["-c:v", "copy", "-f", "swf", os.path.join(out, "ffmpeg-pass.swf")])
    bound = max(cat_sync, floor)
    print(f"\npass-through: 200 pictures 1920x1080, {total:.0f} MiB")
    print(f"  cat+sync           {cat_sync:6.2f} s")
    print(f"  djpeg -scale 1/8   {floor:6.2f} s  (one per core, {cores} cores)")
    print(f"  jpeg2swf           {ours:6.2f} s  ({ours / bound:.2f} x the larger; target <= 1.2)")
    print(f"  ffmpeg             {ffmpeg:6.2f} s  (-c:v copy, nothing decoded)")

    photos = pictures("photos", 50)
    ours = best([jpeg2swf, list_file(photos, os.path.join(out, "photos.swf"), "photos.txt")], runs=2)
    ffmpeg = best(["ffmpeg", "-y", "-v", "error"] + ffmpeg_inputs(photos) +
                  ["-vf", "scale=1440:1080:flags=area", "-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p",
                   "-f", "swf", os.path.join(out, "ffmpeg-photos.swf")], runs=2)
    print("\ndownscaling: 50 photos 4000x3000 into 1920x1080")
    print(f"  jpeg2swf {ours:6.2f} s  (quality 90)")
    print(f"  ffmpeg   {ffmpeg:6.2f} s  (scale + mjpeg -q:v 3)")

    few = photos[:20]
    many = few * 100
    largest = max(os.path.getsize(p) for p in few) / 2**20
    small = peak_memory([jpeg2swf, list_file(few, os.path.join(out, "few.swf"), "few.txt")])
    large = peak_memory([jpeg2swf, list_file(many, os.path.join(out, "many.swf"), "many.txt")])
    print("\npeak memory (12-megapixel photos, re-encoded)")
    print(f"  20 pictures    {small:6.1f} MiB")
    print(f"  2000 pictures  {large:6.1f} MiB")
    jobs = os.cpu_count()
    print(f"  bound          {memory_bound(largest, jobs):6.1f} MiB  ({PREPARATION_MIB} MiB + {jobs + 1} x "
          f"{largest:.1f} MiB file + {PROGRAM_MIB} MiB)")

    bounds()

    shutil.rmtree(out)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""vexlor-cli and Pillow side by side on the same jobs, measured in one run.

Usage: bench/bench_pictures.py [--build BUILD_DIR] [--work DIR] [--repeat N]

1. A 48-megapixel JPEG photo fitted into 128x64 and dithered (Floyd-Steinberg):
   vexlor-cli against Pillow's fastest path (draft, then thumbnail), both as
   whole processes and, for Pillow, the decoding alone inside this process.
   Peak memory (maximum resident set) of each process; vexlor-cli must stay
   under 200 MB and take no more CPU time than the Pillow process.
2. to-bin of 64 PNG pictures of 128x64 against a Pillow script that reads
   every pixel; vexlor-cli must be at least 10 times faster.

The pictures are generated with ImageMagick in --work (kept there, so that a
second run reuses them). Times are the best of N runs, interleaved, wall clock and CPU time (user + system) apart: on a shared
machine the targets are judged on CPU time. Needs GNU time for the memory.
Exit status 1 when a target is missed.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

from PIL import Image

WIDTH, HEIGHT = 128, 64
PHOTO_SIZE = (8000, 6000)
MEMORY_LIMIT_MB = 200
PNG_SPEED_RATIO = 10

PILLOW_FIT = r"""
import sys
from PIL import Image

def fit(path):
    picture = Image.open(path)
    picture.draft("RGB", (%(w)d, %(h)d))
    picture.thumbnail((%(w)d, %(h)d))
    canvas = Image.new("RGB", (%(w)d, %(h)d), "white")
    canvas.paste(picture, ((%(w)d - picture.width) // 2, (%(h)d - picture.height) // 2))
    return canvas.convert("1").tobytes()

if __name__ == "__main__":
    with open(sys.argv[2], "wb") as out:
        out.write(fit(sys.argv[1]))
""" % {"w": WIDTH, "h": HEIGHT}

# The same conversion as vexlor-cli's default, one pixel at a time.
PILLOW_PER_PIXEL = r"""
import sys
from PIL import Image

out = bytearray()
for path in sys.argv[2:]:
    picture = Image.open(path).convert("RGB")
    image = bytearray(1024)
    for page in range(8):
        for x in range(128):
            byte = 0
            for bit in range(8):
                r, g, b = picture.getpixel((x, page * 8 + bit))
                if (11 * r + 16 * g + 5 * b) // 32 < 40:
                    byte |= 1 << bit
            half, column = divmod(x, 64)
            image[half * 512 + page * 64 + column] = byte
    out += image
with open(sys.argv[1], "wb") as f:
    f.write(out)
"""


def run(command):
    """Wall and CPU (user + system) seconds and peak resident memory in MB of one
    process. GNU time measures the memory: a child forked from this script
    would count this script's own pages as well."""
    with tempfile.NamedTemporaryFile(mode="r") as report:
        start = time.perf_counter()
        process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", report.name] + command,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(process.pid, 0)
        elapsed = time.perf_counter() - start
        error = process.stderr.read().decode(errors="replace")
        process.stderr.close()
        process.returncode = os.waitstatus_to_exitcode(status)
        if process.returncode != 0:
            sys.exit("failed (%d): %s\n%s" % (process.returncode, " ".join(command), error))
        memory = int(report.read().split()[-1]) / 1024.0
    return elapsed, usage.ru_utime + usage.ru_stime, memory


def best(jobs, repeat):
    """Runs every job `repeat` times, interleaved: best wall and CPU times, peak memory."""
    results = {name: (float("inf"), float("inf"), 0.0) for name in jobs}
    for _ in range(repeat):
        for name, job in jobs.items():
            wall, cpu, memory = job()
            old = results[name]
            results[name] = (min(old[0], wall), min(old[1], cpu), max(old[2], memory))
    return results


def show(results):
    print("  %-48s %9s %9s %9s" % ("", "wall", "CPU", "memory"))
    for name, (wall, cpu, memory) in results.items():
        shown = "%6.1f MB" % memory if memory else ""
        print("  %-48s %6.0f ms %6.0f ms %9s" % (name, wall * 1e3, cpu * 1e3, shown))


def make_pictures(work):
    photo = os.path.join(work, "photo-48mp.jpg")
    if not os.path.exists(photo):
        print("generating a %dx%d JPEG photo..." % PHOTO_SIZE, flush=True)
        subprocess.run(["convert", "-seed", "1", "-size", "1000x750", "plasma:fractal",
                        "-resize", "%dx%d!" % PHOTO_SIZE, "-attenuate", "0.3",
                        "+noise", "Gaussian", "-quality", "92", photo], check=True)
    pngs = [os.path.join(work, "p%02d.png" % i) for i in range(64)]
    if not all(os.path.exists(p) for p in pngs):
        pattern = os.path.join(work, "pattern.png")
        subprocess.run(["convert", "-seed", "2", "-size", "%dx%d" % (WIDTH, HEIGHT),
                        "plasma:fractal", "-depth", "8", pattern], check=True)
        for i, path in enumerate(pngs):
            subprocess.run(["convert", pattern, "-roll", "+%d+%d" % (i, 2 * i), path],
                           check=True)
    return photo, pngs


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--build", default=os.path.join(top, "build"))
    parser.add_argument("--work", default=None)
    parser.add_argument("--repeat", type=int, default=5)
    options = parser.parse_args()
    cli = os.path.join(options.build, "cli", "vexlor-cli")
    if not os.access(cli, os.X_OK):
        sys.exit("%s is missing: build the vexlor-cli target first" % cli)
    work = options.work or tempfile.mkdtemp(prefix="vexlor-bench-")
    os.makedirs(work, exist_ok=True)
    photo, pngs = make_pictures(work)
    out = os.path.join(work, "out.bin")
    fit_script = os.path.join(work, "pillow_fit.py")
    per_pixel_script = os.path.join(work, "pillow_per_pixel.py")
    with open(fit_script, "w") as f:
        f.write(PILLOW_FIT)
    with open(per_pixel_script, "w") as f:
        f.write(PILLOW_PER_PIXEL)

    namespace = {}
    exec(compile(PILLOW_FIT, fit_script, "exec"), namespace)

    def pillow_in_process():
        start, cpu = time.perf_counter(), time.process_time()
        namespace["fit"](photo)
        return time.perf_counter() - start, time.process_time() - cpu, 0.0

    python = sys.executable
    photo_jobs = {
        "vexlor-cli to-bin --fit --dither floyd-steinberg": lambda: run(
            [cli, "to-bin", "--fit", "--dither", "floyd-steinberg", photo, "-o", out]),
        "Pillow draft+thumbnail, process": lambda: run([python, fit_script, photo, out]),
        "Pillow draft+thumbnail, in this process": pillow_in_process,
    }
    png_jobs = {
        "vexlor-cli to-bin (64 PNG)": lambda: run([cli, "to-bin"] + pngs + ["-o", out]),
        "Pillow per-pixel script (64 PNG)": lambda: run([python, per_pixel_script, out] + pngs),
    }

    # The machine may be shared: wall time then counts waiting for a processor,
    # so the targets are judged on CPU time, the cost of the job itself.
    missed = []
    print("\n48-megapixel JPEG (%dx%d, %.1f MB) into %dx%d, dithered, best of %d:"
          % (PHOTO_SIZE + (os.path.getsize(photo) / 1e6, WIDTH, HEIGHT, options.repeat)))
    results = best(photo_jobs, options.repeat)
    show(results)
    _, cli_cpu, cli_memory = results["vexlor-cli to-bin --fit --dither floyd-steinberg"]
    if cli_memory >= MEMORY_LIMIT_MB:
        missed.append("vexlor-cli took %.1f MB, not under %d" % (cli_memory, MEMORY_LIMIT_MB))
    if cli_cpu > results["Pillow draft+thumbnail, process"][1]:
        missed.append("vexlor-cli takes more CPU time than the Pillow process")

    print("\nto-bin of 64 PNG pictures of %dx%d, best of %d:" % (WIDTH, HEIGHT, options.repeat))
    results = best(png_jobs, options.repeat)
    show(results)
    ratio = results["Pillow per-pixel script (64 PNG)"][1] / results["vexlor-cli to-bin (64 PNG)"][1]
    wall_ratio = (results["Pillow per-pixel script (64 PNG)"][0]
                  / results["vexlor-cli to-bin (64 PNG)"][0])
    print("  vexlor-cli is %.0f times faster in CPU time, %.0f times in wall time"
          % (ratio, wall_ratio))
    if ratio < PNG_SPEED_RATIO:
        missed.append("vexlor-cli only %.1f times faster on 64 PNG" % ratio)

    for message in missed:
        print("MISSED: " + message)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())

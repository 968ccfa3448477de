#!/usr/bin/python3
"""vexlor-cli and Pillow side by side on the same jobs, measured in one run.

Usage: bench/bench_pictures.py [--build BUILD_DIR] [--work DIR] [--repeat N]

1. A 48-megapixel JPEG photo fitted into 128x64 and dithered (Floyd-Steinberg):
   vexlor-cli against Pillow's fastest path (draft, then thumbnail), both as
   whole processes and, for Pillow, the decoding alone inside this process.
   Peak memory (maximum resident set) of each process; vexlor-cli must stay
   under 200 MB.
2. to-bin of 64 PNG pictures of 128x64 against a Pillow script that reads
   every pixel; vexlor-cli must be at least 10 times faster.

The pictures are generated with ImageMagick in --work (kept there, so that a
second run reuses them). Times are the best of N runs, interleaved.
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
    """Wall time in seconds and peak resident memory in MB of one process."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    error = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (process.returncode, " ".join(command), error))
    return elapsed, usage.ru_maxrss / 1024.0


def best(jobs, repeat):
    """Runs every job `repeat` times, interleaved; best time and peak memory of each."""
    results = {name: (float("inf"), 0.0) for name in jobs}
    for _ in range(repeat):
        for name, job in jobs.items():
            seconds, memory = job()
            results[name] = (min(results[name][0], seconds), max(results[name][1], memory))
    return results


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
        start = time.perf_counter()
        namespace["fit"](photo)
        return time.perf_counter() - start, 0.0

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

    missed = []
    print("\n48-megapixel JPEG (%dx%d, %.1f MB) into %dx%d, dithered, best of %d:"
          % (PHOTO_SIZE + (os.path.getsize(photo) / 1e6, WIDTH, HEIGHT, options.repeat)))
    results = best(photo_jobs, options.repeat)
    for name, (seconds, memory) in results.items():
        shown = "%7.1f MB" % memory if memory else "          "
        print("  %-50s %8.1f ms %s" % (name, seconds * 1e3, shown))
    cli_time, cli_memory = results["vexlor-cli to-bin --fit --dither floyd-steinberg"]
    if cli_memory >= MEMORY_LIMIT_MB:
        missed.append("vexlor-cli took %.1f MB, not under %d" % (cli_memory, MEMORY_LIMIT_MB))
    if cli_time > results["Pillow draft+thumbnail, process"][0]:
        missed.append("vexlor-cli is slower than the Pillow process")

    print("\nto-bin of 64 PNG pictures of %dx%d, best of %d:" % (WIDTH, HEIGHT, options.repeat))
    results = best(png_jobs, max(1, options.repeat // 2))
    for name, (seconds, memory) in results.items():
        print("  %-50s %8.1f ms %7.1f MB" % (name, seconds * 1e3, memory))
    ratio = results["Pillow per-pixel script (64 PNG)"][0] / results["vexlor-cli to-bin (64 PNG)"][0]
    print("  vexlor-cli is %.0f times faster" % ratio)
    if ratio < PNG_SPEED_RATIO:
        missed.append("vexlor-cli only %.1f times faster on 64 PNG" % ratio)

    for message in missed:
        print("MISSED: " + message)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())

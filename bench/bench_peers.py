#!/usr/bin/python3
"""vexlor-cli and the window beside the tools a user could pick instead, in one run.

Usage: bench/bench_peers.py [--build DIR] [--before DIR] [--work DIR] [--rounds N]
                            [--only JOBS]

Jobs (each picture fitted into 128x64 and dithered):
  jpeg48  a 48-megapixel JPEG photo      jpeg12  a 12-megapixel JPEG photo
  png16   a 4000x4000 RGB PNG            webp20  a 20-megapixel WebP photo
  window  the window from start to mapped on an X server, beside a bare
          780x500 Qt widget window (needs Xvfb and xev)

Peers that are Debian packages run when installed and are skipped otherwise:
the djpeg / netpbm pipeline (libjpeg-turbo-progs, netpbm), vipsthumbnail
(libvips-tools), GraphicsMagick (graphicsmagick), ImageMagick, Pillow
(python3-pil) and dwebp (webp). A "floor" is the decoding alone, without
scaling or dithering: what no tool can go below.

--before names a second build (of an earlier state), measured in the same
rounds, so that before and after are side by side. Every command runs once
per round, the rounds interleaved; shown are the median wall-clock time and
the largest peak memory (GNU time). The machine may be shared: wall times
then include waiting for a processor, which interleaving spreads evenly.
The pictures are generated with ImageMagick in --work and kept for next time.
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 128, 64

PILLOW_FIT = r"""
import sys
from PIL import Image

picture = Image.open(sys.argv[1])
picture.draft("RGB", (%(w)d, %(h)d))
picture.thumbnail((%(w)d, %(h)d))
canvas = Image.new("RGB", (%(w)d, %(h)d), "white")
canvas.paste(picture, ((%(w)d - picture.width) // 2, (%(h)d - picture.height) // 2))
with open(sys.argv[2], "wb") as out:
    out.write(canvas.convert("1").tobytes())
""" % {"w": WIDTH, "h": HEIGHT}


def have(*tools):
    return all(shutil.which(tool) for tool in tools)


def pillow_installed():
    try:
        import PIL  # noqa: F401
        return True
    except ImportError:
        return False


def fitted(size):
    """The size a picture of `size` takes inside 128x64, keeping its shape."""
    width, height = size
    scale = min(WIDTH / width, HEIGHT / height)
    return max(1, round(width * scale)), max(1, round(height * scale))


def run(command, shell=False):
    """Wall seconds and peak resident memory in MB of one process (with its
    pipeline, when it is one: GNU time reports the largest of them)."""
    with tempfile.NamedTemporaryFile(mode="r") as report:
        argv = ["bash", "-c", command] if shell else command
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + argv,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        elapsed = time.perf_counter() - start
        if done.returncode != 0:
            raise RuntimeError("failed (%d): %s\n%s" % (
                done.returncode, command if shell else " ".join(command),
                done.stderr.decode(errors="replace")[-500:]))
        memory = int(report.read().split()[-1]) / 1024.0
    return elapsed, memory


def generate(path, size, fmt_args):
    if os.path.exists(path):
        return path
    print("generating %s (%dx%d)..." % (os.path.basename(path), *size), flush=True)
    # Smooth shapes with fine grain, as a photo has: neither flat nor pure noise.
    subprocess.run(["convert", "-seed", "1", "-size", "%dx%d" % (size[0] // 8, size[1] // 8),
                    "plasma:fractal", "-blur", "0x1", "-resize", "%dx%d!" % size,
                    "-attenuate", "0.3", "+noise", "Gaussian"] + fmt_args + [path], check=True)
    return path


class Picture:
    def __init__(self, key, title, path, size, floor):
        self.key, self.title, self.path, self.size, self.floor = key, title, path, size, floor


def pictures(work):
    return [
        Picture("jpeg48", "48 MP JPEG", generate(os.path.join(work, "photo-48mp.jpg"), (8000, 6000),
                                                 ["-quality", "92"]), (8000, 6000), "djpeg"),
        Picture("jpeg12", "12 MP JPEG", generate(os.path.join(work, "photo-12mp.jpg"), (4000, 3000),
                                                 ["-quality", "92"]), (4000, 3000), "djpeg"),
        Picture("png16", "4000x4000 RGB PNG",
                generate(os.path.join(work, "picture-16mp.png"), (4000, 4000),
                         ["-depth", "8", "-define", "png:color-type=2"]), (4000, 4000), "png"),
        Picture("webp20", "20 MP WebP", generate(os.path.join(work, "photo-20mp.webp"), (5472, 3648),
                                                 ["-quality", "80"]), (5472, 3648), "webp"),
    ]


def peer_commands(picture, work, pillow_script):
    """Name -> (command, is a shell pipeline), for the peers installed here."""
    out = os.path.join(work, "peer-out")
    src = picture.path
    fit_w, fit_h = fitted(picture.size)
    dither = "pamscale -xyfit %d %d | ppmtopgm | pamditherbw -floyd | pamtopnm > %s.pbm" % (
        WIDTH, HEIGHT, out)
    peers = {}
    if picture.floor == "djpeg" and have("djpeg", "pamscale", "ppmtopgm", "pamditherbw"):
        peers["djpeg -scale 1/8 | pamscale | pamditherbw"] = (
            "djpeg -scale 1/8 -pnm %s | %s" % (src, dither), True)
    if picture.floor == "png" and have("pngtopam", "pamscale", "ppmtopgm", "pamditherbw"):
        peers["pngtopam | pamscale | pamditherbw"] = ("pngtopam %s | %s" % (src, dither), True)
    if picture.floor == "webp" and have("dwebp", "ppmtopgm", "pamditherbw"):
        peers["dwebp -resize | pamditherbw"] = (
            "dwebp %s -resize %d %d -ppm -o - | ppmtopgm | pamditherbw -floyd > %s.pbm"
            % (src, fit_w, fit_h, out), True)
    if have("vipsthumbnail"):
        peers["vipsthumbnail"] = (["vipsthumbnail", src, "-s", "%dx%d" % (WIDTH, HEIGHT),
                                   "-o", out + "-vips.png"], False)
    hint = ["-size", "%dx%d" % (2 * WIDTH, 2 * HEIGHT)] if picture.floor == "djpeg" else []
    if have("gm"):
        peers["GraphicsMagick"] = (["gm", "convert"] + hint + [
            src, "-thumbnail", "%dx%d" % (WIDTH, HEIGHT), "-monochrome", out + "-gm.pbm"], False)
    if have("convert"):
        define = (["-define", "jpeg:size=%dx%d" % (2 * WIDTH, 2 * HEIGHT)]
                  if picture.floor == "djpeg" else [])
        peers["ImageMagick"] = (["convert"] + define + [
            src, "-thumbnail", "%dx%d" % (WIDTH, HEIGHT), "-monochrome", out + "-im.pbm"], False)
    if pillow_installed():
        peers["Pillow (draft, thumbnail)"] = ([sys.executable, pillow_script, src,
                                               out + "-pil.bin"], False)
    return peers


def floor_command(picture):
    src = picture.path
    if picture.floor == "djpeg" and have("djpeg"):
        return "djpeg -scale 1/8 alone", ("djpeg -scale 1/8 -pnm %s > /dev/null" % src, True)
    if picture.floor == "png" and have("pngtopam"):
        return "pngtopam alone", ("pngtopam %s > /dev/null" % src, True)
    if picture.floor == "webp" and have("dwebp"):
        fit_w, fit_h = fitted(picture.size)
        return "dwebp -resize alone", (
            "dwebp %s -resize %d %d -ppm -o - > /dev/null" % (src, fit_w, fit_h), True)
    return None, None


def measure(commands, rounds):
    """Runs every command once a round, the rounds interleaved."""
    walls = {name: [] for name in commands}
    memory = {name: 0.0 for name in commands}
    for _ in range(rounds):
        for name, (command, shell) in commands.items():
            wall, peak = run(command, shell)
            walls[name].append(wall)
            memory[name] = max(memory[name], peak)
    return {name: (statistics.median(walls[name]), memory[name]) for name in commands}


def start_xvfb():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-noreset",
                               "-nolisten", "tcp"], pass_fds=(write,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as pipe:
        display = pipe.readline().strip()
    if not display:
        server.kill()
        raise RuntimeError("Xvfb did not start")
    return server, ":" + display


def time_to_map(program, display):
    """Seconds from starting `program` until a window of it is mapped, as a
    client watching the root window sees it."""
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
    watcher = subprocess.Popen(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"],
                               env=env, stdout=subprocess.PIPE, text=True)
    # xev prints its first events once it has selected them on the root window.
    time.sleep(0.3)
    start = time.perf_counter()
    shown = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, cwd=tempfile.gettempdir())
    elapsed = None
    try:
        for line in watcher.stdout:
            if line.startswith("MapNotify"):
                elapsed = time.perf_counter() - start
                break
    finally:
        shown.send_signal(signal.SIGTERM)
        shown.wait()
        watcher.kill()
        watcher.wait()
    if elapsed is None:
        raise RuntimeError("%s mapped no window" % program)
    return elapsed


def window_job(programs, rounds):
    if not have("Xvfb", "xev", "stdbuf"):
        print("\nwindow: skipped (needs Xvfb and xev)")
        return None
    server, display = start_xvfb()
    try:
        walls = {name: [] for name in programs}
        for _ in range(rounds):
            for name, program in programs.items():
                walls[name].append(time_to_map(program, display))
    finally:
        server.terminate()
        server.wait()
    return {name: (statistics.median(values), 0.0) for name, values in walls.items()}


def show(title, results, ours, peers, floor):
    print("\n%s:" % title)
    for name, (wall, memory) in results.items():
        shown = "%6.1f MB" % memory if memory else ""
        print("  %-46s %7.0f ms %9s" % (name, wall * 1e3, shown))
    if not peers:
        return
    best = min(peers, key=lambda name: results[name][0])
    for name in ours:
        line = "  %s / best peer (%s): %.2f" % (name, best, results[name][0] / results[best][0])
        if results[best][1]:
            line += ", memory %.0f / %.0f MB" % (results[name][1], results[best][1])
        if floor:
            line += "; / floor: %.2f" % (results[name][0] / results[floor][0])
        print(line)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--build", default=os.path.join(top, "build"))
    parser.add_argument("--before", default=None, help="a second build, measured alongside")
    parser.add_argument("--work", default=None)
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--only", default="jpeg48,jpeg12,png16,webp20,window")
    options = parser.parse_args()
    jobs = options.only.split(",")
    builds = {"after": options.build}
    if options.before:
        builds = {"before": options.before, "after": options.build}
    for build in builds.values():
        if not os.access(os.path.join(build, "cli", "vexlor-cli"), os.X_OK):
            sys.exit("%s/cli/vexlor-cli is missing: build it first" % build)
    label = (lambda which: "vexlor-cli (%s)" % which) if options.before else (
        lambda which: "vexlor-cli")
    work = options.work or tempfile.mkdtemp(prefix="vexlor-peers-")
    os.makedirs(work, exist_ok=True)
    pillow_script = os.path.join(work, "pillow_fit.py")
    with open(pillow_script, "w") as f:
        f.write(PILLOW_FIT)
    print("%d interleaved rounds; median wall clock, largest peak memory" % options.rounds)

    for picture in pictures(work) if any(j != "window" for j in jobs) else []:
        if picture.key not in jobs:
            continue
        ours = {}
        for which, build in builds.items():
            ours[label(which)] = ([os.path.join(build, "cli", "vexlor-cli"), "to-bin", "--fit",
                                   "--dither", "floyd-steinberg", picture.path,
                                   "-o", os.path.join(work, "out-%s.bin" % which)], False)
        peers = peer_commands(picture, work, pillow_script)
        floor_name, floor = floor_command(picture)
        commands = dict(ours, **peers)
        if floor:
            commands[floor_name] = floor
        results = measure(commands, options.rounds)
        show("%s (%.1f MB) into %dx%d, dithered" % (picture.title,
                                                   os.path.getsize(picture.path) / 1e6,
                                                   WIDTH, HEIGHT),
             results, list(ours), list(peers), floor_name if floor else None)

    if "window" in jobs:
        bare = os.path.join(options.build, "bench", "vexlor-bare-window")
        programs = {"bare 780x500 Qt widget window": bare}
        for which, build in builds.items():
            programs["vexlor" + (" (%s)" % which if options.before else "")] = os.path.join(
                build, "vexlor")
        missing = [p for p in programs.values() if not os.access(p, os.X_OK)]
        if missing:
            print("\nwindow: skipped (missing %s)" % ", ".join(missing))
            return 0
        results = window_job(programs, options.rounds)
        if results:
            names = [n for n in programs if n.startswith("vexlor")]
            show("Window, start to mapped", results, names, ["bare 780x500 Qt widget window"],
                 None)
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
# Makes the benchmark's robocopy-style logs, byte for byte the same on every run, into a cache
# folder, and prints their paths; a log already present there is reused, not made again.
import os
import random
import sys
import time

# Part of every file name, so that a change to the output below never reuses an old cache.
VERSION = "v1"
MIB = 1 << 20

# (name, shape, size); shape "oneline" is the plain content with bare CRs for line ends.
LOGS = [
    ("plain-1m", "plain", 1 * MIB),
    ("progress-1m", "progress", 1 * MIB),
    ("plain-64m", "plain", 64 * MIB),
    ("progress-64m", "progress", 64 * MIB),
]
LARGE_LOGS = [
    ("plain-1g", "plain", 1024 * MIB),
    ("progress-1g", "progress", 1024 * MIB),
    ("oneline-256m", "oneline", 256 * MIB),
]

WORDS = ("projects finance 2025 2026 photos mail archive hr scans invoices contracts drawings "
         "reports backup users shared templates q1 q2 q3 q4 clients offers minutes").split()
EXTS = ".docx .xlsx .pdf .jpg .txt .dwg .zip .msg .csv .png".split()
DAYS = "Monday Tuesday Wednesday Thursday Friday Saturday Sunday".split()
# Class fields as robocopy pads them; "same" lines appear because the jobs run with /V.
NEW, NEWER, SAME, EXTRA = "    New File  ", "    Newer     ", "      same    ", "  *EXTRA File "
ERRORS = (
    (32, "The process cannot access the file because it is being used by another process."),
    (5, "Access is denied."),
)
RETRIES = 3
HEADING = "               Total    Copied   Skipped  Mismatch    FAILED    Extras"


def SizeText(n):
    # Robocopy prints small sizes in bytes and larger ones with one decimal and a unit letter.
    if n < MIB:
        return "%8d" % n
    if n < 1024 * MIB:
        return "%6.1f m" % (n / MIB)
    return "%6.1f g" % (n / (1024 * MIB))


def BytesText(n):
    if n < 1024:
        return "%10d" % n
    for unit, scale in (("g", 1 << 30), ("m", MIB), ("k", 1024)):
        if n >= scale:
            return "%10s" % ("%.3f %s" % (n / scale, unit))


def StampText(t):
    return time.strftime("%Y/%m/%d %H:%M:%S", time.gmtime(t))


def LongDateText(t):
    g = time.gmtime(t)
    hour = g.tm_hour % 12 or 12
    return "%s, %s %d, %d %d:%02d:%02d %s" % (
        DAYS[g.tm_wday], time.strftime("%B", g), g.tm_mday, g.tm_year, hour, g.tm_min, g.tm_sec,
        "AM" if g.tm_hour < 12 else "PM")


def ClockText(seconds):
    return "%d:%02d:%02d" % (seconds // 3600, seconds // 60 % 60, seconds % 60)


def Ticks(size):
    # The percentages robocopy writes over one file's line, each after a bare CR.
    if size < MIB:
        steps = [100]
    elif size < 64 * MIB:
        steps = [0, 24, 49, 74, 98, 100]
    else:
        steps = range(0, 101)
    return "".join("\r%3d%%  " % s for s in steps)  # the CR of the line end closes the last


def MakeNamePool(rng):
    # Precomputed names and sizes keep the per-line cost to a few look-ups.
    pool = []
    for i in range(4096):
        name = "%s_%05d%s" % (WORDS[int(rng.random() * len(WORDS))], i * 7 % 100000,
                              EXTS[int(rng.random() * len(EXTS))])
        size = int(10 ** (1 + 7.5 * rng.random() ** 1.3))  # mostly small files, a few huge
        pool.append((name, size, SizeText(size), Ticks(size)))
    return pool


def RunText(rng, pool, run, target, shape, eol):
    """One copy job of about target bytes: header, directories and files, summary table."""
    start = 1767348672 + run * 86400 + int(rng.random() * 3600)
    drive_dest = run % 5 == 4  # now and then a job to a local drive instead of the server
    dest = "E:\\backup\\data\\" if drive_dest else "\\\\srv01\\backup\\data\\"
    options = "*.* /S /E /V /DCOPY:DA /COPY:DAT /R:%d /W:30 " % RETRIES
    if shape != "progress":
        options += "/NP "
    lines = ["", "-" * 79,
             "   ROBOCOPY     ::     Robust File Copy for Windows                              ",
             "-" * 79, "", "  Started : " + LongDateText(start), "   Source : D:\\data\\",
             "     Dest : " + dest, "", "    Files : *.*", "\t    ", "  Options : " + options, "",
             "-" * 78, ""]
    ticks = shape == "progress"
    dirs = total = copied = skipped = failed = extras = 0
    copied_bytes = skipped_bytes = total_bytes = 0
    size = sum(len(x) + len(eol) for x in lines)
    clock = start
    while size < target:
        depth = 1 + int(rng.random() * 4)
        path = "D:\\data\\" + "".join(WORDS[int(rng.random() * len(WORDS))] + "\\"
                                      for _ in range(depth))
        count = 1 + int(rng.random() * 120)
        dirs += 1
        block = ["\t%20d\t%s" % (count, path)]
        for _ in range(count):
            name, fsize, stext, tick = pool[rng.getrandbits(12)]
            r = rng.random()
            if run == 0:
                r = 0.60 + r * 0.25  # the first job copies everything: every file is new
            if r < 0.05:
                block.append("\t%s\t\t%s\t%s" % (EXTRA, stext, name))
                extras += 1
                continue
            total += 1
            total_bytes += fsize
            if r < 0.60:
                block.append("\t%s\t\t%s\t%s" % (SAME, stext, name))
                skipped += 1
                skipped_bytes += fsize
                continue
            line = "\t%s\t\t%s\t%s" % (NEW if r < 0.85 else NEWER, stext, name)
            if rng.random() < 0.0004:
                # A locked or denied file: the error and its message after each failed try,
                # then either a later try succeeds or robocopy gives up at the retry limit.
                code, message = ERRORS[int(rng.random() * len(ERRORS))]
                gives_up = rng.random() < 0.5
                fails = RETRIES + 1 if gives_up else 1 + int(rng.random() * RETRIES)
                for attempt in range(fails):
                    clock += 30
                    block += [line + ("\r  0%  " if ticks else ""),
                              "%s ERROR %d (0x%08X) Copying File %s%s" % (
                                  StampText(clock), code, code, path, name), message,
                              "Waiting 30 seconds... Retrying..." if attempt < RETRIES
                              else "ERROR: RETRY LIMIT EXCEEDED."]
                if gives_up:
                    block.append("")
                    failed += 1
                    continue
            block.append(line + tick if ticks else line)
            copied += 1
            copied_bytes += fsize
        clock += count
        size += sum(len(x) + len(eol) for x in block)
        lines += block
    seconds = clock - start + 1
    lines += ["", "-" * 78, "", HEADING,
              "    Dirs :" + "%10d%10d%10d%10d%10d%10d" % (dirs, dirs // 3, dirs - dirs // 3, 0, 0, 0),
              "   Files :" + "%10d%10d%10d%10d%10d%10d" % (total, copied, skipped, 0, failed, extras),
              "   Bytes :" + BytesText(total_bytes) + BytesText(copied_bytes) +
              BytesText(skipped_bytes) + "%10d%10d%10d" % (0, 0, 0),
              "   Times :%10s%10s%20s%10s%10s" % (ClockText(seconds), ClockText(seconds * 2 // 3),
                                                  "", ClockText(failed * 90), ClockText(1)),
              "   Speed :%20d Bytes/sec." % (copied_bytes // seconds),
              "   Speed :%20.3f MegaBytes/min." % (copied_bytes * 60 / seconds / MIB),
              "   Ended : " + LongDateText(clock), ""]
    return eol.join(lines) + eol


def MakeLog(path, shape, target):
    rng = random.Random(os.path.basename(path))  # seeding with a text is stable across runs
    pool = MakeNamePool(rng)
    eol = "\r" if shape == "oneline" else "\r\n"
    run_size = max(64 * 1024, min(target // 16, 8 * MIB))
    tmp = path + ".part"
    written = run = 0
    with open(tmp, "w", encoding="latin-1", newline="", buffering=4 * MIB) as f:
        while written < target:
            text = RunText(rng, pool, run, min(run_size, target - written), shape, eol)
            f.write(text)
            written += len(text)
            run += 1
    os.replace(tmp, path)  # only a finished log gets the name that the cache test looks for


def main(argv):
    args = [a for a in argv if a != "--large"]
    if len(args) != 1:
        sys.stderr.write("usage: gen_logs.py [--large] CACHE_DIR\n")
        return 2
    os.makedirs(args[0], exist_ok=True)
    for name, shape, size in LOGS + (LARGE_LOGS if "--large" in argv else []):
        path = os.path.join(args[0], "%s.%s.log" % (name, VERSION))
        if not os.path.exists(path):
            began = time.monotonic()
            MakeLog(path, shape, size)
            sys.stderr.write("made %s in %.1f s\n" % (os.path.basename(path), time.monotonic() - began))
        print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

"""Reads the program's MIDI files with midicsv, an independent reader."""

import subprocess
import tempfile

from harness import check


def records(data):
    """midicsv's records of a file: lists of stripped fields."""
    check(data is not None, "the MIDI file does not exist")
    with tempfile.NamedTemporaryFile(suffix=".mid") as f:
        f.write(data)
        f.flush()
        result = subprocess.run(["midicsv", f.name], capture_output=True, timeout=10)
    check(result.returncode == 0 and not result.stderr,
          f"midicsv rejects the file: {result.stderr.decode(errors='replace').strip()} "
          f"(bytes {data.hex(' ')})")
    return [[field.strip() for field in line.split(",")]
            for line in result.stdout.decode().splitlines()]


def header(data):
    """(format, number of tracks, division) from the file header."""
    first = records(data)[0]
    return int(first[3]), int(first[4]), int(first[5])


def programs(data):
    """(track, channel, program) of every program change."""
    return [(int(r[0]), int(r[3]), int(r[4])) for r in records(data) if r[2] == "Program_c"]


def notes(data):
    """(track, channel, key, start, end) of every note, in order of start."""
    sounding = {}
    found = []
    for r in records(data):
        if r[2] not in ("Note_on_c", "Note_off_c"):
            continue
        track, time, channel, key = int(r[0]), int(r[1]), int(r[3]), int(r[4])
        if r[2] == "Note_on_c" and int(r[5]) > 0:
            sounding[(track, channel, key)] = time
        else:
            start = sounding.pop((track, channel, key), None)
            check(start is not None, f"note off without note on: {r}")
            found.append((track, channel, key, start, time))
    check(not sounding, f"notes never released: {sounding}")
    return sorted(found, key=lambda n: (n[0], n[3]))


def track_ends(data):
    """Time of each track's end-of-track event."""
    return [int(r[1]) for r in records(data) if r[2] == "End_track"]

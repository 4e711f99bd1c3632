#!/usr/bin/env python3
"""Checks what latency_probe's logs ("T HEARD NAIVE" lines) say against the truth.

  check_heard.py fifo HEARD_RAW PROBE_LOG COLUMN NAME

Compares the frame the device said was heard with the frame the FIFO's reader really played then.
HEARD_RAW is fifo_reader's recording (slot s heard at the time in HEARD_RAW.t0 plus s/44100), of
latency_probe's stream, whose every frame carries its index (left: low 16 bits, right: high 16
bits). PROBE_LOG holds "T HEARD NAIVE" lines; COLUMN is 1 (HEARD) or 2 (NAIVE). Prints the error
(said minus really heard, in ms) at its 5th percentile, median and 95th percentile, and fails when
the median is beyond 5 ms or either percentile beyond 15 ms.

  check_heard.py wine HEARD_RAW PROBE_LOG SHIFT_NS SERVER_MS OWN_MS NAME

The same for a Windows program under Wine, whose times are SHIFT_NS from CLOCK_MONOTONIC: prints
the error and the program's own part of it, the error less SERVER_MS (the output's latency, which
no Windows interface reports under Wine); fails when the own part's median is beyond OWN_MS
(0: only reported).

  check_heard.py stream HEARD_RAW STREAM_RAW FIRST LOG MEDIAN_MS TAIL_MS NAME

The same for a player of real music (the web page): STREAM_RAW holds what it rendered from stream
frame FIRST on (16-bit stereo), found again in the recording, which dates each stream frame; LOG
holds "T HEARD" lines. Polls next to a drop-out of the recording are not judged (more than a third
of them fails). Fails beyond MEDIAN_MS at the median or TAIL_MS at either percentile.

  check_heard.py shift BEFORE_LOG AFTER_LOG MS NAME

Two runs of the same device, the second through an output of MS more latency: the heard frame,
against the frames written, must be MS further back in the second (within 15 ms).

  check_heard.py screen HEARD_RAW ROW_RAW START SEEN SCREEN_LOG HZ NAME

A row of the real program's module (module_row: its sound begins at frame START, the program sees
it from frame SEEN on, ROW_RAW holds the frames from SEEN) is found in the recording; the picture
of its scene (screen_watch's log: the first drop from mostly black to almost none) must reach the
screen within half a display period at HZ of when the row is heard, either side, give or take 3 ms
(the 1 ms between samples of the screen, and the scheduling of a busy machine).

  check_heard.py beats HEARD_RAW ROWS SCREEN_LOG FRAMES_LOG ASSUMED_MS MEDIAN_MS NAME

The same for every beat of a scene that flashes a picture with black in it over grain that has
none (the web page's lattice): ROWS holds "START SEEN ROW_RAW" lines (module_row's), first a row
found anywhere in the recording (the scene's first), then one a beat, each found from where the
stream lay at the row before to half a second later (beats sound alike; a drop-out only moves the
rest later). A flash is a rise of the black from under a tenth to over one: on the screen, and in
FRAMES_LOG ("T PERMILLE" lines: each animation frame's time and the black in what the page drew
in it). Prints each flash on the screen against when its row was heard, the browser's delay from
the animation frame to the screen, and the flash with that delay taken as ASSUMED_MS, what the
page allows for it: its 5th percentile, median and 95th percentile. Fails when the last is beyond
MEDIAN_MS at the median, and says so where the first is. (A row lasts six 60 Hz periods, so every
beat of a run falls at the same point of a period: the median is one sample of the frame's
rounding, not an average over it.)
"""
import array
import sys

RATE = 44100
SETTLE_S = 1.0  # the stream's start: the server's buffers still filling
MEDIAN_MS, TAIL_MS = 5.0, 15.0
# The screen's 1 ms samples, and the program's and X server's turns on a machine shared with other
# work: up to 1.8 ms beyond the half period seen in quiet-to-busy runs.
SCREEN_MARGIN_MS = 3.0


def percentile(values, p):
    return values[min(len(values) - 1, int(p / 100 * len(values)))]


def spread(errors):
    """The 5th percentile, median and 95th percentile of ERRORS (ms), and them said."""
    errors = sorted(errors)
    low, median, high = percentile(errors, 5), percentile(errors, 50), percentile(errors, 95)
    return low, median, high, f"5th {low:+.1f} ms, median {median:+.1f} ms, 95th {high:+.1f} ms"


def check_fifo(raw_path, log_path, column, name):
    errors, unheard = fifo_errors(raw_path, log_path, column, 0)
    return report(name, errors, unheard, MEDIAN_MS, TAIL_MS)


def check_wine(raw_path, log_path, shift_ns, server_ms, own_ms, name):
    errors, unheard = fifo_errors(raw_path, log_path, 1, shift_ns)
    # Only reported (OWN_MS 0): it must play, but the gaps a busy machine leaves it are no failure.
    if report(name, errors, unheard if own_ms > 0 else 0, float("inf"), float("inf")):
        return 1
    own = [e - server_ms for e in errors]
    _, median, _, said = spread(own)
    ok = own_ms <= 0 or abs(median) <= own_ms
    print(f"{name}: less the output's {server_ms:.1f} ms, the program's own part: {said}"
          f"{'' if ok else f' FAILED: median beyond {own_ms:g} ms'}")
    return 0 if ok else 1


def fifo_errors(raw_path, log_path, column, shift_ns):
    """Said minus heard in ms at each settled poll of the probe's log, and the polls on no frame."""
    samples = read_raw(raw_path, "H")
    with open(raw_path + ".t0") as f:
        t0 = int(f.read())
    slots = len(samples) // 2

    def frame_at(slot):
        return samples[2 * slot] | samples[2 * slot + 1] << 16

    errors, unheard = [], 0
    with open(log_path) as f:
        rows = [[int(x) for x in line.split()] for line in f if line.strip()]
    start = rows[0][0]
    for row in rows:
        t, said = row[0] - shift_ns, row[column]
        if t - start < SETTLE_S * 1e9:
            continue
        slot = (t - t0) * RATE // 1000000000
        # A frame of the stream, in a run of them: not silence, not the sink's filler.
        if slot < 1 or slot + 1 >= slots or frame_at(slot) == 0 or \
                frame_at(slot - 1) + 1 != frame_at(slot) or frame_at(slot) + 1 != frame_at(slot + 1):
            unheard += 1
            continue
        heard = frame_at(slot) + ((t - t0) * RATE % 1000000000) / 1e9
        errors.append((said - heard) * 1000 / RATE)
    return errors, unheard


def read_raw(path, typecode):
    values = array.array(typecode)
    with open(path, "rb") as f:
        values.frombytes(f.read())
    if sys.byteorder != "little":
        values.byteswap()
    return values


def report(name, errors, unheard, median_ms, tail_ms, gaps=10):
    """Prints the error's 5th percentile, median and 95th percentile; 0 when within the bounds
    and no more than one poll in GAPS fell on no heard frame."""
    if len(errors) < 100 or unheard > len(errors) // gaps:
        seen = f": {spread(errors)[3]} there" if errors else ""
        print(f"{name}: FAILED: only {len(errors)} of the probe's polls fell on heard frames "
              f"({unheard} on silence or gaps){seen}")
        return 1
    low, median, high, said = spread(errors)
    ok = abs(median) <= median_ms and abs(low) <= tail_ms and abs(high) <= tail_ms
    print(f"{name}: error said-heard {said} "
          f"({len(errors)} polls{', ' + str(unheard) + ' in gaps' if unheard else ''})"
          f"{'' if ok else f' FAILED: beyond {median_ms:g} ms median or {tail_ms:g} ms tails'}")
    return 0 if ok else 1


def check_stream(raw_path, stream_path, first, log_path, median_ms, tail_ms, name):
    heard, stream = read_raw(raw_path, "h"), read_raw(stream_path, "h")
    with open(raw_path + ".t0") as f:
        t0 = int(f.read())
    block = 1024
    # Where blocks of the stream, one every tenth of a second, lie in the recording: slot less
    # frame. A drop-out (the browser late on a loaded machine) only moves the rest later, so each
    # block is looked for from where the one before lay to half a second on.
    # The music repeats itself sample for sample, so the first block is placed where the most
    # of the next ones follow it.
    loud = [at for at in range(0, len(stream) // 2 - block, RATE // 10)
            if max(abs(v) for v in stream[2 * at:2 * (at + block)]) >= 1000]  # quieter: not sure
    sound_at = lambda at: stream[2 * at:2 * (at + block)]
    offsets, last = [], None
    for index, at in enumerate(loud):
        sound = sound_at(at)
        if last is None:
            def followers(slot):
                shift = slot - (first + at)
                return sum(sound_matches(heard, sound_at(a), first + a + shift, block) for a in loud[index + 1:index + 11])
            slot = max(find_sounds(heard, sound, block), key=followers, default=None)
        else:
            slot = next(find_sounds(heard, sound, block, within=(first + at + last - block, first + at + last + RATE // 2)), None)
        if slot is not None:
            last = slot - (first + at)
            offsets.append((slot, last))
    if len(offsets) < 20:
        print(f"{name}: FAILED: the stream was found in the recording only {len(offsets)} times")
        return 1
    with open(log_path) as f:
        rows = [[int(x) for x in line.split()] for line in f if line.strip()]
    # A poll is judged where the blocks either side of it, each within an eighth of a second, lie
    # at one offset; between two that do not, a drop-out fell, and where is not known.
    errors, unheard = [], 0
    for t, said in rows:
        at = (t - t0) * RATE / 1e9
        before = [o for o in offsets if at - RATE // 8 <= o[0] <= at]
        after = [o for o in offsets if at < o[0] <= at + RATE // 8]
        if not before or not after or before[-1][1] != after[0][1]:
            unheard += 1
            continue
        errors.append((said - (at - before[-1][1])) * 1000 / RATE)
    # A browser on a loaded machine drops out more often than the native program does.
    return report(name, errors, unheard, median_ms, tail_ms, gaps=3)


def heard_behind_written(log_path):
    """Median, 5th and 95th percentile of how far the heard frame is behind the frames written, in
    ms, once settled. Against the frames written rather than the clock: a stall of the machine
    moves the whole stream later, and that is no latency of the output."""
    with open(log_path) as f:
        rows = [[int(x) for x in line.split()] for line in f if line.strip()]
    start = rows[0][0]
    behind = sorted((naive - heard) * 1000 / RATE for t, heard, naive in rows if t - start >= SETTLE_S * 1e9)
    return percentile(behind, 50), percentile(behind, 5), percentile(behind, 95)


def check_shift(before_path, after_path, expected_ms, name):
    before, after = heard_behind_written(before_path), heard_behind_written(after_path)
    shift = after[0] - before[0]
    ok = abs(shift - expected_ms) <= TAIL_MS
    print(f"{name}: heard frame {shift:.1f} ms further back (expected {expected_ms:g} +- {TAIL_MS:g}; "
          f"behind the written less 40 ms: before {before[0]:.1f} ms [5th {before[1]:.1f}, 95th {before[2]:.1f}], "
          f"after {after[0]:.1f} ms [5th {after[1]:.1f}, 95th {after[2]:.1f}])"
          f"{'' if ok else ' FAILED'}")
    return 0 if ok else 1


def sound_matches(heard, sound, slot, frames=1024, tolerance=2):
    """Whether `sound` begins at `slot` of the recording `heard` (interleaved stereo), allowing a
    unit or two per sample (a sound server's own rounding)."""
    return 0 <= slot <= len(heard) // 2 - frames and \
        all(abs(heard[2 * slot + i] - sound[i]) <= tolerance for i in range(2 * frames))


def find_sounds(heard, sound, frames=1024, tolerance=2, within=None):
    """Every slot, first to last, where `sound` begins in `heard`, among the slots `within`
    (first, end) if given."""
    first = sound[0]
    begin, end = within or (0, len(heard) // 2 - frames)
    for slot in range(max(0, begin), min(end, len(heard) // 2 - frames)):
        if abs(heard[2 * slot] - first) <= tolerance and sound_matches(heard, sound, slot, frames, tolerance):
            yield slot


def find_sound(heard, sound, frames=1024, tolerance=2, within=None):
    """The first slot where `sound` begins in `heard`, or None."""
    return next(find_sounds(heard, sound, frames, tolerance, within), None)


def check_screen(raw_path, row_path, start, seen, screen_path, hz, name):
    heard, row = read_raw(raw_path, "h"), read_raw(row_path, "h")
    with open(raw_path + ".t0") as f:
        t0 = int(f.read())
    slot = find_sound(heard, row)
    if slot is None:
        print(f"{name}: FAILED: the row's sound is not in the recording")
        return 1
    heard_ns = t0 + (slot - (seen - start)) * 1000000000 // RATE
    with open(screen_path) as f:
        samples = [[int(x) for x in line.split()] for line in f if line.strip()]
    shown_ns, black = None, False
    for t, permille in samples:
        if t >= heard_ns - 2000000000 and black and permille < 300:
            shown_ns = t
            break
        black = permille > 600
    if shown_ns is None:
        print(f"{name}: FAILED: the screen never changed to the scene")
        return 1
    late_ms, half_ms = (shown_ns - heard_ns) / 1e6, 500 / hz
    ok = abs(late_ms) <= half_ms + SCREEN_MARGIN_MS
    print(f"{name}: on the screen {late_ms:+.1f} ms after it was heard (allowed -{half_ms:.1f} to "
          f"+{half_ms:.1f} ms, +-{SCREEN_MARGIN_MS:g} ms of sampling and scheduling){'' if ok else ' FAILED'}")
    return 0 if ok else 1


def rises_of(path):
    with open(path) as f:
        samples = [[int(x) for x in line.split()] for line in f if line.strip()]
    return [t for (_, before), (t, after) in zip(samples, samples[1:]) if before < 100 and after > 100]


def check_beats(raw_path, rows_path, screen_path, frames_path, assumed_ms, median_ms, name):
    heard = read_raw(raw_path, "h")
    with open(raw_path + ".t0") as f:
        t0 = int(f.read())
    with open(rows_path) as f:
        rows = [line.split() for line in f if line.strip()]
    rises, drawn = rises_of(screen_path), rises_of(frames_path)
    late, delays, own, lost, shift = [], [], [], 0, None
    for index, (start, seen, row_path) in enumerate(rows):
        start, seen, row = int(start), int(seen), read_raw(row_path, "h")
        around = None if shift is None else (seen + shift - 1024, seen + shift + RATE // 2)
        slot = find_sound(heard, row, within=around)
        if index == 0 and slot is None:
            print(f"{name}: FAILED: the scene's first row is not in the recording")
            return 1
        if slot is None:
            lost += 1
            continue
        shift = slot - seen
        if index == 0:
            continue
        heard_ns = t0 + (slot - (seen - start)) * 1000000000 // RATE
        near = [t for t in rises if abs(t - heard_ns) < 100000000]
        shown = min(near, key=lambda t: abs(t - heard_ns), default=None)
        frame = None if shown is None else max((t for t in drawn if shown - 100000000 < t < shown), default=None)
        if frame is None:
            lost += 1
            continue
        late.append((shown - heard_ns) / 1e6)
        delays.append((shown - frame) / 1e6)
        own.append((frame - heard_ns) / 1e6 + assumed_ms)
    beats = len(rows) - 1
    if len(own) < beats * 3 // 4:
        print(f"{name}: FAILED: {len(own)} of {beats} beats drawn, seen on the screen and heard ({lost} not)")
        return 1
    _, median, _, said = spread(own)
    ok = abs(median) <= median_ms
    _, end_to_end, _, said_end_to_end = spread(late)
    beyond = '' if abs(end_to_end) <= median_ms else f' (end to end beyond {median_ms:g} ms)'
    print(f"{name}: each beat's flash on the screen after its row was heard: {said_end_to_end}{beyond} "
          f"({len(own)} of {beats} beats); the browser's delay from the animation frame to the screen: "
          f"{spread(delays)[3]}; with that delay as the page allows for it ({assumed_ms:g} ms): {said}"
          f"{'' if ok else f' FAILED: median beyond {median_ms:g} ms'}")
    return 0 if ok else 1


def main():
    if len(sys.argv) == 6 and sys.argv[1] == "fifo":
        return check_fifo(sys.argv[2], sys.argv[3], int(sys.argv[4]), sys.argv[5])
    if len(sys.argv) == 8 and sys.argv[1] == "wine":
        a = sys.argv
        return check_wine(a[2], a[3], int(a[4]), float(a[5]), float(a[6]), a[7])
    if len(sys.argv) == 9 and sys.argv[1] == "stream":
        a = sys.argv
        return check_stream(a[2], a[3], int(a[4]), a[5], float(a[6]), float(a[7]), a[8])
    if len(sys.argv) == 6 and sys.argv[1] == "shift":
        return check_shift(sys.argv[2], sys.argv[3], float(sys.argv[4]), sys.argv[5])
    if len(sys.argv) == 9 and sys.argv[1] == "beats":
        a = sys.argv
        return check_beats(a[2], a[3], a[4], a[5], float(a[6]), float(a[7]), a[8])
    if len(sys.argv) == 9 and sys.argv[1] == "screen":
        a = sys.argv
        return check_screen(a[2], a[3], int(a[4]), int(a[5]), a[6], float(a[7]), a[8])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())

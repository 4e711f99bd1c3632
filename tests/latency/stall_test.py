#!/usr/bin/env python3
"""The real program against sound servers that stop answering, in a virtual X server.

  - A stand-in server that accepts connections and never answers: start-up ends within 5 s with
    exit code 1 and "Can't initialize device: " and a reason that says no answer came.
  - Through a private PulseAudio into a FIFO read like a sound card (latency_servers.sh):
    1. the server stopped (SIGSTOP): the silent line within 2 s, the picture never still for
       more than 0.5 s; continued (SIGCONT): the music heard again on the FIFO within 6 s;
    2. the window inactive (focus on the root window), the server restarted: the music heard
       again within 6 s while still inactive, and nothing drawn meanwhile; active again: the
       picture changes within 0.5 s;
    3. the server stopped again: Escape ends the program within 2 s.
  The longest time the picture stood still while active is printed: the main thread's longest
  stall over the run.
    stall_test.py BUILD      (BUILD/bin: the program and its data; BUILD/tests: the rig)
"""
import array
import os
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) == 2 else sys.exit("usage: stall_test.py BUILD")
RUN = os.path.join(BUILD, "latency-run", "stall")
SERVERS = os.path.join(HERE, "latency_servers.sh")
# The window's title as the program has it (resources/resources.h), as scripts/lib.sh reads it.
with open(os.path.join(HERE, "..", "..", "resources", "resources.h")) as header:
    TITLE = next(line.split('"')[1] for line in header if "window_title = " in line)
RATE = 44100

children = []
display_env = {}  # the environment of the virtual X server's clients


def log(text):
    print(f"stall: {text}", flush=True)


def fail(text):
    print(f"stall: FAILED: {text}", file=sys.stderr, flush=True)
    sys.exit(1)


def now():
    return time.monotonic_ns() / 1e9


def start_xvfb():
    read_end, write_end = os.pipe()
    # -noreset: a reset as the last client leaves would drop one connecting meanwhile.
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp", "-noreset"],
                            pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                            stderr=open(os.path.join(RUN, "xvfb.log"), "w"))
    children.append(xvfb)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        fail(f"Xvfb did not start (see {RUN}/xvfb.log)")
    return ":" + number


def xdotool(*arguments):
    return subprocess.run(["xdotool", *arguments], env=display_env, capture_output=True, text=True).stdout.split()


class StandIn:
    """A server that takes every connection and never says a word."""

    def __init__(self, path):
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(path)
        self.listener.listen(16)
        self.held = []
        threading.Thread(target=self.accept, daemon=True).start()

    def accept(self):
        while True:
            self.held.append(self.listener.accept()[0])


class Show:
    """The program, its standard error's lines timed as they come."""

    def __init__(self, folder, env):
        self.folder = folder
        self.err_path = os.path.join(folder, "err.txt")
        self.process = subprocess.Popen(["./tarnwick"], cwd=folder, env=env,
                                        stdout=open(os.path.join(folder, "out.txt"), "w"),
                                        stderr=open(self.err_path, "w"))
        children.append(self.process)
        self.lines = []  # (time first seen, line)
        self.seen_bytes = 0

    def read_lines(self):
        with open(self.err_path) as err:
            err.seek(self.seen_bytes)
            text = err.read()
        complete = text[:text.rfind("\n") + 1]
        self.seen_bytes += len(complete.encode())
        self.lines += [(now(), line) for line in complete.splitlines()]

    def wait_line(self, start, after, timeout):
        """When a line starting with `start` came after `after`, waiting up to `timeout` s."""
        end = now() + timeout
        while True:
            self.read_lines()
            found = [at for at, line in self.lines if line.startswith(start) and at >= after]
            if found:
                return found[0]
            if now() > end or self.process.poll() is not None:
                return None
            time.sleep(0.02)

    def said(self):
        self.read_lines()
        return "\n".join(line for _, line in self.lines)


def pulse_pid(folder):
    with open(os.path.join(folder, "pulseaudio.pid")) as pid:
        return int(pid.read())


def changes_between(changes, begin, end):
    return [t for t in changes if begin <= t < end]


def longest_still(changes, begin, end):
    """The longest time in [begin, end) the picture did not change."""
    times = [begin] + changes_between(changes, begin, end) + [end]
    return max(b - a for a, b in zip(times, times[1:]))


def heard_again(samples, t0, after, within):
    """When the FIFO played music again after `after`: the first 10 ms of sound that begins half a
    second of sound (nine blocks in ten), within `within` s; None if it did not."""
    block = RATE // 100
    first = max(0, int((after - t0) * 100))
    last = min(len(samples) // (2 * block), int((after + within - t0) * 100))
    loud = [max(abs(v) for v in samples[2 * block * i:2 * block * (i + 1)]) > 64 for i in range(first, last)]
    for i in range(len(loud) - 50):
        if loud[i] and sum(loud[i:i + 50]) >= 45:
            return t0 + (first + i) / 100
    return None


def stand_in_case(env):
    folder = os.path.join(RUN, "stand-in")
    os.makedirs(os.path.join(folder, "xdg"), mode=0o700)
    stand_in = StandIn(os.path.join(folder, "xdg", "native"))
    for name in ("tarnwick", "tarnwick.dat", "tarnwick.it"):
        shutil.copy(os.path.join(BUILD, "bin", name), folder)
    began = now()
    show = Show(folder, dict(env, PULSE_SERVER=f"unix:{folder}/xdg/native", XDG_RUNTIME_DIR=f"{folder}/xdg"))
    try:
        code = show.process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        show.process.kill()
        fail(f"with a server that never answers, start-up was still waiting after 20 s: {show.said()}")
    took = now() - began
    said = show.said()
    log(f"a server that never answers: ended with {code} after {took:.2f} s: {said}")
    if not stand_in.held:
        fail("the program never connected to the stand-in server")
    if code != 1 or not said.startswith("Can't initialize device: ") or "no answer" not in said:
        fail(f"expected exit code 1 and \"Can't initialize device: \" with no answer as the reason: {code}, {said}")
    if took > 5:
        fail(f"start-up took {took:.2f} s to give up, over 5 s")


def main():
    for program in ("fifo_reader", "screen_watch"):
        if not os.access(os.path.join(BUILD, "tests", program), os.X_OK):
            fail(f"{BUILD}/tests/{program} is missing (cmake --build {BUILD})")
    for tool in ("Xvfb", "xdotool", "pulseaudio"):
        if not shutil.which(tool):
            fail(f"{tool} is not installed (scripts/install-deps)")
    shutil.rmtree(RUN, ignore_errors=True)
    os.makedirs(RUN)
    env = {key: value for key, value in os.environ.items()
           if key not in ("SDL_AUDIODRIVER", "PULSE_SERVER", "WAYLAND_DISPLAY", "PIPEWIRE_REMOTE")}
    env["DISPLAY"] = start_xvfb()
    env["SDL_VIDEODRIVER"] = "x11"
    display_env.update(env)
    stand_in_case(env)

    pulse = os.path.join(RUN, "pulse")
    address = subprocess.run([SERVERS, "pulse", pulse, "8192", os.path.join(BUILD, "tests", "fifo_reader")],
                             capture_output=True, text=True)
    if address.returncode != 0:
        fail(f"PulseAudio could not start: {address.stderr}")
    env["PULSE_SERVER"] = address.stdout.strip()
    env["XDG_RUNTIME_DIR"] = os.path.join(pulse, "xdg")
    folder = os.path.join(RUN, "show")
    os.makedirs(folder)
    for name in ("tarnwick", "tarnwick.dat", "tarnwick.it"):
        shutil.copy(os.path.join(BUILD, "bin", name), folder)
    changes_log = os.path.join(RUN, "changes.log")
    watch = subprocess.Popen([os.path.join(BUILD, "tests", "screen_watch"), "90", changes_log, "changes"],
                             env=env, stdout=subprocess.DEVNULL)
    children.append(watch)
    show = Show(folder, env)
    window = []
    for _ in range(100):
        window = xdotool("search", "--name", f"^{TITLE}$")
        if window:
            break
        time.sleep(0.1)
    if not window:
        fail(f"no window: {show.said()}")
    root = xdotool("search", "--maxdepth", "0", "--name", "")
    time.sleep(10)  # past the splash, whose picture holds still
    active_from = now()

    # 1. Stopped, then continued.
    stopped = now()
    os.kill(pulse_pid(pulse), signal.SIGSTOP)
    silent_line = show.wait_line("No audio device (", stopped, 5)
    time.sleep(max(0, stopped + 3 - now()))
    os.kill(pulse_pid(pulse), signal.SIGCONT)
    continued = now()
    back = show.wait_line("Audio device back", continued - 0.1, 8)
    time.sleep(max(0, continued + 3 - now()))

    # 2. Inactive, the server restarted, active again.
    inactive = now()
    xdotool("windowfocus", root[0])
    time.sleep(1)
    restart = subprocess.run([SERVERS, "restart", pulse], capture_output=True, text=True)
    if restart.returncode != 0:
        fail(f"PulseAudio could not start again: {restart.stderr}")
    restarted = now()
    back_inactive = show.wait_line("Audio device back", restarted - 1, 8)
    time.sleep(max(0, restarted + 6.5 - now()))
    reactivated = now()
    xdotool("windowfocus", xdotool("search", "--name", f"^{TITLE}$")[0])  # made again since start-up
    time.sleep(3)

    # 3. Stopped again, and Escape.
    stopped_again = now()
    os.kill(pulse_pid(pulse), signal.SIGSTOP)
    show.wait_line("No audio device (", stopped_again, 5)
    escaped = now()
    xdotool("key", "Escape")
    try:
        code = show.process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        code = None
    ended = now()
    os.kill(pulse_pid(pulse), signal.SIGCONT)
    if code is None:
        show.process.kill()
    watch.send_signal(signal.SIGTERM)
    watch.wait()
    subprocess.run([SERVERS, "stop", pulse], capture_output=True)

    with open(changes_log) as changes_file:
        changes = [int(line.split()[0]) / 1e9 for line in changes_file if line.strip()]
    samples = array.array("h")
    with open(os.path.join(pulse, "heard.raw"), "rb") as heard:
        samples.frombytes(heard.read())
    with open(os.path.join(pulse, "heard.raw.t0")) as t0_file:
        t0 = int(t0_file.read()) / 1e9
    music_back = heard_again(samples, t0, continued, 6)
    music_back_inactive = heard_again(samples, t0, restarted, 6)
    first_change = changes_between(changes, reactivated, reactivated + 5)
    drawn_inactive = changes_between(changes, inactive + 0.5, reactivated)
    stalls = [longest_still(changes, active_from, inactive), longest_still(changes, reactivated + 0.5, escaped)]

    def seconds(at, since):
        return f"{at - since:.2f} s" if at is not None else "never"

    log(f"stopped: the silent line after {seconds(silent_line, stopped)}; continued: \"Audio device back\" after "
        f"{seconds(back, continued)}, music on the FIFO after {seconds(music_back, continued)}")
    log(f"inactive, restarted: \"Audio device back\" after {seconds(back_inactive, restarted)}, music on the FIFO "
        f"after {seconds(music_back_inactive, restarted)}; {len(drawn_inactive)} pictures drawn while inactive; "
        f"the first after activation {seconds(first_change[0] if first_change else None, reactivated)}")
    log(f"stopped again: Escape ended the program with {code} after {seconds(ended if code is not None else None, escaped)}")
    log(f"the picture stood still at most {max(stalls):.3f} s while active ({len(changes)} changes seen)")
    log("what the program said:\n" + show.said())

    if silent_line is None or silent_line - stopped > 2:
        fail("no silent line within 2 s of the server stopping")
    if music_back is None:
        fail("the music was not heard on the FIFO within 6 s of the server continuing")
    if music_back_inactive is None:
        fail("the music was not heard on the FIFO within 6 s of the server restarting while inactive")
    if drawn_inactive:
        fail(f"{len(drawn_inactive)} pictures were drawn while the window was inactive")
    if not first_change or first_change[0] - reactivated > 0.5:
        fail("no picture within 0.5 s of the window being active again")
    if code != 0 or ended - escaped > 2:
        fail(f"Escape with the server stopped: exit code {code} after {ended - escaped:.2f} s, expected 0 within 2 s")
    if max(stalls) > 0.5:
        fail(f"the picture stood still for {max(stalls):.3f} s while active, over 0.5 s")
    log("passed")


try:
    main()
finally:
    for child in children:
        if child.poll() is None:
            child.kill()
    subprocess.run([SERVERS, "stop", os.path.join(RUN, "pulse")], capture_output=True)

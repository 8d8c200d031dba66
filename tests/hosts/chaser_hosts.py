#!/usr/bin/python3
"""One recording played back on every host must draw the same: the game replays SCRIPT with
logging on, from the same start time, on the headless display (chaser-replay), in SDL2
windows under Xvfb and in headless chromium, and the three drawing logs, read from the
debugger's channel, must agree line for line up to the end of the script.
On each live host the clock stands still at the start time (libfaketime for the SDL2 game, an
override of Date.now and performance.now in the page) until Logging is on and the playback
has opened the script, so no tick runs before it that the headless replay does not have; then
it runs on (with nothing drawn, the playback's next event waits for a tick). The logs stay in
OUT-DIR.
Usage: chaser_hosts.py chaser chaser-replay web-build-dir SCRIPT OUT-DIR"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
import chaser_web  # noqa: E402 (the page's DevTools driver)

START_TIME = 1700000000
EOF_LINE = "EOF encountered in script file KELPA.SCR"

# The page's clock: Date.now reads the start time and performance.now one instant until the
# test releases them; from then both run on from where they stood.
PAGE_CLOCK = r"""
(() => {
  const realNow = performance.now.bind(performance);
  const still = realNow();
  let released = null;
  const ran = () => released === null ? 0 : realNow() - released;
  Date.now = () => %d000 + Math.floor(ran());
  performance.now = () => still + ran();
  window.__releaseClock = () => { if (released === null) released = realNow(); };
})();
""" % START_TIME


class Failure(Exception):
    pass


def wait_until(condition, what, seconds=60):
    end = time.time() + seconds
    while not condition():
        if time.time() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.1)


def log_lines(path):
    with open(path, encoding="utf-8", errors="backslashreplace") as f:
        return f.read().splitlines()


def headless(replay, script, out):
    log = os.path.join(out, "headless.log")
    subprocess.run([replay, "--start-time", str(START_TIME), "--logging", "--log", log, script,
                    os.path.join(out, "headless.gif")], check=True)
    return log_lines(log)


def set_clock(rc_file, timestamp):
    """Replaces libfaketime's timestamp file whole: a reader never sees it empty."""
    with open(rc_file + ".new", "w") as f:
        f.write(timestamp + "\n")
    os.replace(rc_file + ".new", rc_file)


def is_open(pid, path):
    """Whether the process has the file open: the playback holds its script until the end."""
    fds = "/proc/%d/fd" % pid
    try:
        return any(os.readlink(os.path.join(fds, fd)) == path for fd in os.listdir(fds))
    except OSError:  # a descriptor closed while being read
        return False


def sdl2(chaser, script, out):
    libs = glob.glob("/usr/lib/*/faketime/libfaketimeMT.so.1")
    if not libs:
        raise Failure("libfaketime is missing (scripts/test installs what this test needs)")
    run = os.path.join(out, "sdl2")
    shutil.rmtree(run, ignore_errors=True)
    os.makedirs(run)
    shutil.copy(script, os.path.join(run, "KELPA.SCR"))
    log, rc_file = os.path.join(run, "sdl2.log"), os.path.join(run, "clock.rc")
    # Absolute: time() and CLOCK_MONOTONIC (the display's timers) both stand still.
    set_clock(rc_file, str(START_TIME))
    env = dict(os.environ, LD_PRELOAD=libs[0], FAKETIME_TIMESTAMP_FILE=rc_file, FAKETIME_NO_CACHE="1",
               FAKETIME_FMT="%s", KELPA_DEBUG_OUTPUT=log)
    with open(os.path.join(run, "stderr.log"), "w") as stderr:
        game = subprocess.Popen([chaser], cwd=run, env=env, stdout=stderr, stderr=stderr)
    try:
        window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^KELPA Graphics$"],
                                capture_output=True, text=True, timeout=20).stdout.split()
        if not window:
            raise Failure("no \"KELPA Graphics\" window")
        # Without a window manager nobody else gives the window the focus.
        subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], check=True)
        subprocess.run(["xdotool", "key", "--delay", "100", "ctrl+l", "ctrl+p"], check=True)
        ended = lambda: os.path.exists(log) and EOF_LINE in log_lines(log)  # noqa: E731
        wait_until(lambda: is_open(game.pid, os.path.join(run, "KELPA.SCR")) or ended(), "the SDL2 game's playback")
        # Start at the start time and run: the clock goes on from where it stood.
        set_clock(rc_file, "@%d" % START_TIME)
        wait_until(ended, "the SDL2 game's end of script")
        subprocess.run(["xdotool", "key", "ctrl+q"], check=True)
        if game.wait(10) != 0:
            raise Failure("the SDL2 game ended with status %d" % game.returncode)
    finally:
        if game.poll() is None:
            game.kill()
            game.wait()
    return log_lines(log)


def browser(web_build, script, out):
    server = chaser_web.serve(web_build)
    profile = tempfile.mkdtemp(prefix="kelpa-chromium-")
    process = None
    text = []  # the console.debug strings, each a log line with its "\n"
    try:
        process, page = chaser_web.start_browser(profile)

        def console(method, params):
            if method == "Runtime.consoleAPICalled" and params["type"] == "debug":
                text.append("".join(str(a.get("value", "")) for a in params["args"]))

        page.on_event = console
        page.call("Page.enable")
        page.call("Runtime.enable")
        page.call("Emulation.setFocusEmulationEnabled", enabled=True)
        page.call("Page.addScriptToEvaluateOnNewDocument", source=PAGE_CLOCK)
        page.call("Page.navigate", url="http://127.0.0.1:%d/game/chaser.html" % server.server_address[1])
        page.wait_for("typeof kelpaPage === 'object' && document.readyState === 'complete'", "the page")
        page.js(chaser_web.PAGE_HELPERS)
        # The game draws at its first tick, which waits for the clock: both windows are all
        # there is to see, the graphics window with the focus, as the window shown first.
        graphics = "__t.frame('KELPA Graphics').querySelector('canvas')"
        page.wait_for("__t.frame('KELPA Text') && document.activeElement === " + graphics, "both windows")
        page.ctrl("l")
        said = page.load(script)
        if not said.startswith("Loaded"):
            raise Failure("loading the script: %r" % said)
        # The file chooser took the focus; a person clicks the window's caption to give it back.
        page.js(graphics + ".focus()")
        page.ctrl("p")  # the loader only replaces KELPA.SCR
        # Each call reads the events that came before its reply.
        ended = lambda: page.js("true") and any(EOF_LINE in t for t in text)  # noqa: E731
        wait_until(lambda: page.js("kelpaPage.scriptInUse()") or ended(), "the page's playback")
        page.js("__releaseClock()")
        wait_until(ended, "the page's end of script")
        page.ctrl("q")
        page.wait_for("kelpaPage.hasEnded()", "the end of the program", 10)
        if page.errors:
            raise Failure("the page threw: %s" % page.errors)
    finally:
        if process:
            process.terminate()
            process.wait(10)
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)
    with open(os.path.join(out, "browser.log"), "w", encoding="utf-8") as f:
        f.write("".join(text))
    return "".join(text).splitlines()


def main():
    chaser, replay, web_build, script, out = map(os.path.abspath, sys.argv[1:6])
    for tool in ("xvfb-run", "xdotool", "chromium"):
        if not shutil.which(tool):
            print("FAIL: %s is missing (scripts/test installs what this test needs)" % tool, file=sys.stderr)
            return 1
    if not os.environ.get("KELPA_HOSTS_UNDER_XVFB"):
        os.environ["KELPA_HOSTS_UNDER_XVFB"] = "1"
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", sys.executable] + sys.argv)
    os.makedirs(out, exist_ok=True)
    try:
        logs = {"headless": headless(replay, script, out), "sdl2": sdl2(chaser, script, out),
                "browser": browser(web_build, script, out)}
    except (Failure, chaser_web.Failure, subprocess.SubprocessError) as e:
        print("FAIL:", e, file=sys.stderr)
        return 1
    for host, lines in logs.items():
        if EOF_LINE not in lines:
            print("FAIL: the %s log has no %r (logs in %s)" % (host, EOF_LINE, out), file=sys.stderr)
            return 1
        del lines[lines.index(EOF_LINE) + 1:]  # what the game drew after the script is its own
    longest = max(len(lines) for lines in logs.values())
    for i in range(longest):
        seen = {host: lines[i] if i < len(lines) else "(no more lines)" for host, lines in logs.items()}
        if len(set(seen.values())) > 1:
            print("FAIL: the logs differ at line %d (logs in %s):" % (i + 1, out), file=sys.stderr)
            for host, line in seen.items():
                print("  %-8s %s" % (host, line), file=sys.stderr)
            return 1
    print("PASS: %d lines agreed on %s" % (longest, ", ".join(logs)))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""The game as one page opened from disk, as a person double-clicks it: the page is copied
alone into a folder of its own, and Debian's chromium (headless, a fresh profile, no flags
that loosen what a file:// page may do) opens it from there; driven over the DevTools
protocol as the browser test drives the served page (tests/web/chaser_web.py). Checks: the
first frame, with both windows and the panel's keys; "l" three times moves the player right;
a recording (Ctrl+R, keys, Ctrl+R) reaches the browser's storage, is still KELPA.SCR after a
reload and plays back (Ctrl+P); after the browser is closed and started again on the same
profile it is still there, downloads, and a script loaded from disk replaces it. Prints the
page's size, plain and gzipped (gzip -9); saves screenshots into SHOTS_DIR.
Usage: page_file.py PATH/TO/chaser.html SHOTS_DIR"""
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
import chaser_web  # noqa: E402 (the page's DevTools driver)
from chaser_web import YELLOW, Failure  # noqa: E402

WAIT = 30  # seconds for anything the page is to do: generous, for a loaded machine


def moves_right(page, what):
    """Waits for the player to be at least 10 pixels right of where it started."""
    goal = "__t.find([255,255,0],[0,20,601,540])[1] >= %d" % (page.centre + 10)
    if not page.until(goal, WAIT):
        raise Failure("%s did not move the player right: x %d, then %s" % (what, page.centre, page.find(YELLOW)))


def stored(page, text):
    """Waits for KELPA.SCR in the browser's storage (what a reload finds) to be text."""
    if not page.until("__t.stored().then(v => v === %s)" % json.dumps(text), WAIT):
        raise Failure("KELPA.SCR in the browser's storage is %r, not %r" % (page.js("__t.stored()"), text))


def kept(page, script, what):
    """KELPA.SCR as the page finds it on opening: the recording, in its folder and on the panel."""
    found = page.wait_for("kelpaPage.status() === 'Running.' && (__t.script() || 'none')", "KELPA.SCR " + what)
    info = page.js("__t.fileinfo()")
    if found != script or info != "KELPA.SCR: %d bytes." % len(script):
        raise Failure("KELPA.SCR %s: %r, the panel says %r" % (what, found, info))


def first_run(page, url, shots, report):
    chaser_web.start_page(page, url, report)
    keys = page.js("[...document.querySelectorAll('#keys tr td:first-child')].map(c => c.textContent)")
    if keys[:2] != ["i j k l", "p"] or "Ctrl+R" not in keys:
        raise Failure("the keys panel lists %s" % keys)
    if page.js("__t.fileinfo()") != "No script file yet.":
        raise Failure("a fresh profile, yet the panel says %r" % page.js("__t.fileinfo()"))
    for _ in range(3):
        page.key("l", "KeyL", 76)
    moves_right(page, "lll")
    report.append("first frame with both windows and the keys panel; lll moves the player right")
    page.screenshot(os.path.join(shots, "page-file.png"))

    page.ctrl("r")
    for _ in range(2):
        time.sleep(0.2)  # a tick or two between the keys, as a person types
        page.key("l", "KeyL", 76)
    page.ctrl("r")
    script = page.wait_for("!kelpaPage.scriptInUse() && __t.script()", "the recording's end")
    keys = [line for line in script.splitlines() if line.startswith("KELPA_KBD")]
    if keys != ["KELPA_KBD(108);"] * 2:
        raise Failure("recorded keys: %s" % keys)
    stored(page, script)
    report.append("recorded %d lines, in the browser's storage" % len(script.splitlines()))

    page.open("the reload", reload=True)
    kept(page, script, "after a reload")
    page.ctrl("p")
    moves_right(page, "the recording played back after a reload")
    report.append("after a reload: KELPA.SCR kept, Ctrl+P plays it")
    page.screenshot(os.path.join(shots, "page-file-reloaded.png"))
    return script


def second_run(page, url, shots, script, report):
    chaser_web.start_page(page, url, report)
    kept(page, script, "after the browser started again")
    page.call("Page.setDownloadBehavior", behavior="allow", downloadPath=shots)
    downloaded = os.path.join(shots, "KELPA.SCR")
    if os.path.exists(downloaded):
        os.remove(downloaded)
    page.click_element("#download")
    end = time.time() + WAIT
    while not (os.path.exists(downloaded) and open(downloaded).read() == script):
        if time.time() > end:
            raise Failure("the download of KELPA.SCR did not arrive")
        time.sleep(0.1)
    from_disk = os.path.join(shots, "from-disk.scr")
    text = "KELPA_KBD(108);\nKELPA_PERIODIC(10);\n"
    with open(from_disk, "w") as f:
        f.write(text)
    said = page.load(from_disk)
    if not said.startswith("Loaded from-disk.scr") or page.js("__t.script()") != text:
        raise Failure("loading a script from disk: %r" % said)
    stored(page, text)
    report.append("after the browser started again: KELPA.SCR kept, downloaded, replaced from disk")


def sizes(path):
    with open(path, "rb") as f:
        packed = subprocess.run(["gzip", "-9c"], stdin=f, stdout=subprocess.PIPE, check=True).stdout
    return os.path.getsize(path), len(packed)


def main():
    source, shots = os.path.abspath(sys.argv[1]), sys.argv[2]
    os.makedirs(shots, exist_ok=True)
    print("%s: %d bytes, %d gzipped (gzip -9)" % ((os.path.basename(source),) + sizes(source)))
    folder = tempfile.mkdtemp(prefix="kelpa-page-")
    profile = tempfile.mkdtemp(prefix="kelpa-chromium-")
    browser = page = None
    report = []
    try:
        # Alone in its folder: nothing beside the page is there to load.
        url = pathlib.Path(shutil.copy(source, folder)).as_uri()
        browser, page = chaser_web.start_browser(profile)
        script = first_run(page, url, shots, report)
        errors = page.errors
        # Closed and opened again, as a person comes back to the game another day.
        chaser_web.stop_browser(browser, grace=30)  # a clean close writes the storage out
        browser, page = chaser_web.start_browser(profile)
        second_run(page, url, shots, script, report)
        if errors + page.errors:
            raise Failure("the page threw: %s" % (errors + page.errors))
        print("\n".join(report))
        print("PASS")
        return 0
    except (Failure, chaser_web.websocket.WebSocketTimeoutException) as e:
        if not isinstance(e, Failure):
            e = "no answer from the browser within %d s" % page.ws.gettimeout()
        print("\n".join(report))
        status = ""
        try:
            status = " (the page's status: %r)" % page.js("kelpaPage.status()")
            page.screenshot(os.path.join(shots, "page-file-failure.png"))
        except Exception:  # the browser or the page may be what failed
            pass
        print("FAIL: %s%s" % (e, status), file=sys.stderr)
        return 1
    finally:
        if browser:
            chaser_web.stop_browser(browser)
        shutil.rmtree(profile, ignore_errors=True)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())

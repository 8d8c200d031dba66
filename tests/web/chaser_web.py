#!/usr/bin/python3
"""The game in a real browser: serves the WebAssembly build on 127.0.0.1, starts Debian's
chromium headless and drives the page over the DevTools protocol as a person would, with
keys and clicks, reading what the canvases show. Checks: both windows appear; "l" moves the
player right; "Change Color" turns it cyan; "Halt animation" from the Run menu stops the
picture; a recording (Ctrl+R, keys, Ctrl+R) replays after "Restart" (Ctrl+P); Ctrl+Q ends the
program; the recording survives a reload; a script loaded from disk while a recording or a
playback runs ends it first and replaces KELPA.SCR whole; the panel lists the keys. Saves
screenshots of the page.
With a device scale factor (a whole number), checks the page on such a screen instead.
Usage: chaser_web.py build-web-dir shots-dir [device-scale-factor]"""
import base64
import collections
import functools
import http.server
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import zlib

import websocket

YELLOW, CYAN, MENU_FACE = (255, 255, 0), (0, 255, 255), (212, 208, 200)

# The game seeds its random source from the clock as it starts, and a pick-up in the player's
# way may teleport it. Until the test lets go (after the first frame), the page's clock reads
# an instant whose game has no pick-up on the paths below: right from the centre to the edge
# and down it, and, after one Restart, right and down from the centre.
FROZEN_CLOCK = r"""
(() => {
  const now = Date.now;
  let frozen = true;
  Date.now = () => frozen ? 1700000000000 : now.call(Date);
  window.__releaseClock = () => { frozen = false; };
})();
"""

# Reads the graphics window's canvas: the menu bar is rows 0..19, the client area below it.
# The canvas is the window's surface, its outer size less the page's frame; its backing store
# holds k x k device pixels for each of the surface's, and is read back one pixel a block.
PAGE_HELPERS = r"""
// Ctrl+letter key-downs as they leave the page: whether the browser may still act on them.
window.__ctrlKeys = window.__ctrlKeys || [];
addEventListener('keydown', e => {
  if (e.ctrlKey && e.key.length === 1) __ctrlKeys.push(e.key + (e.defaultPrevented ? '' : '!'));
});
window.__t = {
  frame(title) {
    return [...document.querySelectorAll('.frame')].find(
        f => f.querySelector('.caption span').textContent === title);
  },
  pixels(x0, y0, x1, y1) {
    const c = this.frame('KELPA Graphics').querySelector('canvas');
    const k = c.width / c.offsetWidth, w = x1 - x0, h = y1 - y0;
    const px = c.getContext('2d').getImageData(x0 * k, y0 * k, w * k, h * k).data;
    if (k === 1) return px;
    const out = new Uint8ClampedArray(w * h * 4);
    for (let y = 0; y < h; ++y)
      for (let x = 0; x < w; ++x)
        out.set(px.subarray((y * k * w * k + x * k) * 4, (y * k * w * k + x * k) * 4 + 4), (y * w + x) * 4);
    return out;
  },
  find(rgb, box) {
    const px = this.pixels(...box), w = box[2] - box[0];
    let n = 0, sx = 0, sy = 0;
    for (let i = 0; i < px.length; i += 4)
      if (px[i] === rgb[0] && px[i + 1] === rgb[1] && px[i + 2] === rgb[2]) {
        ++n; sx += (i / 4) % w; sy += Math.floor(i / 4 / w);
      }
    return n ? [n, box[0] + Math.floor(sx / n), box[1] + Math.floor(sy / n)] : [0, -1, -1];
  },
  digest() {
    const c = this.frame('KELPA Graphics').querySelector('canvas');
    const px = this.pixels(0, 20, c.offsetWidth, c.offsetHeight);
    let h = 0;
    for (let i = 0; i < px.length; ++i) h = (h * 31 + px[i]) | 0;
    return h;
  },
  // Each canvas's backing store and CSS size: [width, height, CSS width, CSS height].
  stores() {
    return [...document.querySelectorAll('.frame canvas')].map(
        c => [c.width, c.height, c.offsetWidth, c.offsetHeight]);
  },
  scaled(k) {
    const s = this.stores();
    return s.length === 2 && s.every(([w, h, cw, ch]) => w === k * cw && h === k * ch);
  },
  outer(title) {
    const f = this.frame(title);
    return [f.offsetLeft, f.offsetTop, f.offsetWidth, f.offsetHeight];
  },
  rect(title) {
    const r = this.frame(title).querySelector('canvas').getBoundingClientRect();
    return [r.left, r.top, r.width, r.height];
  },
  script() {
    try { return FS.readFile('/kelpa/KELPA.SCR', { encoding: 'utf8' }); } catch (e) { return null; }
  },
  // KELPA.SCR as the browser's storage holds it (what a reload would find).
  stored() {
    return new Promise(resolve => {
      const open = indexedDB.open('/kelpa');
      open.onupgradeneeded = () => open.transaction.abort(); // no such database: none is made
      open.onerror = () => resolve(null);
      open.onsuccess = () => {
        const db = open.result;
        const get = db.transaction('FILE_DATA').objectStore('FILE_DATA').get('/kelpa/KELPA.SCR');
        get.onsuccess = () => {
          db.close();
          resolve(get.result ? new TextDecoder().decode(get.result.contents) : null);
        };
        get.onerror = () => { db.close(); resolve(null); };
      };
    });
  },
  fileinfo() { return document.getElementById('fileinfo').textContent; },
};
"""


class Failure(Exception):
    pass


class Page:
    def __init__(self, ws_url):
        self.ws = websocket.create_connection(ws_url, timeout=30, suppress_origin=True)
        self.next_id = 0
        self.errors = []  # exceptions the page's scripts threw
        self.on_event = None  # called with (method, params) for each event that arrives
        self.seen = set()  # the methods of the events that arrived

    def receive(self):
        reply = json.loads(self.ws.recv())
        if reply.get("method") == "Runtime.exceptionThrown":
            self.errors.append(reply["params"]["exceptionDetails"].get("text", "?"))
        if "method" in reply:
            self.seen.add(reply["method"])
            if self.on_event:
                self.on_event(reply["method"], reply["params"])
        return reply

    def call(self, method, **params):
        self.next_id += 1
        self.ws.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            reply = self.receive()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise Failure("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})

    def js(self, expression):
        r = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in r:
            raise Failure("page script failed: %s" % r["exceptionDetails"].get("text"))
        return r["result"].get("value")

    def until(self, expression, seconds=15):
        """The expression's first true value within the time, else None."""
        end = time.time() + seconds
        while time.time() < end:
            value = self.js(expression)
            if value:
                return value
            time.sleep(0.1)
        return None

    def wait_for(self, expression, what, seconds=15):
        value = self.until(expression, seconds)
        if not value:
            raise Failure("timed out waiting for " + what)
        return value

    def key(self, key, code, vk, ctrl=False, text=None):
        mods = 2 if ctrl else 0
        if text is None:
            text = "" if ctrl else key
        self.call("Input.dispatchKeyEvent", type="keyDown", key=key, code=code,
                  windowsVirtualKeyCode=vk, modifiers=mods, text=text)
        self.call("Input.dispatchKeyEvent", type="keyUp", key=key, code=code,
                  windowsVirtualKeyCode=vk, modifiers=mods)

    def ctrl(self, letter):
        self.call("Input.dispatchKeyEvent", type="rawKeyDown", key="Control", code="ControlLeft",
                  windowsVirtualKeyCode=17, modifiers=2)
        self.key(letter.lower(), "Key" + letter.upper(), ord(letter.upper()), ctrl=True)
        self.call("Input.dispatchKeyEvent", type="keyUp", key="Control", code="ControlLeft",
                  windowsVirtualKeyCode=17)

    def click(self, x, y, title="KELPA Graphics"):
        left, top, _, _ = self.js("__t.rect(%s)" % json.dumps(title))
        self.click_page(left + x, top + y)

    def click_element(self, selector):
        r = self.js("(r => [r.left + r.width / 2, r.top + r.height / 2])("
                    "document.querySelector(%s).getBoundingClientRect())" % json.dumps(selector))
        self.click_page(*r)

    def click_page(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                      clickCount=1)

    def at(self, x, y):
        """The canvas pixel of the centred point (x, y): the origin is the client area's centre."""
        _, _, width, height = self.js("__t.rect('KELPA Graphics')")
        return int(width) // 2 + x, 20 + (int(height) - 20) // 2 - y

    def find(self, rgb, box=(0, 20, 601, 540)):
        return self.js("__t.find(%s, %s)" % (json.dumps(list(rgb)), json.dumps(list(box))))

    def load(self, path):
        """Chooses the file in the page's "Load a script" input; returns what the page then says."""
        root = self.call("DOM.getDocument")["root"]["nodeId"]
        node = self.call("DOM.querySelector", nodeId=root, selector="#load")["nodeId"]
        self.js("document.getElementById('fileinfo').textContent = ''")
        self.call("DOM.setFileInputFiles", files=[path], nodeId=node)
        name = json.dumps(os.path.basename(path))
        return self.wait_for("(t => t.includes(%s) && !t.startsWith('Loading') && t)(__t.fileinfo())" % name,
                             "the page's word on loading " + path)

    def open(self, what, reload=False):
        """Loads the page and waits for the game's first frame, drawn from the frozen clock's seed."""
        if reload:
            # Nothing is asked of the page until the new document has loaded: the old one may
            # still answer, or none, while the reload begins.
            self.seen.discard("Page.loadEventFired")
            self.call("Page.reload")
            try:
                while "Page.loadEventFired" not in self.seen:
                    self.receive()
            except websocket.WebSocketTimeoutException:
                raise Failure("no load event within %d s of the reload" % self.ws.gettimeout())
        # Generous: a loaded machine may take long to compile the WebAssembly.
        self.wait_for("typeof kelpaPage === 'object' && document.readyState === 'complete'", what, 60)
        self.js(PAGE_HELPERS)
        self.wait_for("__t.frame('KELPA Graphics') && __t.frame('KELPA Text') && "
                      "__t.find([255,255,0],[0,20,601,540])[0] > 300", "the first frame with both windows", 60)
        self.js("__releaseClock()")
        self.centre = self.find(YELLOW)[1]  # the player starts at (0, 0)

    def restart(self, wait=True):
        """Clicks "Restart" and waits for the new game's player at the centre (drawn by the next
        tick, so only while the game animates)."""
        self.click(*self.at(-145, 235))
        if not wait:
            return None
        if not self.until("__t.find([255,255,0],[0,20,601,540])[1] === %d" % self.centre, 10):
            raise Failure("no new game's player at x %d after Restart: %s" % (self.centre, self.find(YELLOW)))
        return self.centre

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))


def serve(root):
    class Quiet(http.server.SimpleHTTPRequestHandler):
        extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=root))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def stop_browser(browser, grace=5):
    """Ends the browser, closing its profile, by force if it does not end within grace seconds."""
    browser.terminate()
    try:
        browser.wait(grace)
    except subprocess.TimeoutExpired:
        browser.kill()
        browser.wait()


def start_browser(profile, ratio=None):
    port_file = os.path.join(profile, "DevToolsActivePort")
    if os.path.exists(port_file):  # the port of an earlier browser on this profile
        os.remove(port_file)
    browser = subprocess.Popen(
        ["chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--no-default-browser-check", "--disable-extensions", "--remote-debugging-address=127.0.0.1",
         "--remote-debugging-port=0", "--user-data-dir=" + profile, "--window-size=1000,900"]
        + (["--force-device-scale-factor=%d" % ratio] if ratio else []) + ["about:blank"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    end = time.time() + 30
    while not os.path.exists(port_file) or os.path.getsize(port_file) == 0:
        if time.time() > end or browser.poll() is not None:
            browser.kill()
            raise Failure("chromium did not start its DevTools endpoint")
        time.sleep(0.1)
    port = open(port_file).read().split()[0]
    with urllib.request.urlopen("http://127.0.0.1:%s/json/list" % port) as r:
        targets = json.load(r)
    page = next(t for t in targets if t["type"] == "page")
    return browser, Page(page["webSocketDebuggerUrl"])


def player_xs(page, colour, samples=3, gap=0.3):
    xs = []
    for _ in range(samples):
        time.sleep(gap)
        xs.append(page.find(colour)[1])
    return xs


def moved_right(start, xs):
    points = [start] + xs
    return all(b >= a for a, b in zip(points, points[1:])) and xs[-1] >= start + 10


def start_page(page, url, report):
    page.call("Page.enable")
    page.call("Runtime.enable")
    page.call("Emulation.setFocusEmulationEnabled", enabled=True)
    page.call("Page.addScriptToEvaluateOnNewDocument", source=FROZEN_CLOCK)
    t0 = time.time()
    page.call("Page.navigate", url=url)
    page.open("the page")
    report.append("first frame after %.1f s" % (time.time() - t0))


def steer_right(page, report):
    x_start = page.centre
    for _ in range(3):
        page.key("l", "KeyL", 76)
    xs = player_xs(page, YELLOW)
    if not moved_right(x_start, xs):
        raise Failure("the player did not move right after lll: x %d, %s" % (x_start, xs))
    report.append("lll: x %d -> %s, %.0f px/s" % (x_start, xs, (xs[-1] - xs[0]) / 0.6))


def change_colour(page, report):
    page.click(*page.at(-245, 235))  # "Change Color"
    page.until("__t.find([0,255,255],[0,20,601,540])[0] >= 300", 5)
    n_cyan, n_yellow = page.find(CYAN)[0], page.find(YELLOW)[0]
    if n_cyan < 300 or n_yellow > 50:
        raise Failure("not cyan after Change Color: %d cyan, %d yellow pixels" % (n_cyan, n_yellow))
    report.append("Change Color: %d cyan pixels" % n_cyan)


def run(page, url, shots):
    report = []
    start_page(page, url, report)
    # Outer sizes and places as the program asked: (0, 0) 601 x 540 and (0, 550) 601 wide.
    g, t = page.js("__t.outer('KELPA Graphics')"), page.js("__t.outer('KELPA Text')")
    if g != [0, 0, 601, 540] or t[:3] != [0, 550, 601]:
        raise Failure("windows at %s and %s" % (g, t))
    # The panel lists the game's keys, then the Run menu's commands by their Ctrl keys.
    rows = page.js("[...document.querySelectorAll('#keys tr')]"
                   ".map(r => [...r.cells].map(c => c.textContent))")
    wanted = [("i j k l", "steer"), ("p", "pause"), ("Ctrl+A", "Animate"), ("Ctrl+H", "Halt animation"),
              ("Ctrl+F", "Advance one frame"), ("Ctrl+L", "Logging"), ("Ctrl+R", "Record Script"),
              ("Ctrl+P", "Playback Script"), ("Ctrl+O", "Play One Script"), ("Ctrl+Q", "Quit")]
    if [k for k, _ in rows] != [k for k, _ in wanted] or any(
            not text.startswith(start) for (_, text), (_, start) in zip(rows, wanted)):
        raise Failure("the keys panel lists %s" % rows)
    report.append("keys panel: %s" % ", ".join(k for k, _ in rows))
    page.screenshot(os.path.join(shots, "start.png"))

    steer_right(page, report)
    change_colour(page, report)

    page.click(17, 10)  # "Run" on the menu bar
    menu_open = "__t.find(%s, [0, 20, 200, 300])[0]" % json.dumps(list(MENU_FACE))
    if not page.until(menu_open + " >= 5000", 5):
        raise Failure("the Run menu did not open: %d pixels of menu face" % page.js(menu_open))
    page.screenshot(os.path.join(shots, "run-menu.png"))
    page.click(60, 52)  # "Halt animation", the pop-up's second line
    page.wait_for(menu_open + " === 0", "the Run menu to close", 5)
    time.sleep(0.3)  # a periodic event armed before the halt still comes
    d1 = page.js("__t.digest()")
    time.sleep(1.0)
    d2 = page.js("__t.digest()")
    n_face = page.find(MENU_FACE, (0, 20, 200, 300))[0]
    if d1 != d2 or n_face:
        raise Failure("after Halt animation: picture %s, %d pixels of menu left"
                      % ("same" if d1 == d2 else "changing", n_face))
    report.append("Run menu > Halt animation: picture still for 1 s")

    page.ctrl("a")
    page.ctrl("r")
    time.sleep(0.3)
    # An e-acute typed on a French keyboard arrives as 233, recorded as the signed byte -23;
    # keys typed into the text window reach the program too.
    for key, code, vk in (("l", "KeyL", 76), ("l", "KeyL", 76), ("\u00e9", "Digit2", 50)):
        page.key(key, code, vk)
        time.sleep(0.2)
    page.click(300, 50, "KELPA Text")
    page.key("k", "KeyK", 75)
    time.sleep(0.2)
    page.ctrl("r")
    script = page.wait_for("__t.script()", "KELPA.SCR")
    keys = [line for line in script.splitlines() if line.startswith("KELPA_KBD")]
    if keys != ["KELPA_KBD(108);", "KELPA_KBD(108);", "KELPA_KBD(-23);", "KELPA_KBD(107);"]:
        raise Failure("recorded keys: %s" % keys)
    report.append("recorded %d lines, keys %s" % (len(script.splitlines()), " ".join(keys)))

    x_restart = page.restart()  # a new game starts in the first colour
    page.ctrl("p")
    xs = player_xs(page, YELLOW, samples=4, gap=0.25)
    if not moved_right(x_restart, xs):
        raise Failure("playback did not move the player right: x %d, %s" % (x_restart, xs))
    report.append("Restart, Ctrl+P: x %d -> %s" % (x_restart, xs))
    time.sleep(1.0)
    page.screenshot(os.path.join(shots, "chaser-web.png"))

    page.ctrl("q")
    page.wait_for("kelpaPage.hasEnded()", "the end of the program", 5)
    ctrl_keys = page.js("__ctrlKeys")
    if ctrl_keys != ["a", "r", "r", "p", "q"]:
        raise Failure("Ctrl keys left to the browser (marked !): %s" % ctrl_keys)
    status = page.js("kelpaPage.status()")
    if "The program has ended" not in status:
        raise Failure("status line after Ctrl+Q: %r" % status)
    report.append("Ctrl+Q: %r; Ctrl keys kept from the browser: %s" % (status, " ".join(ctrl_keys)))

    page.open("the reload", reload=True)
    kept = page.wait_for("kelpaPage.status() === 'Running.' && __t.script()", "KELPA.SCR after a reload")
    if kept != script:
        raise Failure("KELPA.SCR changed across a reload")
    report.append("KELPA.SCR kept across a reload")

    # The recording as a download, and a script from disk played back.
    page.call("Page.setDownloadBehavior", behavior="allow", downloadPath=shots)
    downloaded = os.path.join(shots, "KELPA.SCR")
    if os.path.exists(downloaded):
        os.remove(downloaded)
    page.click_element("#download")
    end = time.time() + 10
    while not (os.path.exists(downloaded) and open(downloaded).read() == script):
        if time.time() > end:
            raise Failure("the download of KELPA.SCR did not arrive")
        time.sleep(0.1)
    from_disk = os.path.join(shots, "from-disk.scr")
    with open(from_disk, "w") as f:
        f.write("KELPA_KBD(108);\nKELPA_KBD(108);\nKELPA_KBD(108);\nKELPA_PERIODIC(10);\n")
    said = page.load(from_disk)
    if not said.startswith("Loaded from-disk.scr") or page.js("__t.script()") != open(from_disk).read():
        raise Failure("loading a script from disk: %r" % said)
    # The game has run since the reload, the download's time included, and may be over by
    # now; a fresh one, halted, is where the keys can show. The click also takes the focus
    # back from the file input.
    x_loaded = page.restart()
    page.ctrl("h")
    page.ctrl("p")
    # Three keys l, then ten ticks: 150 pixels right, and no further.
    if not page.until("__t.find([255,255,0],[0,20,601,540])[1] === %d" % (x_loaded + 150), 5):
        raise Failure("the script from disk did not move the player 150 pixels right: x %d, %s"
                      % (x_loaded, player_xs(page, YELLOW)))
    report.append("downloaded KELPA.SCR; a script from disk played: x %d -> %d" % (x_loaded, x_loaded + 150))

    # Loading while the program uses KELPA.SCR ends that use first, and the loaded text
    # replaces the file whole. Playing the loaded script clicks "Change Color".
    def script_file(name, text):
        path = os.path.join(shots, name)
        with open(path, "w") as f:
            f.write(text)
        return path, text
    colour_script, colour_text = script_file("colour.scr", "KELPA_MOUSE(-245, 235);\n")
    ticks_script, _ = script_file("ticks.scr", "KELPA_PERIODIC(1000000);\n")
    field = page.at(250, -200)  # no button there
    page.ctrl("r")
    page.click(*field)
    page.wait_for("(__t.script() || '').includes('KELPA_MOUSE(')", "the recorded click")
    said = page.load(colour_script)
    page.click(*field)  # not recorded: the recording has ended
    time.sleep(0.5)
    kept = page.until("__t.stored().then(v => v === %s)" % json.dumps(colour_text), 5)
    if not said.startswith("Recording stopped") or page.js("__t.script()") != colour_text or not kept:
        raise Failure("loading while recording: the page said %r; KELPA.SCR %r, in storage %r"
                      % (said, page.js("__t.script()"), page.js("__t.stored()")))
    report.append("loaded while recording: %r" % said)

    for command, key, word in (("Playback Script", "p", "Playback stopped"),
                               ("Play One Script", "o", "Loaded")):
        page.load(ticks_script)
        page.restart(wait=False)  # halted since the last playback; the key's ticks draw it
        page.ctrl(key)  # Play One reads one tick, which draws the new game
        page.wait_for("__t.find([255,255,0],[0,20,601,540])[0] > 300", "the player drawn by " + command)
        said = page.load(colour_script)
        if not said.startswith(word) or page.js("__t.script()") != colour_text:
            raise Failure("loading during %s: %r, KELPA.SCR %r" % (command, said, page.js("__t.script()")))
        page.ctrl("p")
        if not page.until("__t.find([0,255,255],[0,20,601,540])[0] > 300", 5):
            raise Failure("after loading during %s, Playback Script did not play the loaded script" % command)
        report.append("loaded during %s: %r" % (command, said))
    page.screenshot(os.path.join(shots, "loaded.png"))
    if page.errors:
        raise Failure("the page threw: %s" % page.errors)
    return report


# KELPA's colour table (graphics/colors.cpp): all the client area is drawn in.
PALETTE = {(0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0),
           (255, 0, 255), (0, 255, 255), (153, 0, 204), (0, 51, 153), (153, 102, 153), (153, 255, 255),
           (153, 255, 204), (255, 102, 0), (153, 102, 51), (255, 153, 204), (255, 255, 153),
           (204, 153, 51), (255, 153, 102), (0, 102, 51), (51, 204, 153), (153, 153, 51),
           (128, 128, 128), (204, 204, 204)}


def png_rows(data):
    """The rows of RGB triples of an 8-bit RGB or RGBA PNG without interlacing (what
    chromium's screenshots are)."""
    pos, idat = 8, b""
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IHDR":
            width, height, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", data[pos + 8:pos + 21])
        elif kind == b"IDAT":
            idat += data[pos + 8:pos + 8 + n]
        pos += 12 + n
    if depth != 8 or ctype not in (2, 6) or interlace:
        raise Failure("screenshot PNG of depth %d, colour type %d, interlace %d" % (depth, ctype, interlace))
    bpp = 3 if ctype == 2 else 4
    raw, stride, prev, rows = zlib.decompress(idat), width * bpp, bytearray(width * bpp), []
    for y in range(height):
        start = y * (stride + 1) + 1
        kind, line = raw[start - 1], bytearray(raw[start:start + stride])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = prev[i], prev[i - bpp] if i >= bpp else 0
            if kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                a = a if pa <= pb and pa <= pc else b if pb <= pc else c
            line[i] = (line[i] + (0, a, b, (a + b) // 2, a)[kind]) & 255
        rows.append([tuple(line[i:i + 3]) for i in range(0, stride, bpp)])
        prev = line
    return rows


def run_scaled(page, url, shots, ratio):
    """The page on a screen of `ratio` device pixels per CSS pixel (chromium's
    --force-device-scale-factor, a whole number): backing stores that many times the canvases'
    CSS sizes, the picture on screen in whole blocks of the table's colours (smoothing would
    blend a shape's edge), keys and clicks as at 1 x; then the page follows changes of the ratio."""
    report = []
    start_page(page, url, report)
    if page.js("devicePixelRatio") != ratio:
        raise Failure("devicePixelRatio %s, not %s" % (page.js("devicePixelRatio"), ratio))
    stores = page.js("__t.stores()")
    if not page.js("__t.scaled(%d)" % ratio) or page.js("__t.outer('KELPA Graphics')") != [0, 0, 601, 540]:
        raise Failure("at %s x: backing stores and CSS sizes %s, graphics window at %s"
                      % (ratio, stores, page.js("__t.outer('KELPA Graphics')")))
    report.append("backing stores at %s x: %s" % (ratio, stores))

    # The player's disc, 41 pixels across, on the white field: its edges and eyes as shown.
    left, top, _, _ = page.js("__t.rect('KELPA Graphics')")
    x, y = page.centre, page.at(0, 0)[1]
    clip = dict(x=left + x - 30, y=top + y - 30, width=60, height=60, scale=1)
    rows = png_rows(base64.b64decode(page.call("Page.captureScreenshot", format="png", clip=clip)["data"]))
    seen = collections.Counter(p for row in rows for p in row)
    stray = {c: n for c, n in seen.items() if c not in PALETTE}
    blocks = all(p == rows[j - j % ratio][i - i % ratio] for j, row in enumerate(rows) for i, p in enumerate(row))
    if len(rows) != 60 * ratio or stray or not blocks or seen[YELLOW] < 1000 * ratio * ratio:
        raise Failure("the disc on screen: %d rows, colours %s, outside the table %s, %s"
                      % (len(rows), dict(seen.most_common(4)), stray,
                         "whole blocks" if blocks else "not whole blocks"))
    report.append("the disc on screen: %d x %d device pixels, colours %s, in %d x %d blocks"
                  % (len(rows[0]), len(rows), sorted(seen), ratio, ratio))

    steer_right(page, report)
    change_colour(page, report)
    page.screenshot(os.path.join(shots, "chaser-web-%sx.png" % ratio))

    # The ratio changed, then the viewport's size, as a browser's zoom changes both. (Chromium's
    # emulation tells the page's media queries of a new ratio late or never, and may tell of a
    # new size before the ratio has changed.) Whole multiples, the whole part of a fractional
    # ratio; the picture, halted, the same at each.
    page.ctrl("h")
    time.sleep(0.3)  # a periodic event armed before the halt still comes
    picture = page.js("__t.digest()")
    width = 0
    for dpr, k in ((3, 3), (1.5, 1)):
        page.call("Emulation.setDeviceMetricsOverride", width=width, height=900 if width else 0,
                  deviceScaleFactor=dpr, mobile=False)
        page.wait_for("devicePixelRatio === %s" % dpr, "a ratio of %s" % dpr, 5)
        width = 990 - 10 * k
        page.call("Emulation.setDeviceMetricsOverride", width=width, height=900, deviceScaleFactor=dpr, mobile=False)
        if not page.until("__t.scaled(%d)" % k, 5) or page.js("__t.digest()") != picture:
            raise Failure("at a ratio of %s: backing stores %s, the picture %s" % (
                dpr, page.js("__t.stores()"), "the same" if page.js("__t.digest()") == picture else "changed"))
        report.append("ratio %s: backing stores at %d x, the same picture" % (dpr, k))
    if page.errors:
        raise Failure("the page threw: %s" % page.errors)
    return report


def main():
    root, shots = sys.argv[1], sys.argv[2]
    ratio = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    os.makedirs(shots, exist_ok=True)
    server = serve(root)
    profile = tempfile.mkdtemp(prefix="kelpa-chromium-")
    browser = None
    try:
        browser, page = start_browser(profile, ratio)
        url = "http://127.0.0.1:%d/game/chaser.html" % server.server_address[1]
        for line in (run_scaled(page, url, shots, ratio) if ratio else run(page, url, shots)):
            print(line)
        print("PASS")
        return 0
    except Failure as e:
        print("FAIL:", e, file=sys.stderr)
        try:
            page.screenshot(os.path.join(shots, "failure.png"))
        except Exception:  # the browser may be what failed
            pass
        return 1
    finally:
        if browser:
            stop_browser(browser)
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())

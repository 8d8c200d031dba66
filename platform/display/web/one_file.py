#!/usr/bin/env python3
"""Makes a program's page one self-contained file, which plays opened from disk: emcc wrote
NAME.html to load NAME.js and NAME.wasm from beside it; afterwards the script is inside the
page, and so is the WebAssembly, gzip-compressed in base64 (a third of the size of the plain
base64), which the page inflates with the browser's DecompressionStream. NAME.js and
NAME.wasm are removed. Only the standard library: it runs on the Python emcc runs on.
Usage: one_file.py NAME.html"""
import base64
import gzip
import os
import re
import sys

# Given as Module.instantiateWasm, emscripten's runtime hands over the imports and waits for
# receive() instead of fetching NAME.wasm, which a page from disk may not do.
LOADER = """<script>
Module.instantiateWasm = (imports, receive) => {
  const packed = Uint8Array.from(atob('%s'), c => c.charCodeAt(0));
  new Response(new Blob([packed]).stream().pipeThrough(new DecompressionStream('gzip'))).arrayBuffer()
    .then(bytes => WebAssembly.instantiate(bytes, imports))
    .then(r => receive(r.instance, r.module), e => abort('could not load the program: ' + e));
  return {}; // the exports come with receive()
};
</script>
"""


def main():
    page_path = sys.argv[1]
    stem = os.path.splitext(page_path)[0]
    name = os.path.basename(stem)
    with open(page_path, encoding="utf-8") as f:
        page = f.read()
    with open(stem + ".js", encoding="utf-8") as f:
        script = f.read()
    with open(stem + ".wasm", "rb") as f:
        wasm = f.read()
    tag = '<script async type="text/javascript" src="%s.js"></script>' % name
    if page.count(tag) != 1:
        sys.exit("%s: no single %s to replace" % (page_path, tag))
    # Either would end or confuse the inline script element; neither is in emcc's output today.
    if re.search(r"</script|<!--", script, re.IGNORECASE):
        sys.exit("%s.js: holds </script or <!--, cannot go inside the page" % stem)
    packed = base64.b64encode(gzip.compress(wasm, compresslevel=9, mtime=0)).decode("ascii")
    page = page.replace(tag, LOADER % packed + "<script>\n" + script + "\n</script>")
    with open(page_path + ".tmp", "w", encoding="utf-8") as f:
        f.write(page)
    os.replace(page_path + ".tmp", page_path)
    os.remove(stem + ".js")
    os.remove(stem + ".wasm")


if __name__ == "__main__":
    main()

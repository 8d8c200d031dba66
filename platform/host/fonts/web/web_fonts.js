// The browser's font system for web_fonts.cpp: faces and glyphs from the page's canvas text.
// Heights follow the desktop's font mapper: a positive height is the cell (ascent plus
// descent), a negative one the em, 0 the 16-pixel default cell (13 for the fixed face).
var kelpaFonts = {
  ctx: null,
  fonts: [],
  last: new Uint8Array(0),

  // [ascent, descent, average advance, widest advance, fixed pitch, id]
  // Windows' own user-interface faces: no face imitates them, the browser's sans stands in.
  uiFaces: ['ms shell dlg', 'ms shell dlg 2', 'ms sans serif', 'system'],

  open(face, fixedPitch, height, bold, italic) {
    if (!this.ctx)
      this.ctx = document.createElement('canvas').getContext('2d', { willReadFrequently: true });
    const name = face.replace(/["\\;{}]/g, '');
    // A name the browser does not have gives Arial's place to a face of its widths, as the
    // desktop's font mapper does (Liberation Sans where Arial is not installed).
    const sans = 'Arial, "Liberation Sans", Helvetica, sans-serif';
    let family = name && !this.uiFaces.includes(name.toLowerCase()) ? '"' + name + '", ' + sans : sans;
    if (fixedPitch) {
      family = '"Liberation Mono", "DejaVu Sans Mono", "Courier New", monospace';
      if (height === 0) height = 13;
    }
    const style = (italic ? 'italic ' : '') + (bold ? 'bold ' : '');
    const ctx = this.ctx;
    ctx.font = style + '100px ' + family;
    const probe = ctx.measureText('Hg');
    const a100 = probe.fontBoundingBoxAscent, d100 = probe.fontBoundingBoxDescent;
    if (height === 0) height = 16;
    const em = Math.min(Math.max(height < 0 ? -height : height * 100 / (a100 + d100), 1), 2048);
    const css = style + em + 'px ' + family;
    ctx.font = css;
    const ascent = Math.round(a100 * em / 100);
    const descent = height > 0 ? height - ascent : Math.round(d100 * em / 100);
    let widest = 0;
    for (let c = 32; c < 127; ++c)
      widest = Math.max(widest, Math.round(ctx.measureText(String.fromCharCode(c)).width));
    const average = Math.round(ctx.measureText('abcdefghijklmnopqrstuvwxyz').width / 26);
    const fixed = Math.round(ctx.measureText('i').width) === Math.round(ctx.measureText('W').width);
    this.fonts.push({ css, ascent, descent, em });
    return [ascent, descent, average, widest, fixed ? 1 : 0, this.fonts.length - 1];
  },

  // [width, rows, left, top, advance]; the coverage stays in this.last. (left, top) is the
  // bitmap's corner relative to the pen on the baseline, top > 0 above it. A monochrome glyph
  // is the anti-aliased one cut at a threshold: canvas text has no one-bit rasteriser, and
  // below half, the one-pixel stems that anti-aliasing spreads over two pixels survive.
  draw(id, code, monochrome) {
    const font = this.fonts[id], ctx = this.ctx;
    const text = String.fromCodePoint(code);
    const pad = Math.ceil(font.em / 2) + 2;
    ctx.font = font.css;
    const advance = Math.round(ctx.measureText(text).width);
    const w = advance + 2 * pad, h = font.ascent + font.descent + 2 * pad;
    if (ctx.canvas.width < w || ctx.canvas.height < h) {
      ctx.canvas.width = Math.max(ctx.canvas.width, w);
      ctx.canvas.height = Math.max(ctx.canvas.height, h);
      ctx.font = font.css; // resizing a canvas resets its state
    }
    ctx.clearRect(0, 0, w, h);
    ctx.fillStyle = '#000';
    ctx.textBaseline = 'alphabetic';
    ctx.fillText(text, pad, pad + font.ascent);
    const px = ctx.getImageData(0, 0, w, h).data;
    let x0 = w, y0 = h, x1 = -1, y1 = -1;
    for (let y = 0; y < h; ++y)
      for (let x = 0; x < w; ++x)
        if (px[(y * w + x) * 4 + 3]) {
          x0 = Math.min(x0, x); x1 = Math.max(x1, x);
          y0 = Math.min(y0, y); y1 = Math.max(y1, y);
        }
    const gw = x1 < 0 ? 0 : x1 - x0 + 1, gh = x1 < 0 ? 0 : y1 - y0 + 1;
    const cov = new Uint8Array(gw * gh);
    for (let y = 0; y < gh; ++y)
      for (let x = 0; x < gw; ++x)
        cov[y * gw + x] = px[((y0 + y) * w + x0 + x) * 4 + 3];
    if (monochrome)
      for (let i = 0; i < cov.length; ++i) cov[i] = cov[i] >= 96 ? 255 : 0;
    this.last = cov;
    return [gw, gh, x0 - pad, pad + font.ascent - y0, advance];
  },
};

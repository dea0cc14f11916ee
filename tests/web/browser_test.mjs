// browser_test.mjs: plays the browser build of vorpaline in Debian's chromium and checks what a player sees:
// on a desktop, at a fractional devicePixelRatio, on phones, without WebAssembly or JavaScript, and offline.
// Usage: node tests/web/browser_test.mjs SITE_DIR EXPECTED_LISTING_FILE --reference DIR [--screenshots DIR]
// The canvas is compared with the desktop replay tool's frames in DIR, made by make_reference.sh.
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';
import { readCanvas } from './canvas.mjs';
import { cases, launchChromium } from './harness.mjs';
import { startServer } from './serve.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const args = process.argv.slice(2);
function option(name, fallback) {
    const i = args.indexOf(name);
    return i < 0 ? fallback : args.splice(i, 2)[1];
}
const screenshots = option('--screenshots', null);
const referenceDir = option('--reference', null);
const [siteDir, listingFile] = args;
if (!siteDir || !listingFile || !referenceDir || args.length !== 2) {
    console.error('usage: node tests/web/browser_test.mjs SITE_DIR EXPECTED_LISTING_FILE --reference DIR [--screenshots DIR]');
    process.exit(2);
}
const expectedListing = fs.readFileSync(listingFile, 'utf8').replace(/\n$/, '').split('\n');
const shippedIni = fs.readFileSync(path.join(here, '../../data/krv.ini'), 'utf8');

// An 8-bit BMP as the replay tool writes it, as RGB triples top row first, with its palette.
function readBmp(name) {
    let bytes = fs.readFileSync(path.join(referenceDir, name + '.bmp.gz'));
    bytes = zlib.gunzipSync(bytes);
    const width = bytes.readInt32LE(18), height = bytes.readInt32LE(22);
    if (bytes.readUInt16LE(28) !== 8 || width !== 640 || height !== 480)
        throw new Error(`${name}: not a 640x480 8-bit bitmap`);
    const table = 14 + bytes.readUInt32LE(14), offset = bytes.readUInt32LE(10);
    const palette = [];
    for (let i = 0; i < 256; i++)
        palette.push([bytes[table + 4 * i + 2], bytes[table + 4 * i + 1], bytes[table + 4 * i]]);
    const rgb = new Uint8Array(width * height * 3);
    for (let y = 0; y < height; y++)
        for (let x = 0; x < width; x++)
            rgb.set(palette[bytes[offset + (height - 1 - y) * width + x]], 3 * (y * width + x));
    return { rgb, palette };
}
const titles = [0, 1, 2, 3].map((n) => readBmp(`title-${n}`));
const countdown = readBmp('countdown');
const palette = countdown.palette;
const sameColour = (a, b) => a[0] === b[0] && a[1] === b[1] && a[2] === b[2];

// A screenshot as Chromium writes it (8-bit RGB or RGBA, not interlaced), as rows of pixels.
function decodePng(png) {
    let width = 0, height = 0, channels = 0;
    const imageData = [];
    for (let at = 8; at < png.length;) {
        const length = png.readUInt32BE(at), type = png.toString('latin1', at + 4, at + 8);
        const data = png.subarray(at + 8, at + 8 + length);
        if (type === 'IHDR') {
            [width, height, channels] = [data.readUInt32BE(0), data.readUInt32BE(4), { 2: 3, 6: 4 }[data[9]]];
            if (data[8] !== 8 || !channels || data[12] !== 0) throw new Error('a screenshot in an unexpected PNG format');
        }
        if (type === 'IDAT') imageData.push(data);
        at += 12 + length;
    }
    const raw = zlib.inflateSync(Buffer.concat(imageData)), stride = width * channels;
    const pixels = Buffer.alloc(stride * height);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)], line = y * (stride + 1) + 1;
        for (let i = 0; i < stride; i++) {
            const a = i >= channels ? pixels[y * stride + i - channels] : 0;
            const b = y > 0 ? pixels[(y - 1) * stride + i] : 0;
            const c = i >= channels && y > 0 ? pixels[(y - 1) * stride + i - channels] : 0;
            const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
            const predicted = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
            pixels[y * stride + i] = (raw[line + i] + predicted) & 255;
        }
    }
    return { width, channels, at: (x, y) => [...pixels.subarray((y * width + x) * channels, (y * width + x) * channels + 3)] };
}
const pixel = (frame, x, y) => [...frame.subarray(4 * (y * 640 + x), 4 * (y * 640 + x) + 3)];
const refPixel = (ref, x, y) => [...ref.rgb.subarray(3 * (y * 640 + x), 3 * (y * 640 + x) + 3)];

// Pixels of the box that differ from the reference, skipping those inside 'except' boxes.
function differences(frame, ref, [x0, y0, w, h], except = []) {
    let count = 0, first = null;
    for (let y = y0; y < y0 + h; y++)
        for (let x = x0; x < x0 + w; x++) {
            if (except.some(([ex, ey, ew, eh]) => x >= ex && x < ex + ew && y >= ey && y < ey + eh))
                continue;
            if (!sameColour(pixel(frame, x, y), refPixel(ref, x, y))) {
                count += 1;
                first ??= `(${x},${y}) is ${pixel(frame, x, y)} not ${refPixel(ref, x, y)}`;
            }
        }
    return count === 0 ? null : `${count} pixels differ, first ${first}`;
}

const cursorBox = [210, 390, 8, 8];
// The title: the whole picture as the desktop draws it, the cursor in any of its four frames.
function titleMismatch(frame, except = []) {
    const rest = differences(frame, titles[0], [0, 0, 640, 480], [cursorBox, ...except]);
    if (rest)
        return `outside the cursor: ${rest}`;
    if (titles.every((ref) => differences(frame, ref, cursorBox)))
        return 'the cursor at (210,390) is none of its four frames';
    return null;
}

// The colours the font's glyphs show on the text background, from "start" and "end" of the title.
const textBackground = palette[16];
const glyphColours = new Set();
for (const [x0, y0, w] of [[220, 390, 40], [220, 420, 24]])
    for (let y = y0; y < y0 + 8; y++)
        for (let x = x0; x < x0 + w; x++)
            if (!sameColour(refPixel(titles[0], x, y), textBackground)) glyphColours.add(String(refPixel(titles[0], x, y)));

// A text cell: the background of index 16 with some pixels of the font's glyph colours on it.
function isTextCell(frame, x0, y0) {
    let background = 0, glyph = 0;
    for (let y = y0; y < y0 + 8; y++)
        for (let x = x0; x < x0 + 8; x++) {
            const colour = pixel(frame, x, y);
            if (sameColour(colour, textBackground)) background += 1;
            else if (glyphColours.has(String(colour))) glyph += 1;
            else return false;
        }
    return background >= 24 && glyph >= 4;
}

// During the countdown only the ship is drawn in the bottom 40 rows of the playfield: its left edge.
function shipLeft(frame) {
    for (let x = 200; x < 440; x++)
        for (let y = 440; y < 480; y++)
            if (!sameColour(pixel(frame, x, y), [0, 0, 0])) return x;
    return null;
}

// ---- cases
const { check, expect, tally } = cases();
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
// A key held for 100 ms as a person would: the game reads the held keys once a tick (1/60 s), so a press
// and release in the same instant may never be seen.
async function tap(key) {
    await page.keyboard.down(key);
    await sleep(100);
    await page.keyboard.up(key);
}
// Polls until 'probe' gives something other than undefined/false/null; the last reason is in the error.
async function poll(what, probe, timeout = 15000) {
    const end = Date.now() + timeout;
    for (;;) {
        const value = await probe();
        if (value !== undefined && value !== false && value !== null) return value;
        if (Date.now() > end) throw new Error(`timed out after ${timeout} ms waiting for ${what}`);
        await sleep(100);
    }
}

// ---- the browser
let { server, url } = await startServer(siteDir, 0);
const browser = await launchChromium();
const problems = [];  // console errors, page errors, failed or refused requests, in every page
// A page in a context of its own, with the given viewport, ratio, touch, scripts and init script.
async function openPage(options = {}, initScript = null) {
    const context = await browser.newContext({ viewport: { width: 1000, height: 800 }, ...options });
    if (initScript) await context.addInitScript(initScript);
    const page = await context.newPage();
    page.setDefaultTimeout(15000);
    // The page asks whether a score server serves it; this static server answers 404, as it should, and
    // a reload or going offline may cut the question short.
    const probe = (url) => new URL(url).pathname === '/api/server';
    page.on('console', (message) => {
        if (message.type() === 'error' && !probe(message.location().url || 'http://x/')) problems.push(`console error: ${message.text()}`);
    });
    page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
    page.on('requestfailed', (request) => {
        if (!probe(request.url())) // cut short by a reload, or offline: the page takes it as no server
            problems.push(`request failed: ${request.url()} ${request.failure()?.errorText}`);
    });
    page.on('response', (response) => {
        if (response.status() >= 400 && !(response.status() === 404 && probe(response.url())))
            problems.push(`HTTP ${response.status()}: ${response.url()}`);
    });
    return page;
}
const page = await openPage();
const context = page.context();
const logs = [];      // console.log lines of the main page, across reloads
page.on('console', (message) => {
    if (message.type() === 'log') logs.push(message.text());
});

const quits = () => logs.filter((line) => line === 'Quit krv...bye.').length;
const gameReady = (on = page) =>
    on.evaluate(() => typeof window.vorpaline === 'object' && document.readyState === 'complete');
const waitForTitle = (except = [], on = page) =>
    poll('the title on the canvas', async () => titleMismatch(await readCanvas(on), except) === null, 20000)
        .catch(async (error) => { throw new Error(`${error.message}: ${titleMismatch(await readCanvas(on), except)}`); });
// Opens the game in a page of its own and waits for its title.
async function openGame(options, initScript = null) {
    const game = await openPage(options, initScript);
    await game.goto(url);
    await poll('the game to start (window.vorpaline)', () => gameReady(game), 30000);
    await waitForTitle([], game);
    return game;
}
const endedShown = () => page.locator('#again').isVisible();
async function focusCanvas() {
    await page.click('#screen');
    expect(await page.evaluate(() => document.activeElement?.id === 'screen'), 'clicking the picture did not focus it');
}
// Runs 'action' (a load, or a click that reloads), then waits for the game's title; gives where its
// listing starts in 'logs'.
async function loadAnd(action, except = []) {
    const mark = logs.length;
    await Promise.all([page.waitForEvent('load', { timeout: 30000 }), action()]);
    await poll('the game to start (window.vorpaline)', gameReady, 30000);
    await waitForTitle(except);
    return mark;
}
async function listingSince(mark) {
    await poll(`${expectedListing.length} lines of listing`, () => logs.length - mark >= expectedListing.length, 10000)
        .catch(() => null);
    return logs.slice(mark, mark + expectedListing.length);
}
function compareListing(seen, expected = expectedListing) {
    const i = expected.findIndex((line, k) => seen[k] !== line);
    expect(i < 0, `line ${i + 1} is ${JSON.stringify(seen[i])}, expected ${JSON.stringify(expected[i])}`);
    return `${expected.length} lines`;
}
async function screenshot(name) {
    if (screenshots) await page.locator('#screen').screenshot({ path: path.join(screenshots, name) });
}
if (screenshots) fs.mkdirSync(screenshots, { recursive: true });

let mark = 0;
await check('the page loads and the game starts', async () => {
    mark = await loadAnd(() => page.goto(url));
    expect(await page.title() === 'vorpaline', `the title is ${await page.title()}`);
    expect(await page.evaluate(() => document.compatMode) === 'CSS1Compat', 'the page is in quirks mode');
    const loading = await page.evaluate(() => ({
        hidden: document.getElementById('loading').hidden, value: document.getElementById('progress').value }));
    expect(loading.hidden, 'the download\'s progress is still shown');
    expect(loading.value === 1, `the progress bar stopped at ${loading.value}, not at the whole download`);
    expect(problems.length === 0, problems.join('; '));
});
await check('the console shows the start-up listing', async () => compareListing(await listingSince(mark)));
await check('the listing panel shows the same lines', async () => {
    const panel = (await page.locator('#listing').textContent()).split('\n');
    return compareListing(panel);
});
await check('the picture has the focus at load', async () =>
    expect(await page.evaluate(() => document.activeElement?.id === 'screen'), 'the focus is elsewhere'));
await check('the canvas shows the title as the desktop game draws it', async () => {
    const why = titleMismatch(await readCanvas(page));
    expect(why === null, why);
    await screenshot('web_title.png');
});

// The header does not cost the picture a factor: a maximised 1080p window (1920x992 inside) shows 2x.
await check('the picture is scaled by the largest whole factor that fits, with sharp pixels', async () => {
    const sizes = [];
    for (const [width, height, wanted] of [[1400, 1100, 2], [1000, 800, 1], [2000, 1600, 3], [1920, 992, 2]]) {
        await page.setViewportSize({ width, height });
        const measure = () => page.evaluate(() => {
            const r = document.getElementById('screen').getBoundingClientRect();
            return { w: r.width, h: r.height, top: r.top + scrollY };
        });
        const box = await poll(`scale ${wanted}`, async () => {
            const box = await measure();
            return box.w === 640 * wanted ? box : null;
        }, 3000).catch(async () => ({ w: (await measure()).w }));
        expect(box.w === 640 * wanted, `a ${width}x${height} window scales to ${box.w} px wide, not ${640 * wanted}`);
        expect(box.h === 480 * wanted && box.top + box.h <= height, `${width}x${height}: ${box.w}x${box.h} at ${box.top}`);
        expect(box.top + 480 * (wanted + 1) > height || 640 * (wanted + 1) > width, `${width}x${height}: ${wanted + 1} would fit`);
        sizes.push(`${width}x${height}: x${wanted}`);
    }
    await page.setViewportSize({ width: 1000, height: 800 });
    const rendering = await page.evaluate(() => getComputedStyle(document.getElementById('screen')).imageRendering);
    expect(rendering === 'pixelated', `image-rendering is ${rendering}`);
    return sizes.join(', ');
});

await check('game keys on the picture do not scroll the page', async () => {
    await page.setViewportSize({ width: 700, height: 360 });
    const scrollY = () => page.evaluate(() => window.scrollY);
    // Without the focus on the picture, space does scroll: otherwise this check would prove nothing.
    await page.evaluate(() => { document.activeElement.blur(); window.scrollTo(0, 0); });
    await page.keyboard.press(' ');
    await poll('space to scroll the page without the picture focused', async () => (await scrollY()) > 0, 3000);
    const settled = async () => { const y = await scrollY(); await sleep(300); return y === (await scrollY()); };
    await poll('the scroll to settle', settled, 3000); // a smooth scroll still running would move the page again
    await page.evaluate(() => { window.scrollTo(0, 0); document.getElementById('screen').focus({ preventScroll: true }); });
    expect((await scrollY()) === 0, 'the page did not scroll back to the top');
    for (const key of [' ', 'ArrowDown', 'ArrowRight', 'ArrowLeft', 'ArrowUp']) {
        await tap(key);
        await sleep(300); // the smooth scroll of a key that was not stopped would have started by then
        expect((await scrollY()) === 0, `${key} scrolled the page to ${await scrollY()}`);
    }
    await page.setViewportSize({ width: 1000, height: 800 });
    await waitForTitle(); // ArrowUp last: the cursor is back on "start"
});

await check('10 s of play run 600 ± 3 logic ticks', async () => {
    const run = await page.evaluate(async () => {
        const v = window.vorpaline, frames = () => [0, 1, 2].map((n) => v.framesThatRan(n));
        const f0 = frames(), t0 = v.ticks(), start = performance.now();
        await new Promise((resolve) => setTimeout(resolve, 10000));
        const ms = performance.now() - start, f1 = frames();
        return { ticks: v.ticks() - t0, ms, frames: f1.map((f, n) => f - f0[n]) };
    });
    const expected = (run.ms * 60) / 1000, total = run.frames[0] + run.frames[1] + run.frames[2];
    const share = (n) => ((100 * run.frames[n]) / Math.max(1, total)).toFixed(1);
    console.log(`     ${run.ticks} ticks in ${run.ms.toFixed(0)} ms; ${total} animation frames: ` +
        `${share(0)}% ran 0 ticks, ${share(1)}% ran 1, ${share(2)}% ran 2 or more`);
    expect(Math.abs(run.ticks - expected) <= 3, `${run.ticks} ticks, expected ${expected.toFixed(1)} ± 3`);
    return `${run.ticks} ticks`;
});

// The page's pause: no tick while the picture lacks the keys, and going on places the clock anew. A pause
// shorter than a second is the telling one: after a longer one the clock is placed anew anyway.
await check('losing the keys pauses the game and says so; a click or a key goes on, without a burst', async () => {
    const state = () => page.evaluate(() => ({ ticks: window.vorpaline.ticks(), bursts: window.vorpaline.framesThatRan(2),
        notice: !document.getElementById('paused').hidden, text: document.getElementById('paused').textContent }));
    const notes = [];
    for (const [lose, goOn] of [['Tab', 'a click on the picture'], ['a click beside the picture', 'a key']]) {
        if (lose === 'Tab') await page.keyboard.press('Tab');
        else await page.mouse.click(5, 790); // the page's background below the picture
        expect(await page.evaluate(() => document.activeElement?.id !== 'screen'), `${lose} left the focus on the picture`);
        const paused = await state();
        await sleep(700);
        const still = await state();
        expect(still.ticks - paused.ticks <= 1, `${lose}: ${still.ticks - paused.ticks} ticks ran while paused`);
        expect(still.notice && /Paused — click or press a key to go on/.test(still.text), `${lose}: the page says ${JSON.stringify(still.notice && still.text)}`);
        if (goOn === 'a key') await page.keyboard.press('ArrowUp'); // the cursor stays on "start"
        else await page.click('#screen');
        const start = Date.now();
        await page.waitForFunction((t) => window.vorpaline.ticks() > t, still.ticks, { polling: 'raf', timeout: 3000 });
        await sleep(Math.max(0, start + 500 - Date.now()));
        const after = await state();
        const ran = after.ticks - still.ticks, expected = ((Date.now() - start) * 60) / 1000;
        expect(!after.notice, `${goOn} left the notice shown`);
        expect(ran <= expected + 4 && after.bursts - still.bursts <= 2,
            `going on with ${goOn} ran ${ran} ticks in ${Date.now() - start} ms, ${after.bursts - still.bursts} frames of 2 or more: a burst`);
        notes.push(`${lose}: ${still.ticks - paused.ticks} ticks in 700 ms; ${goOn}: ${ran} ticks in ${Date.now() - start} ms`);
    }
    expect(await page.evaluate(() => document.activeElement?.id === 'screen'), 'the picture does not have the keys again');
    await waitForTitle();
    return notes.join('; ');
});

let runStart = 0;
await check('z starts a run: 2 s later the countdown is on screen', async () => {
    await tap('z');
    runStart = Date.now();
    await sleep(2000); // the check is about where the run is after 2 s: "3" and "2" shown, "g o !" not yet
    const frame = await readCanvas(page);
    for (const [what, box] of [['"3"', [286, 100, 8, 8]], ['"2"', [316, 100, 8, 8]], ['"score:"', [460, 30, 48, 8]]]) {
        const why = differences(frame, countdown, box);
        expect(why === null, `${what}: ${why}`);
    }
    expect(!isTextCell(frame, 302, 300), '"g o !" is already shown');
    const panel = pixel(frame, 100, 240);
    expect(palette.slice(16, 32).some((c) => sameColour(c, panel)), `the side panel is ${panel}, not a ramp colour`);
    await screenshot('web_countdown.png');
});
await check('a few seconds later the run is in its stage', async () => {
    await sleep(Math.max(0, runStart + 6000 - Date.now())); // 2.5 s past the 3.5 s countdown
    const panel = pixel(await readCanvas(page), 100, 240);
    expect(sameColour(panel, palette[255]), `the side panel is ${panel}, not the panel colour`);
    await screenshot('web_stage.png');
});
await check('Escape in a run ends the program and offers to play again', async () => {
    const before = quits();
    await tap('Escape');
    await poll('"Quit krv...bye."', () => quits() > before, 5000);
    await poll('the play-again button', endedShown, 5000);
});
await check('"Play again" starts a new game at the title', async () => {
    const again = await loadAnd(() => page.click('#again'));
    compareListing(await listingSince(again));
});

await check('clicking the picture gives it the focus', async () => {
    await page.evaluate(() => document.activeElement.blur());
    await focusCanvas();
});
await check('blur releases held keys: the ship stops, and stays when the game goes on', async () => {
    await tap('z');
    const x0 = await poll('the ship in the countdown', async () => shipLeft(await readCanvas(page)), 5000);
    // Held for a dozen ticks, counted by the game itself: reading the canvas back is too slow on a loaded
    // machine to tell when to let go, and at 3 pixels a tick the ship would reach the edge (424) in 37.
    const before = await page.evaluate(() => window.vorpaline.ticks());
    await page.keyboard.down('ArrowRight');
    await page.waitForFunction((t) => window.vorpaline.ticks() >= t + 12, before, { polling: 'raf', timeout: 3000 })
        .catch(async (error) => { await page.keyboard.up('ArrowRight'); throw error; });
    await page.evaluate(() => document.getElementById('screen').blur());
    await sleep(150);
    const xa = shipLeft(await readCanvas(page));
    await sleep(700);
    const xb = shipLeft(await readCanvas(page));
    // The blur paused the game too. Going on, with the key still down for the browser, the ship stays: it
    // only turns level (its left edge moves by a pixel or two) instead of moving on 3 pixels a tick.
    const going = await page.evaluate(() => window.vorpaline.ticks());
    await page.click('#screen');
    const xc = [];
    for (const n of [20, 40]) {
        await page.waitForFunction((t) => window.vorpaline.ticks() >= t, going + n, { polling: 'raf', timeout: 3000 });
        xc.push(shipLeft(await readCanvas(page)));
    }
    await page.keyboard.up('ArrowRight');
    expect(xa > x0, `the ship did not move right while the key was held: ${x0} then ${xa}`);
    expect(xa === xb, `the ship went on moving after the blur: ${xa} then ${xb}`);
    expect(Math.abs(xc[0] - xb) <= 3 && xc[1] === xc[0], `the ship moved once the game went on: ${xb} then ${xc.join(', ')}`);
    expect(xb < 424, `the ship is at the right edge (${xb}): the test moved it too far to tell`);
    return `x ${x0} -> ${xa} -> ${xb}, going on ${xc.join(', ')}`;
});
await check('down then z on the title ends the program; "Play again" gives the title', async () => {
    await focusCanvas();
    await tap('Escape');
    await poll('the play-again button after Escape', endedShown, 5000);
    await loadAnd(() => page.click('#again'));
    const before = quits();
    await tap('ArrowDown');
    await tap('z');
    await poll('"Quit krv...bye."', () => quits() > before, 5000);
    await poll('the play-again button', endedShown, 5000);
    const text = await page.locator('#ended').textContent();
    expect(/ended/i.test(text), `the message is ${JSON.stringify(text)}`);
    await loadAnd(() => page.click('#again'));
});

await check('with the FPS setting on, the counter is drawn in the top-left corner', async () => {
    const on = await loadAnd(() => page.click('#showfps'), [[0, 0, 24, 8]]);
    const lines = await listingSince(on);
    expect(lines.includes('setting...show FPS'), 'the listing has no "setting...show FPS"');
    expect(await page.evaluate(() => localStorage.getItem('vorpaline.showfps')) === '1', 'the setting was not stored');
    expect(await page.isChecked('#showfps'), 'the checkbox is not checked after the reload');
    const ini = await page.evaluate(() => Module.FS.readFile('/vorpaline/krv.ini', { encoding: 'utf8' }));
    const wanted = shippedIni.replace(/^(krv_showfps\s*=\s*)\d+/m, '$11');
    expect(ini === wanted, `krv.ini is ${JSON.stringify(ini)}, expected ${JSON.stringify(wanted)}`);
    // The counter shows its first figure after 60 ticks: then two cells, "60" or near it.
    await poll('two text cells at (0,0)', async () => {
        const frame = await readCanvas(page);
        return isTextCell(frame, 0, 0) && isTextCell(frame, 8, 0);
    }, 5000);
});
await check('with the FPS setting off again, no counter is drawn', async () => {
    const off = await loadAnd(() => page.click('#showfps'));
    const lines = await listingSince(off);
    expect(lines.includes("setting...don't show FPS"), 'the listing has no "setting...don\'t show FPS"');
    await sleep(1500); // past the counter's first figure
    const why = titleMismatch(await readCanvas(page));
    expect(why === null, why);
});

await check('at devicePixelRatio 1.5 every game pixel is 2x2 device pixels', async () => {
    const game = await openGame({ viewport: { width: 1280, height: 720 }, deviceScaleFactor: 1.5 });
    const frame = await readCanvas(game);
    const shot = decodePng(await game.screenshot());
    const box = await game.evaluate(() => {
        const r = document.getElementById('screen').getBoundingClientRect();
        return { x: r.left * devicePixelRatio, y: r.top * devicePixelRatio, w: r.width, h: r.height };
    });
    await game.context().close();
    // Device pixel (x0 + 2i, y0 + 2j) and its three neighbours are game pixel (i, j); the title's cursor
    // blinks between the two readings and is left out.
    const [x0, y0] = [Math.round(box.x), Math.round(box.y)];
    let wrong = 0, first = null;
    for (let y = 0; y < 960; y++)
        for (let x = 0; x < 1280; x++) {
            const gx = x >> 1, gy = y >> 1;
            if (gx >= cursorBox[0] && gx < cursorBox[0] + 8 && gy >= cursorBox[1] && gy < cursorBox[1] + 8) continue;
            if (!sameColour(shot.at(x0 + x, y0 + y), pixel(frame, gx, gy))) {
                wrong += 1;
                first ??= `device (${x0 + x},${y0 + y}) is ${shot.at(x0 + x, y0 + y)}, game pixel (${gx},${gy}) ${pixel(frame, gx, gy)}`;
            }
        }
    expect(wrong === 0, `${wrong} device pixels are not their game pixel, first ${first}`);
    return `a ${box.w.toFixed(2)}x${box.h} CSS-pixel box at device (${x0},${y0})`;
});

// The playfield, the picture's column between the side panels, in game pixels: no touch control covers it.
const playfield = [200, 240];
// Fingers on a phone's screen through the browser's own input: every finger still down is in every event.
const touches = (cdp, type, ...points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points });
const middle = ([x, y, w, h]) => ({ x: x + w / 2, y: y + h / 2 });
const ticksOf = (on) => on.evaluate(() => window.vorpaline.ticks());
const afterTicks = async (on, n) =>
    on.waitForFunction((t) => window.vorpaline.ticks() >= t, (await ticksOf(on)) + n, { polling: 'raf', timeout: 5000 });
// During the countdown the playfield between its digits and the ship is black but for the shots (and
// "g o !" at its end, left out).
function shotPixels(frame) {
    let count = 0;
    for (let y = 120; y < 440; y++)
        for (let x = playfield[0]; x < playfield[0] + playfield[1]; x++)
            if ((y < 296 || y >= 312) && !sameColour(pixel(frame, x, y), [0, 0, 0])) count += 1;
    return count;
}
// What a recording's ticks held: the keys of each entry ("R1 12" is right and button 1 for 12 ticks).
const recordedKeys = (script) => script.split('\n').map((line) => line.replace(/#.*/, '').trim().split(/\s+/)[0]).filter(Boolean);

for (const [width, height] of [[390, 844], [844, 390]]) {
    let game = null, controls = null;
    await check(`a ${width}x${height} phone shows the whole picture and keeps the touch controls off the playfield`, async () => {
        game = await openGame({ viewport: { width, height }, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
        const seen = await game.evaluate(() => {
            const box = (element) => { const r = element.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; };
            const controls = {};
            for (const name of ['stick', 'fire', 'fast', 'hard', 'quit'])
                controls[name] = box(document.querySelector({ stick: '#touch-stick', quit: '#touch-quit', fire: '[data-button="1"]',
                    fast: '[data-button="2"]', hard: '[data-button="3"]' }[name]));
            return { view: [innerWidth, innerHeight], screen: box(document.getElementById('screen')), controls };
        });
        const [vw, vh] = seen.view, [sx, sy, sw, sh] = seen.screen;
        expect(sx >= 0 && sy >= 0 && sx + sw <= vw + 0.01 && sy + sh <= vh + 0.01,
            `the picture (${seen.screen.map(Math.round)}) is not all inside the ${vw}x${vh} viewport`);
        expect(Math.max(sw / vw, sh / vh) >= 0.99, `the picture is ${sw}x${sh}, smaller than the ${vw}x${vh} viewport allows`);
        const scale = sw / 640, fieldLeft = sx + playfield[0] * scale, fieldRight = fieldLeft + playfield[1] * scale;
        for (const [name, [px, py, pw, ph]] of Object.entries(seen.controls)) {
            const least = name === 'stick' ? 100 : name === 'quit' ? 24 : 60; // a thumb's room; quit is small on purpose
            expect(pw >= least && ph >= least, `the ${name} control is only ${pw}x${ph}`);
            expect(px >= 0 && py >= 0 && px + pw <= vw + 0.01 && py + ph <= vh + 0.01, `the ${name} control (${[px, py, pw, ph].map(Math.round)}) leaves the viewport`);
            const apart = px + pw <= fieldLeft + 0.01 || px >= fieldRight - 0.01 || py >= sy + sh - 0.01 || py + ph <= sy + 0.01;
            expect(apart, `the ${name} control (${[px, py, pw, ph].map(Math.round)}) covers the playfield`);
        }
        controls = seen.controls;
        return `picture ${sw.toFixed(0)}x${sh.toFixed(0)} at (${sx.toFixed(0)},${sy.toFixed(0)}), stick ` +
            `${controls.stick.slice(2).map(Math.round).join('x')}, fire at (${controls.fire.slice(0, 2).map(Math.round)})`;
    });
    await check(`${width}x${height}: a quick tap on fire starts a run; steering and firing at once move the ship and fire; a key hides the controls`, async () => {
        expect(controls, 'the phone did not open');
        const cdp = await game.context().newCDPSession(game);
        const fire = middle(controls.fire), stick = middle(controls.stick);
        // Down and up again between two ticks, for sure: the program runs no tick meanwhile. The platform
        // holds the press until a tick has read it.
        await game.evaluate(() => Module._vorpaline_set_paused(1));
        const before = await ticksOf(game);
        await touches(cdp, 'touchStart', { ...fire, id: 1 });
        await touches(cdp, 'touchEnd');
        expect((await ticksOf(game)) === before, 'a tick ran during the tap');
        await game.evaluate(() => Module._vorpaline_set_paused(0));
        await poll('the countdown\'s "3"', async () => differences(await readCanvas(game), countdown, [286, 100, 8, 8]) === null, 5000);
        // Touch play does not pause when the picture loses the focus.
        await game.evaluate(() => document.getElementById('screen').blur());
        const x0 = shipLeft(await readCanvas(game));
        await touches(cdp, 'touchStart', { ...stick, id: 2 });
        await touches(cdp, 'touchStart', { ...stick, id: 2 }, { ...fire, id: 3 });
        await touches(cdp, 'touchMove', { x: stick.x + 30, y: stick.y + 4, id: 2 }, { ...fire, id: 3 });
        await afterTicks(game, 12);
        const frame = await readCanvas(game);
        await touches(cdp, 'touchEnd');
        const x1 = shipLeft(frame), shots = shotPixels(frame);
        expect(x0 !== null && x1 > x0, `the ship did not move right: ${x0} then ${x1}`);
        expect(shots > 0, 'no shot in the playfield');
        // A key hides the controls; the next touch, anywhere, shows them again.
        const shown = () => game.isVisible('#touch-stick');
        await game.keyboard.press('x');
        expect(!(await shown()), 'the touch controls stay after a key');
        await touches(cdp, 'touchStart', { x: 10, y: 10, id: 6 });
        await touches(cdp, 'touchEnd');
        await poll('the touch controls back after a touch', shown, 3000);
        return `x ${x0} -> ${x1}, ${shots} pixels of shots`;
    });
    await check(`${width}x${height}: a tap on quit does nothing, holding it ends the game; the recording holds right and fire together`, async () => {
        try {
            expect(controls, 'the phone did not open');
            const cdp = await game.context().newCDPSession(game);
            const quit = middle(controls.quit);
            await touches(cdp, 'touchStart', { ...quit, id: 4 });
            await touches(cdp, 'touchEnd');
            await afterTicks(game, 60);
            expect(!(await game.isVisible('#ended')), 'a tap on quit ended the game');
            await touches(cdp, 'touchStart', { ...quit, id: 5 });
            await sleep(1300);
            await touches(cdp, 'touchEnd');
            await game.locator('#ended').waitFor({ state: 'visible', timeout: 5000 });
            const keys = recordedKeys(await game.evaluate(() => Module.FS.readFile('/session.script', { encoding: 'utf8' })));
            expect(keys.some((k) => k.includes('R') && k.includes('1')), 'no recorded tick held right and button 1 together');
            expect(keys[keys.length - 1].includes('Q'), `the recording ends with ${keys[keys.length - 1]}, not the close event`);
            return `${keys.length} entries recorded`;
        } finally {
            await game?.context().close();
        }
    });
}

await check('a gamepad (the Gamepad API, stubbed) starts a run, steers by d-pad and stick, and its button goes on from a pause', async () => {
    const game = await openGame({}, () => {
        const button = () => ({ pressed: false, touched: false, value: 0 });
        const pad = { id: 'a test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
            axes: [0, 0, 0, 0], buttons: Array.from({ length: 17 }, button) };
        Object.defineProperty(Navigator.prototype, 'getGamepads', { value: () => [null, pad, null, null] });
        window.testPad = pad;
    });
    try {
        const set = (button, axis, value) => game.evaluate(([b, a, v]) => {
            if (b !== null) window.testPad.buttons[b].pressed = v !== 0;
            if (a !== null) window.testPad.axes[a] = v;
        }, [button, axis, value]);
        const hold = async (button, axis, value, ticks) => {
            await set(button, axis, value);
            await afterTicks(game, ticks);
            await set(button, axis, 0);
            await afterTicks(game, 2);
        };
        await hold(0, null, 1, 3);
        await poll('the countdown\'s "3"', async () => differences(await readCanvas(game), countdown, [286, 100, 8, 8]) === null, 5000);
        const x = [shipLeft(await readCanvas(game))];
        await hold(15, null, 1, 12); // the d-pad's right
        x.push(shipLeft(await readCanvas(game)));
        await hold(null, 0, -0.9, 12); // the stick well to the left
        x.push(shipLeft(await readCanvas(game)));
        await hold(null, 0, 0.25, 12); // a slight lean, inside the dead zone
        x.push(shipLeft(await readCanvas(game)));
        expect(x[1] > x[0] && x[2] < x[1] && x[3] === x[2], `the ship went ${x.join(' -> ')}: not right, left, then still`);
        await game.evaluate(() => document.getElementById('screen').blur());
        const paused = await ticksOf(game);
        await sleep(300);
        expect((await ticksOf(game)) - paused <= 1, 'the game ran on after the blur');
        await set(1, null, 1);
        await game.waitForFunction((t) => window.vorpaline.ticks() > t + 5, paused, { polling: 'raf', timeout: 3000 });
        await set(1, null, 0);
        return `x ${x.join(' -> ')}`;
    } finally {
        await game.context().close();
    }
});

await check('without WebAssembly or without JavaScript the page says why there is no game', async () => {
    const noWasm = await openPage({}, () => { delete window.WebAssembly; });
    const scripts = [];
    noWasm.on('request', (request) => scripts.push(new URL(request.url()).pathname));
    await noWasm.goto(url);
    const said = await noWasm.locator('#loading').textContent({ timeout: 5000 });
    expect(await noWasm.locator('#loading').isVisible() && /WebAssembly/.test(said), `without WebAssembly the page says ${JSON.stringify(said)}`);
    expect(!scripts.includes('/vorpaline.js'), 'without WebAssembly the page still loads the game');
    await noWasm.context().close();
    const noScript = await openPage({ javaScriptEnabled: false });
    await noScript.goto(url);
    const notice = noScript.locator('#frame .notice', { hasText: 'JavaScript' });
    expect(await notice.isVisible(), 'without JavaScript the page says nothing about it');
    await noScript.context().close();
});

// Last of the main page's checks: its server is stopped.
await check('after one visit the game starts offline, also at an address with a query', async () => {
    await page.evaluate(() => navigator.serviceWorker.ready);
    await context.setOffline(true);
    server.closeAllConnections();
    await new Promise((resolve) => server.close(resolve));
    await loadAnd(() => page.reload());
    await loadAnd(() => page.goto(url + '?run=1'));
    // The score server's answers are never the cached page: offline they fail (a failure the browser
    // reports, and which is no problem of the page's).
    const before = problems.length;
    const scores = await page.evaluate(() => fetch('scores').then((r) => `answered ${r.status}`, () => 'failed'));
    await sleep(200);
    const expected = (problem) => problem.includes('/scores') || problem.includes('ERR_INTERNET_DISCONNECTED');
    problems.splice(before, problems.length - before, ...problems.slice(before).filter((p) => !expected(p)));
    expect(scores === 'failed', `offline, /scores ${scores}`);
});

await check('no console errors or failed requests in the whole session', async () =>
    expect(problems.length === 0, problems.join('; ')));

await browser.close();
server.close();
console.log(`${tally.passed} passed, ${tally.failed} failed`);
process.exitCode = tally.failed ? 1 : 0;

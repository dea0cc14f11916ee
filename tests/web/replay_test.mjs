// replay_test.mjs: replays between the browser and the desktop. A session played in chromium and saved
// with "Save replay" is replayed by the desktop tool, whose frame of the last tick must be the frame the
// page ended on; its link and "Watch" end on that frame too. Checked-in whole runs, opened through their
// links, end on the desktop tool's last frame. Bad replays are refused in one line and the title runs.
// Usage: node tests/web/replay_test.mjs SITE_DIR DESKTOP_REPLAY_TOOL DATA_DIR REPLAYS_DIR
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { frameDifference, readCanvas, readFrameFile } from './canvas.mjs';
import { cases, launchChromium } from './harness.mjs';
import { startServer } from './serve.mjs';

const [siteDir, desktopTool, dataDir, replaysDir] = process.argv.slice(2).map((arg) => arg && path.resolve(arg));
if (!replaysDir) {
    console.error('usage: node tests/web/replay_test.mjs SITE_DIR DESKTOP_REPLAY_TOOL DATA_DIR REPLAYS_DIR');
    process.exit(2);
}
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vorpaline-replays-'));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const { check, expect, tally } = cases();

// The desktop tool's frame of the script's last tick (it saves only drawn ticks: the last one saved).
function desktopLastFrame(scriptPath) {
    const frames = fs.mkdtempSync(path.join(work, 'frames-'));
    execFileSync(desktopTool, [path.resolve(scriptPath), path.join(frames, 'trace'), '--bmp', frames, '--every', '1'],
        { cwd: dataDir, stdio: ['ignore', 'ignore', 'inherit'] });
    const saved = fs.readdirSync(frames).filter((name) => name.endsWith('.bmp')).sort();
    expect(saved.length > 0, `the desktop tool saved no frame of ${scriptPath}`);
    return readFrameFile(path.join(frames, saved[saved.length - 1]));
}

const linkOf = (page, text) => `${page}#replay=${zlib.deflateRawSync(Buffer.from(text)).toString('base64url')}`;

const { server, url } = await startServer(siteDir, 0);
const browser = await launchChromium();
const context = await browser.newContext({ viewport: { width: 1400, height: 1100 }, acceptDownloads: true });
await context.grantPermissions(['clipboard-read', 'clipboard-write']);
const pageErrors = [];
context.on('page', (page) => page.on('pageerror', (error) => pageErrors.push(error.message)));
const page = await context.newPage();
page.setDefaultTimeout(20000);

const running = (on = page) => on.waitForFunction(() => typeof window.vorpaline === 'object', null, { timeout: 30000 });
const ticks = (on = page) => on.evaluate(() => window.vorpaline.ticks());
const ended = (on = page, timeout = 30000) => on.locator('#ended').waitFor({ state: 'visible', timeout });
async function waitTicks(n, on = page) {
    const start = await ticks(on);
    await on.waitForFunction((t) => window.vorpaline.ticks() >= t, start + n, { polling: 'raf', timeout: 20000 });
}
async function tap(key, on = page) {
    await on.keyboard.down(key);
    await waitTicks(3, on);
    await on.keyboard.up(key);
    await waitTicks(3, on);
}

let sessionScript = null, sessionFrame = null;
await check('a session played in chromium, saved with "Save replay", ends on the desktop tool\'s last frame', async () => {
    await page.goto(url);
    await running();
    await page.click('#screen');
    await tap('z'); // start
    await waitTicks(240); // through the countdown
    await page.keyboard.down('ArrowLeft');
    for (let shot = 0; shot < 4; shot++)
        await tap('z');
    await page.keyboard.up('ArrowLeft');
    await page.keyboard.down('ArrowUp');
    await tap('z');
    await page.keyboard.up('ArrowUp');
    await page.keyboard.down('Escape'); // the program ends in the tick that sees it
    await ended();
    await page.keyboard.up('Escape');
    const browserFrame = await readCanvas(page);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save-replay')]);
    expect(/^vorpaline-\d{8}-\d{6}\.script$/.test(download.suggestedFilename()),
        `the file is named ${download.suggestedFilename()}`);
    sessionScript = path.join(work, download.suggestedFilename());
    await download.saveAs(sessionScript);
    const text = fs.readFileSync(sessionScript, 'utf8');
    expect(/^# recorded .* in a browser \(WebAssembly\) \(krv_fullscreen = \d, krv_showfps = 0\)/.test(text),
        `the header says ${JSON.stringify(text.split('\n')[0])}`);
    expect(/ended by Escape \(E\)/.test(text), 'the summary does not say Escape ended the session');
    sessionFrame = desktopLastFrame(sessionScript);
    const difference = frameDifference(browserFrame, sessionFrame);
    expect(difference === null, `the page's last frame is not the desktop's: ${difference}`);
    return `${text.split('\n').length} lines`;
});

await check('its link and "Watch" play it back to the same last frame', async () => {
    expect(sessionFrame !== null, 'no session to watch');
    await page.click('#copy-link');
    // The link is made (deflated) after the click returns.
    await page.waitForFunction(() => document.getElementById('replay-link').value !== '');
    const link = await page.inputValue('#replay-link');
    expect(link.startsWith(url) && link.includes('#replay='), `the link is ${link}`);
    expect(await page.evaluate(() => navigator.clipboard.readText()) === link, 'the clipboard does not hold the link');
    const watcher = await context.newPage();
    await watcher.goto(link);
    await running(watcher);
    expect(await watcher.isVisible('#watch-controls'), 'no viewer controls while watching');
    // Watching does not pause when the picture loses the focus.
    await watcher.evaluate(() => document.getElementById('screen').blur());
    await waitTicks(10, watcher);
    await ended(watcher);
    let difference = frameDifference(await readCanvas(watcher), sessionFrame);
    expect(difference === null, `watched through the link: ${difference}`);
    const message = await watcher.textContent('#ended-message');
    expect(/the player quit, score \d+/.test(message), `the page says ${JSON.stringify(message)}`);
    await watcher.close();

    await Promise.all([page.waitForEvent('load'), page.click('#watch-replay')]);
    await running();
    await ended();
    difference = frameDifference(await readCanvas(page), sessionFrame);
    expect(difference === null, `watched with "Watch": ${difference}`);
    return `link of ${link.length} characters`;
});

const lengths = [];
for (const name of ['full_normal_run', 'full_hard_run', 'game_over']) {
    await check(`the checked-in ${name}, opened through its link at x4, ends on the desktop tool's last frame`, async () => {
        const script = path.join(replaysDir, `${name}.script`);
        const link = linkOf(url, fs.readFileSync(script));
        lengths.push(`${name} ${link.length}`);
        expect(link.length < 2000, `its link is ${link.length} characters long`);
        const watcher = await context.newPage();
        const opened = Date.now();
        await watcher.goto(link);
        await running(watcher);
        await watcher.waitForFunction(() => window.vorpaline.ticks() > 0, null, { polling: 'raf' });
        const firstFrame = Date.now() - opened;
        await watcher.click('[data-speed="4"]');
        await ended(watcher, 90000);
        const difference = frameDifference(await readCanvas(watcher), desktopLastFrame(script));
        const message = await watcher.textContent('#ended-message');
        await watcher.close();
        expect(difference === null, `the last frame differs: ${difference}`);
        return `${message.trim()} ${firstFrame} ms from opening the link to its first tick`;
    });
}

// ---- bad replays: one line on the page, no uncaught error, and the title then runs as usual
const fileOf = (name, bytes) => {
    fs.writeFileSync(path.join(work, name), bytes);
    return path.join(work, name);
};
const bad = [
    ['an undecodable link', { link: `${url}#replay=not*base64!` }, /not base64url/],
    ['a broken deflate stream', { link: `${url}#replay=${Buffer.from([0xff, 0xfe, 0x00, 0x13, 0x37]).toString('base64url')}` }, /does not inflate/],
    ['a link that inflates past 1 MiB', { link: linkOf(url, Buffer.alloc(2 * 1024 * 1024, '-\n')) }, /larger than the 1 MiB/],
    ['a file that is not text', { file: fileOf('picture.script', fs.readFileSync(path.join(dataDir, 'icon.bmp'))) }, /not a replay script/],
    ['a truncated script', { file: fileOf('cut.script', '# recorded\n1 30\nUD 1') }, null],
    ['a malformed script', { file: fileOf('bad.script', '1 30\nZZ 4\n') }, /line 2/],
    ['a file of 50 MB', { file: fileOf('huge.script', Buffer.alloc(50 * 1024 * 1024, 'U')) }, /larger than the 1 MiB/],
    ['a script of a billion ticks', { file: fileOf('long.script', '- 1000000000\n') }, /1000000000 ticks long/],
];
for (const [what, how, said] of bad) {
    await check(`${what} is refused plainly`, async () => {
        const errorsBefore = pageErrors.length;
        const viewer = await context.newPage();
        if (how.link) {
            await viewer.goto(how.link);
        } else {
            await viewer.goto(url);
            await running(viewer);
            // Refused by the page at once, or handed to the game after a reload.
            const reloaded = viewer.waitForEvent('load', { timeout: 20000 }).then(() => true, () => false);
            await viewer.setInputFiles('#open-replay', how.file);
            await Promise.race([reloaded, viewer.locator('#replay-message').waitFor({ state: 'visible' })]);
        }
        await running(viewer);
        if (said === null) {
            // A script cut off after a whole line is still a script: it plays and runs out.
            await ended(viewer);
            const message = await viewer.textContent('#ended-message');
            await viewer.close();
            expect(/its script ran out/.test(message), `the page says ${JSON.stringify(message)}`);
            return message.trim();
        }
        await viewer.locator('#replay-message').waitFor({ state: 'visible' });
        const message = (await viewer.textContent('#replay-message')).trim();
        const start = await ticks(viewer);
        await sleep(500);
        const advanced = (await ticks(viewer)) - start;
        const watching = await viewer.isVisible('#watch-controls');
        await viewer.close();
        expect(said.test(message), `the page says ${JSON.stringify(message)}`);
        expect(!message.includes('\n'), 'the message is more than one line');
        expect(!watching, 'the viewer controls show');
        expect(advanced > 10, `the title does not run (${advanced} ticks in 0.5 s)`);
        expect(pageErrors.length === errorsBefore, `uncaught: ${pageErrors.slice(errorsBefore).join('; ')}`);
        return message;
    });
}

await browser.close();
server.close();
fs.rmSync(work, { recursive: true, force: true });
console.log(`link lengths: ${lengths.join(', ')}`);
console.log(`${tally.passed} passed, ${tally.failed} failed`);
process.exit(tally.failed === 0 ? 0 : 1);

// web_frame_bench.mjs: what presenting a frame costs the page, printed, not judged. Run as
//   node tools/web_frame_bench.mjs SITE_DIR [--watch SCRIPT]
// In headless chromium it times every present of the game (from the back buffer to the canvas: the
// palette lookup, the copy out of the wasm memory, the canvas call) on the title and in a run whose ship
// flies and fires, or over the whole of a replay watched at x1 (--watch: a checked-in whole run has the
// stage's busiest moments), and prints the mean, median, 95th percentile and worst of each, with the CPU
// time of all the browser's processes meanwhile. The page is served cross-origin isolated, which gives
// performance.now() a resolution of 5 µs instead of 100.
import fs from 'node:fs';
import zlib from 'node:zlib';
import { descendantsCpuTicks, launchChromium } from '../tests/web/harness.mjs';
import { startServer } from '../tests/web/serve.mjs';

const args = process.argv.slice(2);
const watchAt = args.indexOf('--watch');
const watchScript = watchAt < 0 ? null : args.splice(watchAt, 2)[1];
const siteDir = args.find((arg) => !arg.startsWith('--'));
if (!siteDir || (watchAt >= 0 && !watchScript)) {
    console.error('usage: node tools/web_frame_bench.mjs SITE_DIR [--watch SCRIPT]');
    process.exit(2);
}


const { server, url } = await startServer(siteDir, 0);
const browser = await launchChromium();
const context = await browser.newContext({ viewport: { width: 1000, height: 800 }, serviceWorkers: 'block' });
await context.route('**/*', async (route) => {
    const response = await route.fetch();
    const headers = { ...response.headers(), 'cross-origin-opener-policy': 'same-origin',
        'cross-origin-embedder-policy': 'require-corp' };
    await route.fulfill({ response, headers });
});
const page = await context.newPage();
const link = watchScript === null ? ''
    : '#replay=' + zlib.deflateRawSync(fs.readFileSync(watchScript)).toString('base64url');
await page.goto(url + link);
await page.waitForFunction(() => typeof window.vorpaline === 'object', null, { timeout: 30000 });
if (!(await page.evaluate(() => window.crossOriginIsolated)))
    console.log('warning: the page is not cross-origin isolated: times are rounded to 100 µs');

function figures(what, costs) {
    costs.sort((a, b) => a - b);
    const mean = costs.reduce((sum, ms) => sum + ms, 0) / costs.length;
    const at = (q) => costs[Math.min(costs.length - 1, Math.floor(q * costs.length))];
    const us = (ms) => (1000 * ms).toFixed(0).padStart(4);
    console.log(`${what}: ${costs.length} frames, mean ${us(mean)} µs, median ${us(at(0.5))} µs, ` +
        `95th percentile ${us(at(0.95))} µs, worst ${us(costs[costs.length - 1])} µs`);
}
// The presents until 'done' resolves, with the browser's CPU time over them.
async function measure(what, done) {
    await page.evaluate(() => { Module.frameCosts = []; });
    const cpuStart = descendantsCpuTicks(process.pid), wallStart = Date.now();
    await done();
    const cpu = (descendantsCpuTicks(process.pid) - cpuStart) / 100, wall = (Date.now() - wallStart) / 1000;
    const costs = await page.evaluate(() => { const costs = Module.frameCosts; Module.frameCosts = null; return costs; });
    figures(what, costs);
    console.log(`${' '.repeat(what.length)}  the browser's processes: ${(100 * cpu / wall).toFixed(1)} % of one core`);
}

if (watchScript !== null) {
    await measure(`watching ${watchScript}`, () => page.locator('#ended').waitFor({ state: 'visible', timeout: 600000 }));
    await browser.close();
    server.close();
    process.exit(0);
}
await page.focus('#screen');
await measure('title', () => page.waitForTimeout(5000));
await page.keyboard.down('z');
await page.waitForTimeout(100);
await page.keyboard.up('z');
await page.waitForTimeout(4000); // past the countdown
await page.keyboard.down('x');
await page.keyboard.down('ArrowLeft');
// Fires all along: a press every 100 ms.
const firing = setInterval(() => {
    page.keyboard.down('z').then(() => page.waitForTimeout(50)).then(() => page.keyboard.up('z')).catch(() => {});
}, 100);
await measure('stage', () => page.waitForTimeout(10000));
clearInterval(firing);
await browser.close();
server.close();

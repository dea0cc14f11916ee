// web_figures.mjs: figures of the browser version, printed, not judged. Run as
//   node tools/bench/web_figures.mjs SITE_DIR
// It prints each file's size and the gzipped total, the time from navigation to the first title frame in
// headless chromium (best and median of five loads), and the CPU time the browser's processes take while
// a run is played for ten seconds.
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { descendantsCpuTicks, launchChromium } from '../../tests/web/harness.mjs';
import { startServer } from '../../tests/web/serve.mjs';

const siteDir = process.argv[2];
if (!siteDir) {
    console.error('usage: node tools/bench/web_figures.mjs SITE_DIR');
    process.exit(2);
}

let total = 0, gzipped = 0;
for (const name of fs.readdirSync(siteDir).sort()) {
    const bytes = fs.readFileSync(path.join(siteDir, name));
    const packed = zlib.gzipSync(bytes, { level: 9 }).length;
    total += bytes.length;
    gzipped += packed;
    console.log(`${name.padEnd(22)} ${String(bytes.length).padStart(8)} bytes, ${String(packed).padStart(7)} gzipped`);
}
console.log(`${'total'.padEnd(22)} ${String(total).padStart(8)} bytes, ${String(gzipped).padStart(7)} gzipped`);


const { server, url } = await startServer(siteDir, 0);
const browser = await launchChromium();
// Without the service worker, every load comes from the server, as a first visit does.
const page = await browser.newPage({ viewport: { width: 1000, height: 800 }, serviceWorkers: 'block' });
const loads = [];
for (let i = 0; i < 5; i++) {
    await page.goto(url);
    await page.waitForFunction(() => window.Module && Module.firstFrameTime, null, { timeout: 10000 });
    loads.push(await page.evaluate(() => Module.firstFrameTime));
}
loads.sort((a, b) => a - b);
console.log(`navigation to the first title frame: best ${loads[0].toFixed(0)} ms, median ${loads[2].toFixed(0)} ms`);

await page.focus('#screen');
await page.keyboard.down('z');
await page.waitForTimeout(100);
await page.keyboard.up('z');
await page.waitForTimeout(3000); // into the countdown
// The browser's processes are this script's descendants.
const cpuStart = descendantsCpuTicks(process.pid), wallStart = Date.now();
await page.keyboard.down('x');
await page.keyboard.down('ArrowLeft');
await page.waitForTimeout(10000);
const cpu = (descendantsCpuTicks(process.pid) - cpuStart) / 100, wall = (Date.now() - wallStart) / 1000;
console.log(`playing: the browser's processes take ${(100 * cpu / wall).toFixed(1)} % of one core ` +
    `(${cpu.toFixed(2)} s of CPU in ${wall.toFixed(1)} s)`);
await browser.close();
server.close();

// web_record_memory.mjs: what recording costs the browser over a long session, printed, not judged. Run as
//   node tools/bench/web_record_memory.mjs SITE_DIR [MINUTES]
// The page's animation frames are made to come back to back, each a second after the last by its time
// stamp (the ticks of each second then run in one frame), while the keys change every second: MINUTES
// (default 60) of play in a few minutes. It prints the recorded script's size, the wasm memory and the JS heap.
import { chromium } from 'playwright-core';
import { startServer } from '../../tests/web/serve.mjs';

const [siteDir, minutesText = '60'] = process.argv.slice(2);
if (!siteDir) {
    console.error('usage: node tools/bench/web_record_memory.mjs SITE_DIR [MINUTES]');
    process.exit(2);
}
const seconds = Number(minutesText) * 60;

const { server, url } = await startServer(siteDir, 0);
const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-sync'],
});
const page = await browser.newPage();
// Animation frames of the page's own: each comes at once, stamped one second after the last, so that
// every frame runs the ticks of a second.
await page.addInitScript(() => {
    let stamp = 0;
    window.requestAnimationFrame = (callback) => setTimeout(() => {
        stamp += 1000;
        callback(stamp);
    }, 0);
});
await page.goto(url);
page.on('pageerror', (e) => console.log('page error: ' + e.message));
await page.waitForFunction(() => typeof window.vorpaline === 'object', null, { polling: 100, timeout: 60000 });
const cdp = await page.context().newCDPSession(page);
await cdp.send('Performance.enable');
const heap = async () => (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'JSHeapUsedSize').value;
const before = { heap: await heap(), wasm: await page.evaluate(() => Module.HEAP8.length) };

// Start a run, then steer and fire in a pattern that changes the keys every second.
await page.focus('#screen');
const keys = ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'x']; // never down: z on "end" would quit
for (let second = 0; second < seconds; second++) {
    const ticks = await page.evaluate(() => window.vorpaline.ticks());
    await page.keyboard.down(keys[second % 4]);
    if (second % 3 === 0) await page.keyboard.down('z');
    await page.waitForFunction((t) => window.vorpaline.ticks() > t, ticks, { polling: 20 });
    await page.keyboard.up(keys[second % 4]);
    await page.keyboard.up('z');
}
const ticks = await page.evaluate(() => window.vorpaline.ticks());
const script = await page.evaluate(() => Module.FS.stat('/session.script').size);
const after = { heap: await heap(), wasm: await page.evaluate(() => Module.HEAP8.length) };
const mb = (bytes) => `${(bytes / 1024 / 1024).toFixed(2)} MB`;
console.log(`${ticks} ticks recorded (${(ticks / 3600).toFixed(1)} minutes of play)`);
console.log(`recorded script so far: ${(script / 1024).toFixed(1)} KB (the entry still folding is not written yet)`);
console.log(`wasm memory: ${mb(before.wasm)} before, ${mb(after.wasm)} after`);
console.log(`JS heap used: ${mb(before.heap)} before, ${mb(after.heap)} after`);
await browser.close();
server.close();

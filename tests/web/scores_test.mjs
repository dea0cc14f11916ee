// scores_test.mjs: the page served by the score server. A session played in chromium to a game over is
// submitted from the page, ranked, shown on /scores, and the table's link watches it to the same end.
// Served by a plain static server, the same page shows nothing of the table.
// Usage: node tests/web/scores_test.mjs SITE_DIR SCORE_SERVER
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { cases, launchChromium } from './harness.mjs';
import { startServer } from './serve.mjs';

const [siteDir, serverBin] = process.argv.slice(2).map((arg) => arg && path.resolve(arg));
if (!serverBin) {
    console.error('usage: node tests/web/scores_test.mjs SITE_DIR SCORE_SERVER');
    process.exit(2);
}
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vorpaline-scores-page-'));
const { check, expect, tally } = cases();

// The score server with the site, on a free port of 127.0.0.1; resolves to its address.
const server = spawn(serverBin, ['--port', '0', '--site', siteDir, '--db', `sqlite:${path.join(work, 'scores.db')}`],
    { stdio: ['ignore', 'pipe', 'inherit'] });
const url = await new Promise((resolve, reject) => {
    let out = '';
    server.stdout.on('data', (chunk) => {
        out += chunk;
        const listening = /listening on (http:\/\/\S+)/.exec(out);
        if (listening) resolve(listening[1]);
    });
    server.on('exit', (code) => reject(new Error(`the score server exited with status ${code}`)));
});

const browser = await launchChromium();
const context = await browser.newContext({ viewport: { width: 1400, height: 1100 } });
const pageErrors = [];
context.on('page', (page) => page.on('pageerror', (error) => pageErrors.push(error.message)));
const page = await context.newPage();
page.setDefaultTimeout(20000);
const running = (on = page) => on.waitForFunction(() => typeof window.vorpaline === 'object', null, { timeout: 30000 });
const summary = (on = page) => on.evaluate(() => JSON.parse(Module.UTF8ToString(Module._vorpaline_session_summary())));
const untilTick = (t, on = page) =>
    on.waitForFunction((n) => window.vorpaline.ticks() >= n, t, { polling: 'raf', timeout: 60000 });

let submitted = null;
await check('a session played to a game over on the server\'s page is submitted and ranked', async () => {
    await page.goto(url);
    await running();
    await page.click('#screen');
    const start = await page.evaluate(() => window.vorpaline.ticks());
    await page.keyboard.press('z');
    // The ship stands still through three wrecks, then sweeps under the boss's stream until its last one.
    await untilTick(start + 1450);
    for (let leg = 0; (await summary()).finished_runs === 0; leg++) {
        expect(leg < 40, 'no game over after 40 sweeps');
        const key = leg % 2 === 0 ? 'ArrowLeft' : 'ArrowRight';
        const now = await page.evaluate(() => window.vorpaline.ticks());
        await page.keyboard.down(key);
        await untilTick(now + 40);
        await page.keyboard.up(key);
    }
    const best = (await summary()).best;
    await page.keyboard.down('Escape');
    await page.locator('#ended').waitFor({ state: 'visible' });
    await page.keyboard.up('Escape');
    await page.locator('#submit-score').waitFor({ state: 'visible' });
    await page.fill('#score-name', '  <b>Ada</b> & co  ');
    await page.click('#submit-score');
    await page.locator('#submit-result a').waitFor({ state: 'visible' });
    const answer = await page.textContent('#submit-result');
    expect(/^Ranked 1 of the normal runs with \d+/.test(answer), `the page says ${JSON.stringify(answer)}`);
    expect(answer.includes(`with ${best.score}`), `the page's score is not the session's best, ${best.score}`);
    expect(await page.evaluate(() => localStorage.getItem('vorpaline.name')) === '<b>Ada</b> & co',
        'the name is not remembered');
    submitted = best;
    return answer.trim();
});

await check('/scores shows it, its name escaped, and its link watches the run to the same game over', async () => {
    expect(submitted !== null, 'nothing was submitted');
    await page.goto(`${url}/scores`);
    const row = page.locator('tr', { hasText: '<b>Ada</b> & co' });
    expect(await row.count() === 1, 'the table has no row with the name as typed');
    expect(await page.locator('b', { hasText: 'Ada' }).count() === 0, 'the name was taken as HTML');
    await Promise.all([page.waitForEvent('load'), row.locator('a').first().click()]);
    expect(/\/\?run=\d+$/.test(page.url()), `the row links to ${page.url()}`);
    await running();
    expect(await page.isVisible('#watch-controls'), 'the page does not watch the run');
    await page.click('[data-speed="4"]');
    await page.locator('#ended').waitFor({ state: 'visible', timeout: 60000 });
    const message = await page.textContent('#ended-message');
    expect(message.includes(`game over, score ${submitted.score}`), `the page says ${JSON.stringify(message)}`);
    return message.trim();
});

await check('served by a plain static server the page shows nothing of a score table', async () => {
    const { server: plain, url: plainUrl } = await startServer(siteDir, 0);
    const other = await context.newPage();
    await other.goto(plainUrl);
    await running(other);
    await other.click('#screen');
    await other.keyboard.down('Escape');
    await other.locator('#ended').waitFor({ state: 'visible' });
    await other.waitForTimeout(500); // the probe's answer has come by now
    const shown = await other.isVisible('#submit');
    await other.close();
    plain.close();
    expect(!shown, 'the submit panel shows');
});

expect(pageErrors.length === 0, `uncaught errors: ${pageErrors.join('; ')}`);
await browser.close();
server.kill('SIGTERM');
fs.rmSync(work, { recursive: true, force: true });
console.log(`${tally.passed} passed, ${tally.failed} failed`);
process.exit(tally.failed === 0 ? 0 : 1);

// service_worker.mjs: writes the site's service worker from its template: the list of the site's files to
// keep for offline play, and the build's version, a digest of those files, which names their cache. A
// build that changes any file is a new version (every link of the game is: emcc gives the packed data a
// new id each time), and a new sw.js makes browsers install it and drop the old cache.
//
//   node tools/site/service_worker.mjs SITE_DIR TEMPLATE    (writes SITE_DIR/sw.js)
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';

const [siteDir, template] = process.argv.slice(2);
if (!siteDir || !template) {
    console.error('usage: node tools/site/service_worker.mjs SITE_DIR TEMPLATE');
    process.exit(2);
}
const worker = 'sw.js';
const files = fs.readdirSync(siteDir, { withFileTypes: true })
    .filter((entry) => entry.isFile() && entry.name !== worker)
    .map((entry) => entry.name)
    .sort();
const digest = crypto.createHash('sha256');
for (const file of files) {
    const bytes = fs.readFileSync(path.join(siteDir, file));
    digest.update(`${file}\0${bytes.length}\0`).update(bytes);
}
const text = fs.readFileSync(template, 'utf8')
    .replace('@SITE_VERSION@', digest.digest('hex').slice(0, 16))
    .replace('@SITE_FILES@', files.map((file) => JSON.stringify(file)).join(', '));
fs.writeFileSync(path.join(siteDir, worker), text);

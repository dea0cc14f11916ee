// canvas.mjs: what the browser tests compare: the page's canvas read back, and the replay tool's saved
// frames, both as RGBA rows of 640x480 pixels.
import fs from 'node:fs';

// The canvas as RGBA rows, copied through a 2D canvas so any kind of context can be read.
export async function readCanvas(page) {
    const base64 = await page.evaluate(() => {
        const screen = document.getElementById('screen');
        const copy = document.createElement('canvas');
        copy.width = screen.width;
        copy.height = screen.height;
        const context = copy.getContext('2d');
        context.drawImage(screen, 0, 0);
        const data = context.getImageData(0, 0, copy.width, copy.height).data;
        let text = '';
        for (let i = 0; i < data.length; i += 0x8000)
            text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
        return btoa(text);
    });
    return Buffer.from(base64, 'base64');
}

// An 8-bit 640x480 BMP as the replay tool saves it, through its palette, as RGBA rows top row first.
export function readFrameFile(path) {
    const bytes = fs.readFileSync(path);
    const width = bytes.readInt32LE(18), height = bytes.readInt32LE(22);
    if (bytes.readUInt16LE(28) !== 8 || width !== 640 || height !== 480)
        throw new Error(`${path}: not a 640x480 8-bit bitmap`);
    const table = 14 + bytes.readUInt32LE(14), offset = bytes.readUInt32LE(10);
    const rgba = Buffer.alloc(width * height * 4);
    for (let y = 0; y < height; y++)
        for (let x = 0; x < width; x++) {
            const index = bytes[offset + (height - 1 - y) * width + x], at = 4 * (y * width + x);
            rgba[at] = bytes[table + 4 * index + 2];
            rgba[at + 1] = bytes[table + 4 * index + 1];
            rgba[at + 2] = bytes[table + 4 * index];
            rgba[at + 3] = 255;
        }
    return rgba;
}

// null when two RGBA frames are equal, else how many pixels differ and the first.
export function frameDifference(a, b) {
    let count = 0, first = null;
    for (let i = 0; i < a.length; i += 4)
        if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) {
            count += 1;
            first ??= `(${(i / 4) % 640},${Math.floor(i / 4 / 640)}) is ${[...a.subarray(i, i + 3)]} not ${[...b.subarray(i, i + 3)]}`;
        }
    return count === 0 ? null : `${count} pixels differ, first ${first}`;
}

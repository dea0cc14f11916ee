// squeeze_png.mjs: rewrites a PNG with its image data deflated. The icon converter writes stored
// (uncompressed) blocks, which for the home-screen icons, the 32x32 icon scaled to 512x512, would be a
// quarter of a megabyte; deflated it is a few kilobytes. Every other chunk is kept as it is.
//
//   node tools/site/squeeze_png.mjs INPUT.png OUTPUT.png
import fs from 'node:fs';
import zlib from 'node:zlib';

const signature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

const crcTable = Array.from({ length: 256 }, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; k++)
        c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
});
function crc32(bytes) {
    let c = 0xffffffff;
    for (const byte of bytes)
        c = crcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
}

// A chunk: length, type, data, and the CRC of type and data.
function chunk(type, data) {
    const out = Buffer.alloc(12 + data.length);
    out.writeUInt32BE(data.length, 0);
    out.write(type, 4, 'latin1');
    data.copy(out, 8);
    out.writeUInt32BE(crc32(out.subarray(4, 8 + data.length)), 8 + data.length);
    return out;
}

const [input, output] = process.argv.slice(2);
if (!input || !output) {
    console.error('usage: node tools/site/squeeze_png.mjs INPUT.png OUTPUT.png');
    process.exit(2);
}
const png = fs.readFileSync(input);
if (png.length < signature.length || !png.subarray(0, 8).equals(signature)) {
    console.error(`${input}: not a PNG file`);
    process.exit(1);
}
// The IDAT chunks, consecutive by the format's rule, become one deflated IDAT in the first one's place.
const parts = [signature];
const imageData = [];
for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    const type = png.toString('latin1', at + 4, at + 8);
    const data = png.subarray(at + 8, at + 8 + length);
    if (type === 'IDAT') {
        if (imageData.length === 0)
            parts.push(null);
        imageData.push(data);
    } else {
        parts.push(chunk(type, data));
    }
    at += 12 + length;
}
const raw = zlib.inflateSync(Buffer.concat(imageData));
parts[parts.indexOf(null)] = chunk('IDAT', zlib.deflateSync(raw, { level: 9 }));
fs.writeFileSync(output, Buffer.concat(parts));

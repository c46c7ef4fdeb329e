// Reads the PNG files browsers write as screenshots (8 bits a sample, RGB or
// RGBA, not interlaced), so a test can look at a picture's pixels.
import zlib from 'node:zlib';

const SIGNATURE = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
const CHANNELS = { 2: 3, 6: 4 }; // colour type: RGB, RGBA

function chunks(png) {
    const list = [];
    for (let at = SIGNATURE.length; at + 8 <= png.length;) {
        const length = png.readUInt32BE(at);
        const type = png.toString('latin1', at + 4, at + 8);
        list.push({ type, data: png.subarray(at + 8, at + 8 + length) });
        at += 12 + length;
    }
    return list;
}

function paeth(a, b, c) {
    const p = a + b - c;
    const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes the per-row filters; returns the rows without their filter bytes.
function unfilter(raw, width, height, channels) {
    const stride = width * channels;
    const out = Buffer.alloc(stride * height);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const row = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        for (let i = 0; i < stride; ++i) {
            const a = i >= channels ? out[y * stride + i - channels] : 0;
            const b = y > 0 ? out[(y - 1) * stride + i] : 0;
            const c = i >= channels && y > 0 ? out[(y - 1) * stride + i - channels] : 0;
            const predictor = [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
            out[y * stride + i] = (row[i] + predictor) & 0xff;
        }
    }
    return out;
}

export function decodePng(png) {
    if (!png.subarray(0, 8).equals(SIGNATURE))
        throw new Error('not a PNG file');
    const all = chunks(png);
    const header = all.find((c) => c.type === 'IHDR').data;
    const width = header.readUInt32BE(0), height = header.readUInt32BE(4);
    const [depth, colourType, , , interlace] = header.subarray(8, 13);
    const channels = CHANNELS[colourType];
    if (depth !== 8 || channels === undefined || interlace !== 0)
        throw new Error(`PNG of depth ${depth}, colour type ${colourType}, interlace ${interlace}`);
    const data = all.filter((c) => c.type === 'IDAT').map((c) => c.data);
    const raw = zlib.inflateSync(Buffer.concat(data));
    const rows = unfilter(raw, width, height, channels);
    const at = (x, y) => (y * width + x) * channels;
    return { width, height, pixel: (x, y) => [...rows.subarray(at(x, y), at(x, y) + 3)] };
}

// The native programs the page is compared with: pc-snake and snake-render
// from a native build (build/release/bin unless PC_SNAKE_BIN names another
// folder), run in a scratch folder, their pictures read back.
import { execFile } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';

import { decodePng } from './png.mjs';

export const NATIVE_BIN = process.env.PC_SNAKE_BIN ??
    fileURLToPath(new URL('../../../build/release/bin', import.meta.url));

const run = promisify(execFile);

export const nativeProgram = (name) => path.join(NATIVE_BIN, name);

export function scratchFolder() {
    return fs.mkdtempSync(path.join(os.tmpdir(), 'pc-snake-web-'));
}

// pc-snake's picture of frame n at a level: 256 x 256 RGB, rows from the top.
export async function pcSnakeFrame(level, n) {
    const { stdout } = await run(nativeProgram('pc-snake'), [String(level), String(n)],
        { maxBuffer: 1 << 22 });
    const words = stdout.split(/\s+/).filter((word) => word.length > 0);
    if (words[0] !== 'P3' || words[1] !== '256' || words[2] !== '256' || words[3] !== '255')
        throw new Error(`pc-snake ${level} ${n} wrote no 256 x 256 P3 picture`);
    return Uint8Array.from(words.slice(4, 4 + 3 * 256 * 256), Number);
}

// snake-render with these arguments in `folder`; its standard error and status.
export async function snakeRender(args, folder) {
    try {
        const { stderr } = await run(nativeProgram('snake-render'), args, { cwd: folder, maxBuffer: 1 << 26 });
        return { status: 0, stderr };
    } catch (error) {
        if (typeof error.code !== 'number')
            throw error;
        return { status: error.code, stderr: error.stderr };
    }
}

// A PNG's pixels as RGB, rows from the top.
export function pngRgb(file) {
    const png = decodePng(fs.readFileSync(file));
    const rgb = new Uint8Array(3 * png.width * png.height);
    for (let y = 0; y < png.height; ++y)
        for (let x = 0; x < png.width; ++x)
            rgb.set(png.pixel(x, y), 3 * (y * png.width + x));
    return { width: png.width, height: png.height, rgb };
}

// A float WAV's samples, channels interleaved (snake-render --wav, float format).
export function wavFloats(file) {
    const bytes = fs.readFileSync(file);
    if (bytes.toString('latin1', 0, 4) !== 'RIFF' || bytes.toString('latin1', 8, 12) !== 'WAVE')
        throw new Error(`${file} is not a WAV file`);
    let format = null;
    for (let at = 12; at + 8 <= bytes.length;) {
        const id = bytes.toString('latin1', at, at + 4);
        const size = bytes.readUInt32LE(at + 4);
        const body = bytes.subarray(at + 8, at + 8 + size);
        if (id === 'fmt ')
            format = { tag: body.readUInt16LE(0), channels: body.readUInt16LE(2), rate: body.readUInt32LE(4), bits: body.readUInt16LE(14) };
        if (id === 'data') {
            const floats = new Float32Array(size / 4);
            for (let i = 0; i < floats.length; ++i)
                floats[i] = body.readFloatLE(4 * i);
            return { ...format, samples: floats };
        }
        at += 8 + size + (size & 1);
    }
    throw new Error(`${file} has no data chunk`);
}

// Figures of the page, measured in headless Chromium on this machine: the
// module's size, how soon the first frame is on the screen, and the frame
// rate by the page's own frame clock with the time a frame costs, in each
// look. Not a test: run it by hand after `cmake --workflow --preset web`:
//   node web/bench/measure.mjs
import fs from 'node:fs';
import path from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import zlib from 'node:zlib';

import { launchChromium, SITE } from '../tests/support/browsers.mjs';
import { openPage, openView } from '../tests/support/page_watch.mjs';
import { serveFolder } from '../tests/support/static_server.mjs';

const RUNS = 10;
const SECONDS = 6;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

function moduleSize() {
    const wasm = fs.readFileSync(path.join(SITE, 'pc-snake.wasm'));
    return { raw: wasm.length, gzip: zlib.gzipSync(wasm, { level: 9 }).length };
}

async function firstFrame(browser, origin, link, runs) {
    const times = [];
    for (let i = 0; i < runs; ++i) {
        const { page } = await openPage(browser, origin, link);
        await page.waitForFunction(() => window.pcSnake?.stats().firstFrameMs > 0, { timeout: 30_000 });
        times.push(await page.evaluate(() => window.pcSnake.stats().firstFrameMs));
        await page.close();
    }
    return { median: median(times), max: Math.max(...times) };
}

// Plays live for SECONDS; the page's rate, and the milliseconds of its own
// work per frame played (the module's frame, the tube's light) and per
// picture drawn (the GPU's work finished within it).
async function livePlay(browser, origin, link) {
    const { page } = await openView(browser, origin, link);
    await page.evaluate(() => {
        const { player } = window.pcSnake;
        const timed = (object, name, finish = () => {}) => {
            const original = object[name].bind(object);
            const record = (window.timings ??= {})[name] = { ms: 0, count: 0 };
            object[name] = (...args) => {
                const start = performance.now();
                const result = original(...args);
                finish();
                record.ms += performance.now() - start;
                ++record.count;
                return result;
            };
        };
        const gl = player.tube?.gl;
        timed(player, 'playFrame');
        timed(player, 'draw', () => gl?.finish());
    });
    await sleep(SECONDS * 1000);
    const seen = await page.evaluate(() => ({ ...window.pcSnake.stats(), timings: window.timings }));
    await page.close();
    const per = (name) => (seen.timings[name].ms / Math.max(1, seen.timings[name].count)).toFixed(2);
    return { rate: seen.rate.toFixed(1), renderer: seen.renderer, frameMs: per('playFrame'), drawMs: per('draw') };
}

const server = await serveFolder(SITE);
const chromium = await launchChromium();
try {
    const size = moduleSize();
    console.log(`pc-snake.wasm: ${size.raw} bytes, ${size.gzip} gzipped (gzip -9)`);
    // A tube frame's picture needs the frames before it (469 at the default
    // persistence): a linked one costs their light.
    const links = [['/', RUNS], ['/?level=3&frame=300', RUNS], ['/?level=3&frame=300&look=tube&tube=webgl', 3],
        ['/?level=3&frame=300&look=tube&tube=cpu', 3]];
    for (const [link, runs] of links) {
        const t = await firstFrame(chromium.browser, server.origin, link, runs);
        console.log(`first frame on screen, ${link}: median ${t.median.toFixed(0)} ms, at most ${t.max.toFixed(0)} ms after navigation (${runs} loads)`);
    }
    for (const link of ['/', '/?look=tube&tube=webgl', '/?look=tube&tube=cpu']) {
        const r = await livePlay(chromium.browser, server.origin, link);
        console.log(`live ${link}: ${r.rate} frames a second by the page's clock` +
            `${r.renderer ? ` (${r.renderer})` : ''}; ${r.frameMs} ms a frame played, ${r.drawMs} ms a picture drawn`);
    }
} finally {
    await chromium.close();
    await server.close();
}

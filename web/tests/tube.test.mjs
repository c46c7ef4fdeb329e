// The tube look on the page is snake-render's tube frame at the same knobs,
// drawn by WebGL2 (SwiftShader here) or by the module's CPU tube.
//
// The bound: every colour channel within 2 of snake-render's, and a mean
// difference below 0.01. The WebGL2 tube lights the same float products in
// the same order on the core's own spot tables and looks each exposure up
// in the core's own tone table, so only a GPU's float rounding can differ
// (a fused multiply-add, flushed denormals): that changes the light in its
// last bits, which moves a pixel at most one step of the tone map (0.07 %
// apart), a channel by at most 1, and only where the light lies on a step's
// edge. 2 leaves room for a step of the halo too. SwiftShader and the CPU
// tube give 0.
import assert from 'node:assert/strict';
import path from 'node:path';
import { describe, test } from 'node:test';

import { need } from './support/browsers.mjs';
import { pictureDistance } from './support/compare.mjs';
import { pngRgb, snakeRender } from './support/native.mjs';
import { openView, shownPicture } from './support/page_watch.mjs';
import { chromiumSuite } from './support/suite.mjs';

const needs = need('puppeteer', 'chromium', 'site', 'native');
const MAX_CHANNEL_DIFFERENCE = 2;
const MAX_MEAN_DIFFERENCE = 0.01;

// The view, its knobs as the page's link and snake-render's options name them.
const VIEWS = [
    { tube: 'webgl', level: 3, frame: 290, knobs: { size: 512 } },
    { tube: 'webgl', level: 1, frame: 120, knobs: { size: 256, focus: 1.5, brightness: 4, persistence: 30, glow: 1 } },
    { tube: 'cpu', level: 2, frame: 400, knobs: { size: 384, focus: 0.3, brightness: 0.5, persistence: 0, glow: 0 } },
];

describe('the tube look in Chromium', { skip: needs.skip }, () => {
    const suite = chromiumSuite(needs);

    test("the tube picture is within the bound of snake-render's tube frame", { timeout: 90_000 }, async (t) => {
        for (const view of VIEWS) {
            const knobs = Object.entries(view.knobs);
            const link = `/?level=${view.level}&frame=${view.frame}&look=tube&tube=${view.tube}&` +
                knobs.map(([name, value]) => `${name}=${value}`).join('&');
            const { page, problems } = await openView(suite.chromium.browser, suite.server.origin, link);
            const renderer = await page.evaluate(() => window.pcSnake.stats().renderer);
            assert.equal(renderer, view.tube === 'cpu' ? 'CPU' : 'WebGL2', link);
            const shown = await shownPicture(page, 'tube');
            const { status, stderr } = await snakeRender([String(view.level), String(view.frame),
                '--look', 'tube', ...knobs.flatMap(([name, value]) => [`--${name}`, String(value)]),
                '-o', 'tube.png'], suite.folder);
            assert.equal(status, 0, stderr);
            const expected = pngRgb(path.join(suite.folder, 'tube.png'));
            assert.equal(shown.length / 4, expected.width * expected.height, `${link}: the picture's size`);
            const d = pictureDistance(shown, expected.rgb, expected.width);
            const what = `${link}: largest difference ${d.max} at pixel (${d.x}, ${d.y}), mean ${d.mean.toFixed(4)}`;
            t.diagnostic(what);
            assert.ok(d.max <= MAX_CHANNEL_DIFFERENCE && d.mean <= MAX_MEAN_DIFFERENCE, what);
            assert.deepEqual(problems, [], link);
            await page.close();
        }
    });
});

// A link to a frame opens on pc-snake's picture of it: frames 1, 112, 300,
// 1000 and 2147483647 at each level, read back from the page, equal
// pc-snake's PPM pixel for pixel; and the exact look is drawn crisp, each
// screen point a block of whole pixels.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { need } from './support/browsers.mjs';
import { enlarged, samePicture } from './support/compare.mjs';
import { pcSnakeFrame } from './support/native.mjs';
import { exactScreenshot, openView, shownPicture } from './support/page_watch.mjs';
import { chromiumSuite } from './support/suite.mjs';

const needs = need('puppeteer', 'chromium', 'site', 'native');
const LEVELS = [1, 2, 3, 4];
const FRAMES = [1, 112, 300, 1000, 2147483647];

describe('linked frames in Chromium', { skip: needs.skip }, () => {
    const suite = chromiumSuite(needs);

    test('each linked frame is pc-snake\'s picture of it', { timeout: 120_000 }, async () => {
        for (const level of LEVELS) {
            for (const frame of FRAMES) {
                const what = `frame ${frame} of level ${level}`;
                const { page, problems } = await openView(suite.chromium.browser, suite.server.origin,
                    `/?level=${level}&frame=${frame}`);
                const [shown, expected] = await Promise.all([shownPicture(page), pcSnakeFrame(level, frame)]);
                samePicture(shown, expected, 256, what);
                const status = await page.evaluate(() => window.pcSnake.snake.status());
                assert.equal(status.drawn, frame, `${what}: the page stands at frame ${status.drawn}`);
                assert.deepEqual(problems, [], what);
                await page.close();
            }
        }
    });

    test('the exact look is drawn crisp: a block of whole pixels per point', { timeout: 60_000 }, async () => {
        for (const scale of [1, 2]) {
            const { page, problems } = await openView(suite.chromium.browser, suite.server.origin, '/?level=3&frame=300');
            await page.setViewport({ width: 1100, height: 900, deviceScaleFactor: scale });
            await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(resolve)));
            const shot = await exactScreenshot(page);
            assert.ok(Number.isInteger(shot.perPoint) && shot.perPoint >= scale, `${shot.perPoint} device pixels a point`);
            const expected = enlarged(await pcSnakeFrame(3, 300), shot.perPoint, shot.width, shot.height);
            samePicture(shot.rgba, expected, shot.width, `the screenshot at ${scale} device pixels a CSS pixel`);
            assert.deepEqual(problems, []);
            await page.close();
        }
    });
});

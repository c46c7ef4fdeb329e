// The page in headless Chromium: it loads and plays pc-snake's game live,
// nothing goes wrong on the way, and nothing is asked of any server but the
// page's own; a link's bad values are named on the page and ignored, its
// good ones taken; swipes on a touch screen steer as the arrows do.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { need } from './support/browsers.mjs';
import { goToFrame, moduleStatus, openPage, openView } from './support/page_watch.mjs';
import { chromiumSuite } from './support/suite.mjs';

const needs = need('puppeteer', 'chromium', 'site');

describe('the page in Chromium', { skip: needs.skip }, () => {
    const suite = chromiumSuite(needs);

    const options = { timeout: needs.timeout };

    test('loads, plays the game live, with no console error and no request elsewhere', options, async () => {
        const { page, problems } = await openPage(suite.chromium.browser, suite.server.origin);
        assert.deepEqual(await moduleStatus(page), {
            state: 'loaded',
            text: 'pc-snake in the browser: the module is running',
        });
        const frameNow = () => page.evaluate(() => window.pcSnake.snake.status().drawn);
        const first = await frameNow();
        await page.waitForFunction((n) => window.pcSnake.snake.status().drawn >= n + 10, { timeout: 5000 }, first);
        const status = await page.evaluate(() => window.pcSnake.snake.status());
        assert.deepEqual([status.level, status.seed, status.speed, status.growth, status.device],
            [1, 8704, 1, 20, 0], "pc-snake's game");
        assert.deepEqual(problems, []);
    });

    test("a link's bad values are named on the page and ignored, its good ones taken", options, async () => {
        const { page, problems } = await openView(suite.chromium.browser, suite.server.origin,
            '/?level=7&frame=12abc&look=tube&tube=cpu&focus=9&glow=2&seed=0x2201&colour=red');
        const messages = await page.$$eval('#messages li', (items) => items.map((item) => item.textContent));
        assert.deepEqual(messages.sort(), [
            "colour: not a parameter of this page (level, frame, seed, speed, growth, device, look, size, persistence, focus, brightness, glow, gain, tube); ignored",
            "focus: '9' is not a number from 0.2 to 4; ignored",
            "frame: '12abc' is not a frame N (decimal) from 1 to 2147483647; ignored",
            "level: '7' is not a whole number from 1 to 4; ignored",
        ]);
        const seen = await page.evaluate(() => ({
            status: window.pcSnake.snake.status(),
            look: window.pcSnake.player.look,
            knobs: window.pcSnake.player.tubeKnobs,
            renderer: window.pcSnake.stats().renderer,
        }));
        assert.equal(seen.status.level, 1);
        assert.equal(seen.status.seed, 0x2201);
        assert.equal(seen.look, 'tube');
        assert.equal(seen.renderer, 'CPU');
        assert.deepEqual([seen.knobs.focus, seen.knobs.glow], [0.6, 2]);
        assert.deepEqual(problems, []);
    });

    test('swipes on the screen steer as the arrow keys do', options, async () => {
        // Which way a finger goes across the screen (CSS pixels), and the key.
        const SWIPES = [[-80, 5, 'left'], [4, -60, 'up'], [70, -20, 'right'], [-10, 90, 'down'], [10, 12, null]];
        const { page, problems } = await openView(suite.chromium.browser, suite.server.origin, '/?level=1&frame=1#keys=');
        const box = await page.$eval('#screen', (screen) => {
            const r = screen.getBoundingClientRect();
            return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
        });
        let frame = 1;
        const expected = [];
        for (const [dx, dy, key] of SWIPES) {
            await page.touchscreen.touchStart(box.x, box.y);
            await page.touchscreen.touchMove(box.x + dx / 2, box.y + dy / 2);
            await page.touchscreen.touchMove(box.x + dx, box.y + dy);
            await page.touchscreen.touchEnd();
            await goToFrame(page, ++frame);
            if (key !== null)
                expected.push(`${frame} ${key}`);
        }
        const recording = await page.evaluate(() => window.pcSnake.snake.recording());
        assert.deepEqual(recording.split('\n').filter((line) => /^\d+ /.test(line)), expected);
        assert.deepEqual(problems, []);
    });
});

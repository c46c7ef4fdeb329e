// The page in headless Firefox ESR: a link to frame 300 of level 3 opens on
// it, and a screenshot of the screen shows pc-snake's picture of the frame,
// each point a block of whole pixels.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { launchFirefox, need, SITE } from './support/browsers.mjs';
import { enlarged, samePicture } from './support/compare.mjs';
import { pcSnakeFrame } from './support/native.mjs';
import { exactScreenshot, openView } from './support/page_watch.mjs';
import { serveFolder } from './support/static_server.mjs';

const needs = need('puppeteer', 'firefox', 'site', 'native');

const TITLE = "Firefox ESR opens a linked frame, and its screenshot is pc-snake's picture";

test(TITLE, { skip: needs.skip, timeout: needs.timeout }, async () => {
    needs.check();
    const server = await serveFolder(SITE);
    const firefox = await launchFirefox();
    try {
        const { page, problems } = await openView(firefox.browser, server.origin, '/?level=3&frame=300');
        await page.setViewport({ width: 1200, height: 900 }); // room for two pixels a point
        await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(resolve)));
        const shot = await exactScreenshot(page);
        assert.ok(Number.isInteger(shot.perPoint) && shot.perPoint >= 2, `${shot.perPoint} device pixels a point`);
        const expected = enlarged(await pcSnakeFrame(3, 300), shot.perPoint, shot.width, shot.height);
        samePicture(shot.rgba, expected, shot.width, 'the screenshot of frame 300 of level 3');
        assert.deepEqual(problems, []);
    } finally {
        await firefox.close();
        await server.close();
    }
});

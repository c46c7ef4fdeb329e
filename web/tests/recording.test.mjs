// A game played live and downloaded from the page replays in snake-render to
// the same frames: keys pressed at whatever frames the page's clock was on,
// the game paused, its key script downloaded, and snake-render's pictures of
// that script equal the page's, the frame it stopped on and earlier ones.
// The page's link to the game opens on the same picture.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';

import { setTimeout as sleep } from 'node:timers/promises';
import { describe, test } from 'node:test';

import { need } from './support/browsers.mjs';
import { rgbOf, samePicture } from './support/compare.mjs';
import { pngRgb, snakeRender } from './support/native.mjs';
import { goToFrame, openView, shownPicture } from './support/page_watch.mjs';
import { chromiumSuite } from './support/suite.mjs';

const needs = need('puppeteer', 'chromium', 'site', 'native');
// Keys pressed while the game runs live, with the pause before each (ms).
const PLAYED = [[300, 'ArrowRight'], [250, 'ArrowUp'], [200, 'a'], [350, 'ArrowDown'], [150, '+'], [300, 'd']];

async function downloaded(folder, before) {
    for (let waited = 0; waited < 10_000; waited += 100) {
        const fresh = fs.readdirSync(folder).filter((name) => !before.includes(name) && name.endsWith('.keys'));
        if (fresh.length > 0)
            return path.join(folder, fresh[0]);
        await sleep(100);
    }
    throw new Error('no key script was downloaded');
}

describe('a recording in Chromium', { skip: needs.skip }, () => {
    const suite = chromiumSuite(needs);

    test('a game played live, downloaded, replays in snake-render to the same frames', { timeout: 60_000 }, async () => {
        const { page, problems } = await openView(suite.chromium.browser, suite.server.origin, '/?level=3');
        const session = await page.createCDPSession();
        await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: suite.folder });
        for (const [wait, key] of PLAYED) {
            await sleep(wait);
            await page.keyboard.press(key);
        }
        await sleep(200);
        await page.keyboard.press(' ');
        await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
        const { drawn } = await page.evaluate(() => window.pcSnake.snake.status());
        const last = await shownPicture(page);
        await page.click('#share');
        const link = await page.$eval('#share-link', (output) => output.textContent);
        assert.ok(link.startsWith(`${suite.server.origin}/?frame=${drawn}&`) && link.includes('#keys='), link);
        const linked = await openView(suite.chromium.browser, suite.server.origin, link.slice(suite.server.origin.length));
        samePicture(await shownPicture(linked.page), rgbOf(last), 256, `the shared link to frame ${drawn}`);
        assert.deepEqual(linked.problems, []);
        await linked.page.close();
        await page.bringToFront(); // a page behind another gets no animation frames
        const before = fs.readdirSync(suite.folder);
        await page.click('#download-keys');
        const keys = await downloaded(suite.folder, before);
        const text = fs.readFileSync(keys, 'utf8');
        assert.match(text, /^level 3$/m);
        assert.ok(text.split('\n').filter((line) => /^\d+ /.test(line)).length >= 6,
            `the recording holds the keys played:\n${text}`);

        const rendered = async (n) => {
            const { status, stderr } = await snakeRender(['3', String(n), '--keys', keys, '-o', 'frame.png'], suite.folder);
            assert.equal(status, 0, stderr);
            return pngRgb(path.join(suite.folder, 'frame.png')).rgb;
        };
        samePicture(last, await rendered(drawn), 256, `frame ${drawn}, where the game was paused`);
        for (const n of [Math.floor(drawn / 3), Math.floor((2 * drawn) / 3)]) {
            await goToFrame(page, n);
            samePicture(await shownPicture(page), await rendered(n), 256, `frame ${n} of the recording`);
        }
        assert.deepEqual(problems, []);
    });
});

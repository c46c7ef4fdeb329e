// The page in headless Firefox ESR: it loads the module as in Chromium, and
// a screenshot shows the loaded state (the status line's green mark).
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { launchFirefox, need, SITE } from './support/browsers.mjs';
import { moduleStatus, openPage } from './support/page_watch.mjs';
import { decodePng } from './support/png.mjs';
import { serveFolder } from './support/static_server.mjs';

// The status line's mark once the module is loaded (page.css).
const LOADED_GREEN = [0x00, 0xc0, 0x50];

const needs = need('puppeteer', 'firefox', 'site');

const TITLE = 'Firefox ESR loads the page, and its screenshot shows the module loaded';

test(TITLE, { skip: needs.skip, timeout: needs.timeout }, async () => {
    needs.check();
    const server = await serveFolder(SITE);
    const firefox = await launchFirefox();
    try {
        const { page, problems } = await openPage(firefox.browser, server.origin);
        assert.equal((await moduleStatus(page)).state, 'loaded');
        const mark = await page.$eval('#status', (element) => {
            const box = element.getBoundingClientRect();
            return { x: Math.round(box.left + 2), y: Math.round(box.top + box.height / 2) };
        });
        const shot = decodePng(Buffer.from(await page.screenshot()));
        assert.deepEqual(shot.pixel(mark.x, mark.y), LOADED_GREEN, `pixel (${mark.x}, ${mark.y})`);
        assert.deepEqual(problems, []);
    } finally {
        await firefox.close();
        await server.close();
    }
});

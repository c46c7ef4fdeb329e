// The page in headless Chromium: the module loads and answers, nothing goes
// wrong on the way, and nothing is asked of any server but the page's own.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { launchChromium, need, SITE } from './support/browsers.mjs';
import { moduleStatus, openPage } from './support/page_watch.mjs';
import { serveFolder } from './support/static_server.mjs';

const needs = need('puppeteer', 'chromium', 'site');

describe('the page in Chromium', { skip: needs.skip }, () => {
    let server;
    let chromium;
    before(async () => {
        needs.check();
        server = await serveFolder(SITE);
        chromium = await launchChromium();
    }, { timeout: needs.timeout });
    after(async () => {
        await chromium?.close();
        await server?.close();
    }, { timeout: needs.timeout });

    const options = { timeout: needs.timeout };

    test('loads the module with no console error and no request elsewhere', options, async () => {
        const { page, problems } = await openPage(chromium.browser, server.origin);
        const status = await moduleStatus(page);
        assert.deepEqual(status, {
            state: 'loaded',
            text: 'pc-snake in the browser: module loaded, 6 exports',
        });
        assert.deepEqual(problems, []);
    });

    test('plays frame 1 as the native build does, read from module memory', options, async () => {
        const { page, problems } = await openPage(chromium.browser, server.origin);
        await moduleStatus(page);
        const seen = await page.evaluate(async () => {
            const { loadSnake } = await import('./snake_module.js');
            const snake = await loadSnake();
            const beforeStart = snake.frame();
            const refused = [0, 5].filter((level) => !snake.start(level));
            const started = snake.start(1);
            const ticks = snake.frame();
            const points = snake.points();
            const above = []; // above the walls, y over 200: the score text alone
            for (let i = 0; i < points.length; i += 2)
                if (points[i + 1] > 200)
                    above.push([points[i], points[i + 1]]);
            return {
                beforeStart, refused, started, ticks,
                lit: points.length / 2,
                scoreText: {
                    minX: Math.min(...above.map(([x]) => x)),
                    minY: Math.min(...above.map(([, y]) => y)),
                    maxY: Math.max(...above.map(([, y]) => y)),
                },
            };
        });
        // As tests/snake counts frame 1 of level 1: 368 ticks; the score text's
        // two lines start at x 100, baseline 209, capitals up to 220 + 6.
        assert.equal(seen.beforeStart, -1);
        assert.deepEqual(seen.refused, [0, 5]);
        assert.equal(seen.started, true);
        assert.equal(seen.ticks, 368);
        assert.ok(seen.lit > 0 && seen.lit < 368, `${seen.lit} lit ticks`);
        assert.deepEqual(seen.scoreText, { minX: 100, minY: 209, maxY: 226 });
        assert.deepEqual(problems, []);
    });
});

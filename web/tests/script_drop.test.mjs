// A key script with a fault, dropped on the page or chosen in its file
// field, is named as snake-render names it, "FILE:LINE: what is wrong", and
// the game in play goes on as it was; a good one is played.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { describe, test } from 'node:test';

import { need } from './support/browsers.mjs';
import { snakeRender } from './support/native.mjs';
import { openView } from './support/page_watch.mjs';
import { chromiumSuite } from './support/suite.mjs';

const needs = need('puppeteer', 'chromium', 'site', 'native');

// File name, its bytes, and how it reaches the page.
const FAULTY = [
    ['sideways.keys', 'level 1\n2 left\n5 sideways\n', 'drop'],
    ['order.keys', '# two keys\n10 left\n5 right\n', 'drop'],
    ['seed.keys', 'seed 0\n', 'field'],
    ['binary.keys', Buffer.from([0x31, 0x20, 0x6c, 0x65, 0x66, 0x74, 0x0a, 0x01, 0xff, 0x0a]), 'drop'],
    ['long.keys', `1 left\n${'#'.repeat(5000)}\n`, 'field'],
];

// Drops a file of these bytes on the page as a person's drag would.
function drop(page, name, bytes) {
    return page.evaluate((fileName, content) => {
        const transfer = new DataTransfer();
        transfer.items.add(new File([new Uint8Array(content)], fileName, { type: 'text/plain' }));
        for (const type of ['dragenter', 'dragover', 'drop'])
            document.body.dispatchEvent(new DragEvent(type, { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, name, [...bytes]);
}

const newestMessage = (page) => page.$eval('#messages li', (item) => item.textContent);

describe('key scripts given to the page in Chromium', { skip: needs.skip }, () => {
    const suite = chromiumSuite(needs);

    test('a faulty script shows snake-render\'s FILE:LINE: message; the game goes on', { timeout: 60_000 }, async () => {
        const { page, problems } = await openView(suite.chromium.browser, suite.server.origin, '/?level=2&frame=40');
        for (const [name, content, how] of FAULTY) {
            const bytes = Buffer.from(content);
            fs.writeFileSync(path.join(suite.folder, name), bytes);
            const { status, stderr } = await snakeRender(['1', '1', '--keys', name, '-o', 'x.ppm'], suite.folder);
            assert.equal(status, 1, `${name}: snake-render refuses it`);
            const expected = stderr.trim().replace(/^snake-render: /, '');
            assert.match(expected, new RegExp(`^${name}:\\d+: `));
            if (how === 'drop')
                await drop(page, name, bytes);
            else
                await (await page.$('#script-file')).uploadFile(path.join(suite.folder, name));
            await page.waitForFunction((text) => document.querySelector('#messages li')?.textContent === text,
                { timeout: 5000 }, expected).catch(() => {});
            assert.equal(await newestMessage(page), expected, `${name}, by ${how}`);
            const status2 = await page.evaluate(() => window.pcSnake.snake.status());
            assert.deepEqual([status2.level, status2.drawn], [2, 40], `${name}: the game in play is kept`);
        }
        const good = Buffer.from('level 4\nseed 99\n3 left\n');
        await drop(page, 'good.keys', good);
        await page.waitForFunction(() => window.pcSnake.snake.status().level === 4, { timeout: 5000 });
        const { seed, lastKey } = await page.evaluate(() => window.pcSnake.snake.status());
        assert.deepEqual({ seed, lastKey }, { seed: 99, lastKey: 3 }, 'a good script is played');
        assert.deepEqual(problems, []);
    });
});

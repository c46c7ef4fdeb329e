// The beam debugger: '.' steps frame 300 of level 3 one beam tick at a time,
// and at every tick the panel names the frame, the tick, the pass and the
// painter state, and the marker stands where the beam is, as snake-render's
// trace of that frame has them; once every tick is shown the frame is
// pc-snake's and its budget snake-render's --beam count. ',' then paints
// frames tick by tick, and off again plays on.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { describe, test } from 'node:test';

import { need } from './support/browsers.mjs';
import { samePicture } from './support/compare.mjs';
import { pcSnakeFrame, snakeRender } from './support/native.mjs';
import { openView, shownPicture } from './support/page_watch.mjs';
import { chromiumSuite } from './support/suite.mjs';

const needs = need('puppeteer', 'chromium', 'site', 'native');
const LEVEL = 3;
const FRAME = 300;
const PASSES = ['texts', 'walls', 'food', 'head', 'body', 'end'];

// The trace's hover titles: "tick 212: texts (state fa), lit at (115, 26)".
function traceTicks(svg) {
    const ticks = new Map();
    for (const [, tick, pass, state, rest] of svg.matchAll(/<title>tick (\d+): (\w+) \(state ([0-9a-f]{2})\), ([^<]*)<\/title>/g)) {
        const lit = rest.match(/^lit at \((\d+), (\d+)\)$/);
        ticks.set(Number(tick), { pass, state, lit: lit ? { x: Number(lit[1]), y: Number(lit[2]) } : null });
    }
    return ticks;
}

// The frame's ticks by pass, from --beam's CSV.
function beamBudget(csv) {
    const byPass = PASSES.map(() => 0);
    for (const line of csv.trim().split('\n').slice(1))
        ++byPass[PASSES.indexOf(line.split(',')[2])];
    return byPass;
}

describe('the beam debugger in Chromium', { skip: needs.skip }, () => {
    const suite = chromiumSuite(needs);

    test("'.' steps the frame tick by tick as snake-render's trace has it; ',' paints in slow motion", { timeout: 60_000 }, async () => {
        const { status, stderr } = await snakeRender([String(LEVEL), String(FRAME), '--trace', 'trace.svg',
            '--beam', 'beam.csv'], suite.folder);
        assert.equal(status, 0, stderr);
        const trace = traceTicks(fs.readFileSync(path.join(suite.folder, 'trace.svg'), 'utf8'));
        const budget = beamBudget(fs.readFileSync(path.join(suite.folder, 'beam.csv'), 'utf8'));
        const total = budget.reduce((a, b) => a + b, 0);
        assert.ok(trace.size > 100, 'the trace names the ticks');

        const { page, problems } = await openView(suite.chromium.browser, suite.server.origin, `/?level=${LEVEL}&frame=${FRAME - 1}`);
        for (let tick = 1; tick <= total; ++tick) {
            await page.keyboard.press('.');
            const expected = trace.get(tick);
            if (expected === undefined)
                continue;
            const shown = await page.evaluate((lit) => {
                const marker = lit === null ? null
                    : [...document.getElementById('marker').getContext('2d').getImageData(lit.x, 255 - lit.y, 1, 1).data];
                return { where: document.querySelector('#beam .where').textContent, marker };
            }, expected.lit);
            assert.equal(shown.where, `frame ${FRAME}, tick ${tick}, pass ${expected.pass}, state ${expected.state}`);
            if (expected.lit !== null)
                assert.deepEqual(shown.marker, [0xff, 0xb0, 0x20, 0xff], `tick ${tick}: the marker on (${expected.lit.x}, ${expected.lit.y})`);
        }
        await page.keyboard.press('.'); // all ticks are shown: the frame ends
        await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
        samePicture(await shownPicture(page), await pcSnakeFrame(LEVEL, FRAME), 256, `frame ${FRAME} stepped through`);
        const panel = await page.$$eval('#beam .pass .ticks', (cells) => cells.map((cell) => cell.textContent));
        assert.deepEqual(panel, [...budget.map(String), `${total} of 2000 (${((100 * total) / 2000).toFixed(1)} %)`]);

        await page.keyboard.press(',');
        await page.keyboard.press(' ');
        await page.waitForFunction(() => window.pcSnake.snake.status().shown > 20, { timeout: 5000 });
        assert.equal((await page.evaluate(() => window.pcSnake.snake.status())).drawn, FRAME,
            'in slow motion frame 301 is painted tick by tick');
        await page.keyboard.press(',');
        await page.waitForFunction((n) => window.pcSnake.snake.status().drawn > n + 2, { timeout: 5000 }, FRAME);
        assert.deepEqual(problems, []);
    });
});

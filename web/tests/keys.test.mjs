// Real key presses at a script's frames give snake-render's frames for that
// script: the page, paused on the frame before each press, takes the key
// after the next frame it draws, as snake-render takes a script's key after
// its frame; jumps between go through the page's frame field.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { describe, test } from 'node:test';

import { need } from './support/browsers.mjs';
import { samePicture } from './support/compare.mjs';
import { pngRgb, snakeRender } from './support/native.mjs';
import { goToFrame, openView, shownPicture } from './support/page_watch.mjs';
import { chromiumSuite } from './support/suite.mjs';

const needs = need('puppeteer', 'chromium', 'site', 'native');

const LEVEL = 2;
// Frame, the key pressed on the page, the key in the script. The snake
// turns only on its grid, every 8 frames at this pace, so a key one frame
// late mostly turns it all the same: the keys from frame 60 on alternate
// every frame, and which of them the module has last at a grid point decides.
const PRESSES = [
    [2, 'ArrowLeft', 'left'],
    [20, 'ArrowUp', 'up'],
    [21, '+', 'faster'],
    [48, 'd', 'right'],
    ...[60, 61, 62, 63, 64, 65, 66, 67, 68, 69].map((frame) =>
        frame % 2 === 0 ? [frame, 'ArrowDown', 'down'] : [frame, 'a', 'left']),
    [130, '-', 'slower'],
    [131, 'w', 'up'],
];
const CHECKED = [1, 2, 3, 20, 22, 49, 64, 70, 82, 131, 132, 200, 700];

const drawn = (page) => page.evaluate(() => window.pcSnake.snake.status().drawn);

describe('key presses in Chromium', { skip: needs.skip }, () => {
    const suite = chromiumSuite(needs);

    test('keys pressed at a script\'s frames give snake-render\'s frames of it', { timeout: 90_000 }, async () => {
        const script = [`level ${LEVEL}`, ...PRESSES.map(([frame, , key]) => `${frame} ${key}`)].join('\n');
        fs.writeFileSync(path.join(suite.folder, 'pressed.keys'), `${script}\n`);
        // An empty linked script: a game with no keys but those pressed.
        const { page, problems } = await openView(suite.chromium.browser, suite.server.origin, `/?level=${LEVEL}&frame=1#keys=`);
        // A press at frame F is made while frame F - 1 is shown.
        const events = [
            ...PRESSES.map(([frame, pressed]) => ({ frame, pressed, at: frame - 0.5 })),
            ...CHECKED.map((frame) => ({ frame, checked: true, at: frame })),
        ].sort((a, b) => a.at - b.at);
        for (const event of events) {
            if (event.checked) {
                if ((await drawn(page)) < event.frame)
                    await goToFrame(page, event.frame);
                const shown = await shownPicture(page);
                const { status, stderr } = await snakeRender([String(LEVEL), String(event.frame),
                    '--keys', 'pressed.keys', '-o', 'frame.png'], suite.folder);
                assert.equal(status, 0, stderr);
                samePicture(shown, pngRgb(path.join(suite.folder, 'frame.png')).rgb, 256, `frame ${event.frame}`);
            } else {
                if ((await drawn(page)) < event.frame - 1)
                    await goToFrame(page, event.frame - 1);
                assert.equal(await drawn(page), event.frame - 1);
                await page.keyboard.press(event.pressed);
            }
        }
        assert.deepEqual(problems, []);
    });
});

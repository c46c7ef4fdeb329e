// The page's URL parameters take what the programs' options take: each value
// of the table is accepted by the page exactly when snake-render accepts it
// as that option (run in a scratch folder). No browser needed: the page's
// own module reads the parameters.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { after, before, describe, test } from 'node:test';

import { readOptions } from '../site/url_options.js';
import { need } from './support/browsers.mjs';
import { scratchFolder, snakeRender } from './support/native.mjs';

const needs = need('native');

// snake-render's command line that gives the option this value.
const AS_OPTION = {
    level: (v) => [v, '1', '-o', 'x.ppm'],
    frame: (v) => ['1', v, '-o', 'x.ppm'],
    seed: (v) => ['1', '1', '-o', 'x.ppm', '--seed', v],
    speed: (v) => ['1', '1', '-o', 'x.ppm', '--speed', v],
    growth: (v) => ['1', '1', '-o', 'x.ppm', '--growth', v],
    look: (v) => ['1', '1', '-o', 'x.png', '--look', v],
    size: (v) => ['1', '1', '-o', 'x.png', '--look', 'tube', '--size', v],
    focus: (v) => ['1', '1', '-o', 'x.png', '--look', 'tube', '--focus', v],
    brightness: (v) => ['1', '1', '-o', 'x.png', '--look', 'tube', '--brightness', v],
    persistence: (v) => ['1', '1', '-o', 'x.png', '--look', 'tube', '--persistence', v],
    glow: (v) => ['1', '1', '-o', 'x.png', '--look', 'tube', '--glow', v],
    gain: (v) => ['1', '1', '--wav', 'x.wav', '--gain', v],
};

const VALUES = {
    level: ['1', '4', '0x2', '0', '5', '-1', '2x', ''],
    frame: ['1', '2147483647', '2147483648', '0', '-3', '+5', '0x10', '12abc', ' 7'],
    seed: ['1', '32767', '0x2200', '010', '0', '32768', '5.0', 'abc'],
    speed: ['0', '255', '256', '-1', '0xff'],
    growth: ['20', '300', '1e1'],
    look: ['exact', 'tube', 'TUBE', 'fancy'],
    size: ['256', '2048', '0x100', '255', '2049', '300.5'],
    focus: ['0.2', '4', '1e0', '.5', '0.19', '4.01', 'abc', '1,5'],
    brightness: ['0.01', '100', '2', '0.001', '1000'],
    persistence: ['0', '10000', '250.5', '-1', '10001'],
    glow: ['0', '4', '4.5', '-0.1'],
    gain: ['1', '0.5', '0', '1.5'],
};

describe('URL parameters', { skip: needs.skip }, () => {
    let folder;
    before(() => {
        needs.check();
        folder = scratchFolder();
    });
    after(() => fs.rmSync(folder, { recursive: true, force: true }));

    test('each value is taken by the page when snake-render takes it', { timeout: 60_000 }, async () => {
        for (const [name, values] of Object.entries(VALUES)) {
            for (const value of values) {
                const { status, stderr } = await snakeRender(AS_OPTION[name](value), folder);
                assert.ok(status === 0 || status === 1, `${name} ${value}: ${stderr}`);
                const { options, problems } = readOptions(new URLSearchParams({ [name]: value }).toString());
                const taken = name in options;
                assert.equal(taken, status === 0,
                    `${name}=${JSON.stringify(value)}: the page ${taken ? 'takes' : 'refuses'} it, ` +
                    `snake-render ${status === 0 ? 'takes' : 'refuses'} it${stderr ? `: ${stderr.trim()}` : ''}`);
                assert.equal(problems.length, taken ? 0 : 1, `${name}=${value}: ${problems}`);
                if (!taken)
                    assert.match(problems[0], new RegExp(`^${name}: .*; ignored$`));
            }
        }
    });
});

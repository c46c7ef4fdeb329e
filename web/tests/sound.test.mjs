// The beam as sound: the samples the page's worklet plays (rendered by an
// OfflineAudioContext) equal snake-render's --wav of the same frames at the
// same rate, tick rate and gain, bit for bit, channel by channel.
import assert from 'node:assert/strict';
import path from 'node:path';
import { describe, test } from 'node:test';

import { need } from './support/browsers.mjs';
import { snakeRender, wavFloats } from './support/native.mjs';
import { openView } from './support/page_watch.mjs';
import { chromiumSuite } from './support/suite.mjs';

const needs = need('puppeteer', 'chromium', 'site', 'native');

const SOUNDS = [
    { level: 1, first: 1, last: 40, rate: 48000, gain: 0.25 },
    { level: 3, first: 290, last: 340, rate: 44100, gain: 1 },
];

// In the page: the module's samples of the frames, played by the worklet
// into an OfflineAudioContext; its two channels as base64 floats.
function workletSamples(page, sound) {
    return page.evaluate(async ({ level, first, last, rate, gain }) => {
        const { loadSnake, USE } = await import('./snake_module.js');
        const { beamNode, SOUND_TICK_RATE } = await import('./beam_sound.js');
        const snake = await loadSnake();
        snake.start({ level });
        snake.soundStart(rate, SOUND_TICK_RATE, gain);
        snake.playTo(first, USE.asked);
        for (let n = first + 1; n <= last; ++n)
            snake.playFrame();
        snake.soundFinish();
        const samples = snake.soundTake();
        const context = new OfflineAudioContext(2, samples.length / 2, rate);
        const node = await beamNode(context, samples);
        node.connect(context.destination);
        const rendered = await context.startRendering();
        const base64 = (floats) => {
            const bytes = new Uint8Array(floats.buffer);
            let binary = '';
            for (let i = 0; i < bytes.length; i += 0x8000)
                binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
            return btoa(binary);
        };
        return [0, 1].map((channel) => base64(rendered.getChannelData(channel)));
    }, sound);
}

const floats = (base64) => {
    const bytes = Buffer.from(base64, 'base64');
    return new Float32Array(bytes.buffer, bytes.byteOffset, bytes.length / 4);
};

describe('the beam as sound in Chromium', { skip: needs.skip }, () => {
    const suite = chromiumSuite(needs);

    test("the worklet's samples are snake-render's --wav, sample for sample", { timeout: 60_000 }, async () => {
        const { page, problems } = await openView(suite.chromium.browser, suite.server.origin, '/?frame=1');
        for (const sound of SOUNDS) {
            const what = `level ${sound.level}, frames ${sound.first}-${sound.last} at ${sound.rate} Hz, gain ${sound.gain}`;
            const { status, stderr } = await snakeRender([String(sound.level), `${sound.first}-${sound.last}`,
                '--wav', 'beam.wav', '--rate', String(sound.rate), '--gain', String(sound.gain)], suite.folder);
            assert.equal(status, 0, stderr);
            const wav = wavFloats(path.join(suite.folder, 'beam.wav'));
            assert.deepEqual([wav.tag, wav.channels, wav.rate, wav.bits], [3, 2, sound.rate, 32], what);
            const [x, y] = (await workletSamples(page, sound)).map(floats);
            assert.equal(x.length, wav.samples.length / 2, `${what}: samples`);
            for (let n = 0; n < x.length; ++n) {
                if (x[n] !== wav.samples[2 * n] || y[n] !== wav.samples[2 * n + 1]) {
                    assert.fail(`${what}: sample ${n} is (${x[n]}, ${y[n]}), ` +
                        `--wav has (${wav.samples[2 * n]}, ${wav.samples[2 * n + 1]})`);
                }
            }
        }
        assert.deepEqual(problems, []);
    });
});

// What the browser tests need and how they start a browser: Debian's
// chromium and firefox-esr, driven by puppeteer-core (no browser download).
// A missing piece skips a test with the command that installs it; in CI
// (CI=true) it fails the test instead, so CI never passes by skipping.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { nativeProgram } from './native.mjs';

export const CHROMIUM = process.env.PC_SNAKE_CHROMIUM ?? '/usr/bin/chromium';
export const FIREFOX = process.env.PC_SNAKE_FIREFOX ?? '/usr/bin/firefox-esr';
export const SITE = process.env.PC_SNAKE_SITE ??
    fileURLToPath(new URL('../../../build/web/site', import.meta.url));
// Every test starts and stops its own browser well within this.
export const TEST_TIMEOUT_MS = 60_000;

const PACKAGES = 'sudo tools/install-deps.sh --web';
const NATIVE = 'cmake --workflow --preset release';
const NODE_MODULES = 'npm ci --prefix web';
// What ctest reads as a skip (SKIP_REGULAR_EXPRESSION in web/tests/CMakeLists.txt).
const SKIP_MARK = 'web test skipped:';

let puppeteer = null;
try {
    puppeteer = (await import('puppeteer-core')).default;
} catch {
    // named by need() below
}

const PIECES = {
    puppeteer: () => (puppeteer ? null : `puppeteer-core (${NODE_MODULES})`),
    chromium: () => (fs.existsSync(CHROMIUM) ? null : `${CHROMIUM} (${PACKAGES})`),
    firefox: () => (fs.existsSync(FIREFOX) ? null : `${FIREFOX} (${PACKAGES})`),
    site: () =>
        fs.existsSync(path.join(SITE, 'pc-snake.wasm'))
            ? null
            : `${SITE}/pc-snake.wasm (cmake --workflow --preset web)`,
    // The programs the page is compared with.
    native: () =>
        ['pc-snake', 'snake-render'].every((name) => fs.existsSync(nativeProgram(name)))
            ? null
            : `${nativeProgram('pc-snake')} and snake-render (${NATIVE})`,
};

// Options for node:test's test() or describe() (skip, timeout), and
// check(), which each test calls first: where a piece is missing the test
// is skipped with what to install, and in CI check() fails it instead.
export function need(...pieces) {
    const absent = pieces.map((piece) => PIECES[piece]()).filter((reason) => reason !== null);
    const missing = absent.length > 0 ? `missing ${absent.join(', ')}` : null;
    const skip = missing !== null && process.env.CI !== 'true' ? `${SKIP_MARK} ${missing}` : false;
    return {
        skip,
        timeout: TEST_TIMEOUT_MS,
        check: () => {
            if (missing !== null)
                throw new Error(`CI must run every browser test, but it is ${missing}`);
        },
    };
}

// A browser with a fresh profile; close() also removes the profile.
async function launch(options) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pc-snake-browser-'));
    const browser = await puppeteer.launch({
        headless: true,
        userDataDir: profile,
        timeout: 30_000,
        ...options,
    });
    return {
        browser,
        close: async () => {
            await browser.close();
            fs.rmSync(profile, { recursive: true, force: true });
        },
    };
}

// Chromium as root needs --no-sandbox; the rest keeps it off a network it
// cannot reach (updates, sync, QUIC probes) and off a GPU there is none of:
// WebGL2 then runs on SwiftShader, which Chromium asks to be named.
export function launchChromium() {
    const runsAsRoot = process.getuid?.() === 0;
    return launch({
        executablePath: CHROMIUM,
        args: [
            ...(runsAsRoot ? ['--no-sandbox'] : []),
            '--disable-gpu',
            '--enable-unsafe-swiftshader',
            '--disable-quic',
            '--no-first-run',
            '--disable-background-networking',
            '--disable-component-update',
            '--disable-sync',
        ],
    });
}

// Firefox ESR through WebDriver BiDi.
export function launchFirefox() {
    return launch({ browser: 'firefox', executablePath: FIREFOX });
}

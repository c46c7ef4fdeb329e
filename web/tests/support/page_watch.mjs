// Opens the page as a person would and notes whatever they would call
// broken: a console error, an uncaught exception, a failed or refused
// request, or any request outside the page's own folder; and reads what it
// shows.
import { decodePng } from './png.mjs';

export async function openPage(browser, origin, pathname = '/') {
    const page = await browser.newPage();
    const problems = [];
    page.on('console', (message) => {
        if (message.type() === 'error')
            problems.push(`console error: ${message.text()}`);
    });
    page.on('pageerror', (error) => problems.push(`uncaught: ${error.message}`));
    page.on('request', (request) => {
        const url = request.url();
        // data: URLs are inline (the page's empty icon), not requests.
        if (!url.startsWith(`${origin}/`) && !url.startsWith('data:'))
            problems.push(`request outside the page: ${url}`);
    });
    page.on('requestfailed', (request) => problems.push(`failed: ${request.url()}`));
    page.on('response', (response) => {
        if (response.status() >= 400)
            problems.push(`${response.status()}: ${response.url()}`);
    });
    await page.goto(`${origin}${pathname}`);
    return { page, problems };
}

// Waits until the page has tried to start the module; returns the status
// line's state ("loaded" or "failed") and text.
export async function moduleStatus(page) {
    const status = await page.waitForSelector('#status:not([data-state="loading"])', {
        timeout: 15_000,
    });
    return status.evaluate((element) => ({
        state: element.dataset.state,
        text: element.textContent,
    }));
}

// Opens a page of the site and waits until its first picture is on the screen.
export async function openView(browser, origin, pathname = '/') {
    const opened = await openPage(browser, origin, pathname);
    const status = await moduleStatus(opened.page);
    if (status.state !== 'loaded')
        throw new Error(`${pathname}: the page did not start: ${status.text}`);
    await waitForPicture(opened.page);
    return opened;
}

// Until the picture of the frame played last is drawn.
export async function waitForPicture(page) {
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
    await page.waitForFunction(() => window.pcSnake?.stats().firstFrameMs > 0, { timeout: 30_000 });
}

// The page's picture of a look as drawn: the exact canvas (256 x 256) or the
// tube's (size x size); RGBA, rows from the top.
export async function shownPicture(page, look = 'exact') {
    const text = await page.evaluate((which) => {
        const rgba = which === 'exact' ? window.pcSnake.exactView.readRgba() : window.pcSnake.tube().readRgba();
        let binary = '';
        for (let i = 0; i < rgba.length; i += 0x8000)
            binary += String.fromCharCode(...rgba.subarray(i, i + 0x8000));
        return btoa(binary);
    }, look);
    return new Uint8Array(Buffer.from(text, 'base64'));
}

// Goes to frame n through the page's frame field, then leaves the field, so
// that keys pressed next reach the game; returns when the frame is shown.
export async function goToFrame(page, n) {
    await page.click('#frame-input', { clickCount: 3 });
    await page.keyboard.type(String(n));
    await page.keyboard.press('Enter');
    await page.click('#game-line');
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
}

// A screenshot of the exact picture as the page shows it: RGBA, its width
// in device pixels, and the device pixels a screen point takes.
export async function exactScreenshot(page) {
    const box = await page.$eval('#exact', (canvas) => {
        const r = canvas.getBoundingClientRect();
        return { x: r.left, y: r.top, width: r.width, ratio: window.devicePixelRatio };
    });
    const shot = decodePng(Buffer.from(await page.screenshot({
        clip: { x: box.x, y: box.y, width: box.width, height: box.width },
    })));
    const rgba = new Uint8Array(4 * shot.width * shot.height);
    for (let y = 0; y < shot.height; ++y)
        for (let x = 0; x < shot.width; ++x)
            rgba.set(shot.pixel(x, y), 4 * (y * shot.width + x));
    return { rgba, width: shot.width, height: shot.height, perPoint: (box.width * box.ratio) / 256 };
}

// Opens the page as a person would and notes whatever they would call
// broken: a console error, an uncaught exception, a failed or refused
// request, or any request outside the page's own folder.
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

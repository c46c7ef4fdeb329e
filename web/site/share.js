// What leaves the page: the game played as a key script file, the game in a
// link (its script in the URL fragment, so it never reaches a server), and
// the picture as a PNG file, encoded by the browser.
import { optionsSearch } from './url_options.js';

export const KEYS_FRAGMENT = 'keys=';

function download(blob, name) {
    const url = URL.createObjectURL(blob);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
}

export function downloadKeys(text, name) {
    download(new Blob([text], { type: 'text/plain' }), name);
}

export function savePng(canvas, name) {
    return new Promise((resolve) => {
        canvas.toBlob((blob) => {
            download(blob, name);
            resolve();
        }, 'image/png');
    });
}

// The page's address with these options and the key script as the fragment.
export function shareLink(location, options, scriptText) {
    const search = optionsSearch(options);
    const base = `${location.origin}${location.pathname}${search ? `?${search}` : ''}`;
    return `${base}#${KEYS_FRAGMENT}${encodeURIComponent(scriptText)}`;
}

// The key script a link carries, or null.
export function linkedScript(hash) {
    const fragment = hash.replace(/^#/, '');
    if (!fragment.startsWith(KEYS_FRAGMENT))
        return null;
    return new TextEncoder().encode(decodeURIComponent(fragment.slice(KEYS_FRAGMENT.length)));
}

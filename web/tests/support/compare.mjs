// Picture comparisons that say where they fail: the first differing pixel,
// its colour and the expected one, and how many pixels differ.

// RGBA (the page) against RGB (the native programs), exactly.
export function samePicture(rgba, rgb, width, what) {
    let first = null;
    let count = 0;
    for (let i = 0; i < rgb.length / 3; ++i) {
        if (rgba[4 * i] === rgb[3 * i] && rgba[4 * i + 1] === rgb[3 * i + 1] && rgba[4 * i + 2] === rgb[3 * i + 2])
            continue;
        ++count;
        first ??= i;
    }
    if (count === 0)
        return;
    const x = first % width;
    const y = Math.floor(first / width);
    const got = [...rgba.subarray(4 * first, 4 * first + 3)].join(' ');
    const want = [...rgb.subarray(3 * first, 3 * first + 3)].join(' ');
    throw new Error(`${what}: pixel (${x}, ${y}) from the top left is ${got}, expected ${want}; ${count} pixels differ`);
}

// The largest difference of a colour channel and the mean over all channels,
// with the place of the largest.
export function pictureDistance(rgba, rgb, width) {
    let max = 0;
    let at = 0;
    let sum = 0;
    for (let i = 0; i < rgb.length / 3; ++i) {
        for (let c = 0; c < 3; ++c) {
            const d = Math.abs(rgba[4 * i + c] - rgb[3 * i + c]);
            sum += d;
            if (d > max) {
                max = d;
                at = i;
            }
        }
    }
    return { max, mean: sum / rgb.length, x: at % width, y: Math.floor(at / width) };
}

// A 256 x 256 RGB picture with each point a block of perPoint x perPoint
// pixels, cut to width x height.
export function enlarged(rgb, perPoint, width, height) {
    const out = new Uint8Array(3 * width * height);
    for (let y = 0; y < height; ++y) {
        for (let x = 0; x < width; ++x) {
            const point = Math.floor(y / perPoint) * 256 + Math.floor(x / perPoint);
            out.set(rgb.subarray(3 * point, 3 * point + 3), 3 * (y * width + x));
        }
    }
    return out;
}

// RGB of an RGBA picture.
export const rgbOf = (rgba) => rgba.filter((_, i) => i % 4 !== 3);

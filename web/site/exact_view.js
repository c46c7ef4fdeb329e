// The exact look: pc-snake's picture, 256 x 256, drawn crisp. The canvas
// holds the picture itself; the page shows it at a whole number of device
// pixels per screen point with no smoothing, so each point is a block of
// whole pixels of its own colour.
export const SCREEN_SIDE = 256;

export class ExactView {
    constructor(canvas) {
        this.canvas = canvas;
        canvas.width = SCREEN_SIDE;
        canvas.height = SCREEN_SIDE;
        this.context = canvas.getContext('2d', { alpha: false, willReadFrequently: true });
        this.image = this.context.createImageData(SCREEN_SIDE, SCREEN_SIDE);
    }

    // 256 x 256 RGBA, rows from the top.
    show(rgba) {
        this.image.data.set(rgba);
        this.context.putImageData(this.image, 0, 0);
    }

    // The picture as shown.
    readRgba() {
        return new Uint8Array(this.context.getImageData(0, 0, SCREEN_SIDE, SCREEN_SIDE).data.buffer);
    }
}

// The largest whole number of device pixels per screen point that fits
// `cssPixels` (at least 1), and the CSS size that gives it exactly.
export function crispSize(cssPixels, devicePixelRatio) {
    const perPoint = Math.max(1, Math.floor((cssPixels * devicePixelRatio) / SCREEN_SIDE));
    return { perPoint, css: (perPoint * SCREEN_SIDE) / devicePixelRatio };
}

// The tube look where WebGL2 has no float render targets: the core's own CPU
// tube in the module, listening to the raster itself, its picture put on a
// 2D canvas. The same pictures as snake-render's tube frames.
export class TubeCpu {
    constructor(canvas, snake, knobs) {
        this.canvas = canvas;
        this.snake = snake;
        this.context = canvas.getContext('2d', { alpha: false });
        this.setKnobs(knobs);
    }

    // Any knob starts the light afresh: the module's tube takes them once.
    setKnobs(knobs) {
        this.knobs = { ...knobs };
        this.canvas.width = knobs.size;
        this.canvas.height = knobs.size;
        this.image = this.context.createImageData(knobs.size, knobs.size);
        this.clear();
    }

    clear() {
        if (!this.snake.tubeCpu(this.knobs))
            throw new Error('the module has no room for another beam listener');
    }

    // The module's tube hears the frames on its own.
    frame() {}

    draw() {
        this.rgba = this.snake.tubeRgba(this.knobs.size);
        this.image.data.set(this.rgba);
        this.context.putImageData(this.image, 0, 0);
    }

    readRgba() { return this.rgba; }

    close() { this.snake.tubeCpuOff(); }
}

// The game on the page and its pictures kept in step: every frame the module
// plays for the user or for its light reaches the look that needs it (the
// exact glow and the CPU tube hear the raster in the module; the WebGL tube
// is handed each frame's ticks here), and going to a frame plays the history
// that frame's picture depends on, so that a frame looks the same however it
// was reached: as snake-render draws it.
import { USE } from './snake_module.js';

// The knobs' defaults: snake-render's tube; the exact look shows each frame
// alone unless a persistence is asked for, so that it is pc-snake's picture.
export const TUBE_DEFAULTS = { size: 512, focus: 0.6, brightness: 1, glow: 0.3, persistence: 100 };
export const EXACT_PERSISTENCE_DEFAULT = 0;
// The page plays 50 frames a second; with the sound on a frame lasts its ticks.
export const FRAME_MS = 20;
export const TICK_RATE = 100000;

export class Player {
    // makeTube(knobs): the tube look's view (WebGL2 or CPU), made when first shown.
    constructor(snake, exactView, makeTube) {
        this.snake = snake;
        this.exactView = exactView;
        this.makeTube = makeTube;
        this.tube = null;
        this.look = 'exact';
        this.tubeKnobs = { ...TUBE_DEFAULTS };
        this.exactPersistence = EXACT_PERSISTENCE_DEFAULT;
        this.framesLastTheirTicks = false;
        this.sound = null;
        this.#setGlow();
    }

    status() { return this.snake.status(); }

    // The frame on the screen: the last one drawn, or the one the beam broke off.
    current() {
        const s = this.status();
        return s.stopped ? s.drawn + 1 : s.drawn;
    }

    // Plays the next frame for the user (or finishes the one being stepped through).
    playFrame() {
        const result = this.snake.playFrame();
        if (result !== 'stopped')
            this.#heard();
        return result;
    }

    // One beam tick further; a frame whose ticks are all shown ends.
    stepTick() {
        const result = this.snake.stepTick();
        if (result === 'ended')
            this.#heard();
        return result;
    }

    // Frame n of the game as if the game had been shown from its start:
    // the frames its picture depends on are played for their light first.
    goTo(n) {
        if (this.status().stepping)
            this.playFrame();
        const before = this.status().drawn;
        const drawn = this.snake.rewind(n);
        const firstLit = Math.max(drawn + 1, n - this.#history());
        if (drawn < before || firstLit > drawn + 1 || drawn === 0)
            this.#forgetLight();
        let result = 'played';
        for (let k = firstLit; k < n && result === 'played'; ++k) {
            result = this.snake.playTo(k, USE.light);
            this.#heard();
        }
        if (result === 'played' && n >= 1) {
            result = this.snake.playTo(n, USE.asked);
            this.#heard();
        }
        this.sound?.restart();
        return result;
    }

    // The same frame again with the knobs as they are now.
    refresh() { return this.goTo(this.current()); }

    setLook(look) {
        this.look = look;
        if (look === 'tube') {
            if (this.tube === null)
                this.tube = this.makeTube(this.tubeKnobs);
        } else if (this.tube?.close) { // the CPU tube costs while it listens
            this.tube.close();
            this.tube = null;
        }
        this.refresh();
    }

    // Knobs {size, focus, brightness, glow, persistence}; the persistence is
    // the shown look's.
    setKnobs(knobs) {
        const { persistence, ...tube } = knobs;
        if (this.look === 'exact') {
            if (persistence !== undefined)
                this.exactPersistence = persistence;
            this.#setGlow();
            this.refresh();
            return;
        }
        Object.assign(this.tubeKnobs, tube, persistence === undefined ? {} : { persistence });
        this.tube?.setKnobs(this.tubeKnobs);
        // The WebGL tube takes brightness and glow in its picture alone; any
        // other knob changes the light, which the frame's history lights again.
        const pictureOnly = this.tube?.needsTicks && persistence === undefined &&
            Object.keys(tube).every((name) => name === 'brightness' || name === 'glow');
        if (!pictureOnly)
            this.refresh();
    }

    persistence() { return this.look === 'exact' ? this.exactPersistence : this.tubeKnobs.persistence; }

    // With the sound on, frames come at its pace and last their own ticks.
    setSound(sound) {
        this.sound = sound;
        this.framesLastTheirTicks = sound !== null;
        this.#setGlow();
    }

    // Draws the look's picture of the frame; a frame being stepped through is
    // shown exactly as far as it is drawn.
    draw() {
        const s = this.status();
        if (s.stepping || this.look === 'exact') {
            this.exactView.show(s.stepping ? this.snake.stepRgba() : this.snake.exactRgba());
            return s.stepping ? 'step' : 'exact';
        }
        this.tube.draw();
        return 'tube';
    }

    #history() {
        return this.look === 'tube' ? this.snake.tubeHistory(this.tubeKnobs.persistence)
            : this.snake.glowHistory();
    }

    #forgetLight() {
        this.snake.glowClear();
        this.tube?.clear();
    }

    // A frame heard: the WebGL tube takes its ticks.
    #heard() {
        if (this.look === 'tube' && this.tube?.needsTicks)
            this.tube.frame(this.snake.ticks(), this.snake.frameInfo().total);
        this.sound?.pump();
    }

    #setGlow() {
        this.snake.glowSet(this.exactPersistence, this.framesLastTheirTicks ? 0 : FRAME_MS, TICK_RATE);
    }
}

// The page's frame clock: the device's 50 frames a second (or, with the
// sound on, the sound's pace), pause, single beam ticks and slow motion,
// driven by the browser's animation frames. It keeps the times of the frames
// it played, so the page can tell its own frame rate.
export const FPS = 50;
export const SLOW_TICKS_PER_SECOND = 500;
// A stall (a hidden tab, a debugger) does not turn into a burst of frames.
const MOST_FRAMES_BEHIND = 5;
const SLOW_STALL_MS = 100;
const MOST_FRAMES_FOR_SOUND = 30;
const RATE_WINDOW = 100; // frames the rate is measured over

export class GameLoop {
    // onPicture(): draws the picture and whatever shows the game's state.
    constructor(player, onPicture) {
        this.player = player;
        this.onPicture = onPicture;
        this.paused = false;
        this.slow = false;
        this.slowTicksPerSecond = SLOW_TICKS_PER_SECOND;
        this.frameTimes = [];
        this.epoch = null;
        this.played = 0;
        this.dirty = true;
    }

    start() {
        const tick = (now) => {
            this.#advance(now);
            if (this.dirty) {
                this.dirty = false;
                this.onPicture();
            }
            requestAnimationFrame(tick);
        };
        requestAnimationFrame(tick);
    }

    // The picture must be drawn again (a jump, a new knob, a new game).
    changed() {
        this.dirty = true;
        this.epoch = null;
    }

    togglePause() {
        this.paused = !this.paused;
        this.changed();
    }

    pause() {
        this.paused = true;
        this.changed();
    }

    // '.': pause, and one more beam tick, shown at once.
    step() {
        this.paused = true;
        this.player.stepTick();
        this.dirty = false;
        this.onPicture();
    }

    // ',': slow motion on or off; off, the frame being stepped through is finished.
    toggleSlow() {
        this.slow = !this.slow;
        this.changed();
    }

    // Frames a second over the last frames played, by the page's own clock.
    rate() {
        const t = this.frameTimes;
        if (t.length < 2)
            return 0;
        return (1000 * (t.length - 1)) / (t.at(-1) - t[0]);
    }

    #played(now) {
        this.frameTimes.push(now);
        if (this.frameTimes.length > RATE_WINDOW)
            this.frameTimes.shift();
        this.dirty = true;
    }

    #advance(now) {
        const last = this.lastNow ?? now;
        this.lastNow = now;
        if (this.paused || this.player.status().stopped) {
            this.epoch = null;
            return;
        }
        if (this.slow) {
            this.#slowMotion(Math.min(now - last, SLOW_STALL_MS));
        } else if (this.player.sound) {
            for (let n = 0; n < MOST_FRAMES_FOR_SOUND && this.player.sound.wantsFrame(); ++n) {
                if (this.player.playFrame() === 'stopped')
                    break;
                this.#played(now);
            }
        } else {
            this.#clockFrames(now);
        }
    }

    // As many frames as are due since the clock started, at FPS.
    #clockFrames(now) {
        if (this.epoch === null) {
            this.epoch = now;
            this.played = 0;
        }
        const due = Math.floor(((now - this.epoch) * FPS) / 1000) + 1;
        if (due - this.played > MOST_FRAMES_BEHIND) {
            this.epoch = now;
            this.played = 0;
            return;
        }
        while (this.played < due) {
            ++this.played;
            if (this.player.playFrame() !== 'played') {
                this.dirty = true;
                return;
            }
            this.#played(now);
        }
    }

    // Ticks due at slowTicksPerSecond; at most one frame ends a pass.
    #slowMotion(elapsedMs) {
        this.slowDue = (this.slowDue ?? 0) + (elapsedMs * this.slowTicksPerSecond) / 1000;
        while (this.slowDue >= 1) {
            this.slowDue -= 1;
            this.dirty = true;
            const result = this.player.stepTick();
            if (result !== 'tick') {
                this.slowDue = 0;
                return;
            }
        }
    }
}

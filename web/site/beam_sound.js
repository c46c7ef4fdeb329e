// The beam as stereo XY sound: the module turns each finished frame's ticks
// into samples at the audio device's rate (snake-render's --wav at that rate,
// tick rate 100000 and the volume as its gain), and the worklet plays them.
// The game then runs at the sound's pace, as snake-play --audio does: the
// page plays a frame whenever less than LEAD_SECONDS of sound is waiting.
export const WORKLET_URL = new URL('beam_worklet.js', import.meta.url);
export const SOUND_TICK_RATE = 100000;
export const GAIN_DEFAULT = 0.1; // full-scale XY sound through speakers is harsh
const LEAD_SECONDS = 0.06;

// The worklet's node on `context`, playing `samples` (X, Y interleaved) first.
export async function beamNode(context, samples = new Float32Array(0)) {
    await context.audioWorklet.addModule(WORKLET_URL);
    return new AudioWorkletNode(context, 'pc-snake-beam', {
        numberOfInputs: 0,
        numberOfOutputs: 1,
        outputChannelCount: [2],
        processorOptions: { samples },
    });
}

export class BeamSound {
    static async open(snake, gain) {
        const context = new AudioContext();
        const node = await beamNode(context);
        node.connect(context.destination);
        return new BeamSound(snake, context, node, gain);
    }

    constructor(snake, context, node, gain) {
        this.snake = snake;
        this.context = context;
        this.node = node;
        this.gain = gain;
        this.report = { played: 0, short: 0, at: context.currentTime };
        node.port.onmessage = (event) => {
            this.report = { ...event.data, at: this.context.currentTime };
        };
        this.restart();
    }

    get rate() { return this.context.sampleRate; }

    // A new signal from the next frame on (after a jump, or a new volume);
    // what is waiting is dropped.
    restart() {
        this.snake.soundStart(this.rate, SOUND_TICK_RATE, this.gain);
        this.node.port.postMessage('clear');
        this.sent = this.report.played;
    }

    setGain(gain) {
        this.gain = gain;
        this.restart();
    }

    // Sends the samples made since the last call.
    pump() {
        const samples = this.snake.soundTake();
        if (samples.length === 0)
            return;
        this.sent += samples.length / 2;
        this.node.port.postMessage(samples, [samples.buffer]);
    }

    // Seconds of sound waiting to be played, as far as the worklet has said.
    waiting() {
        const since = Math.max(0, this.context.currentTime - this.report.at);
        return (this.sent - this.report.played) / this.rate - since;
    }

    wantsFrame() { return this.waiting() < LEAD_SECONDS; }

    async close() {
        this.snake.soundStop();
        await this.context.close();
    }
}

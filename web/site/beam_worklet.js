// The audio worklet that plays the beam: X on the first channel, Y on the
// second, the samples exactly as the module made them (snake-render's --wav),
// in the order they came. Samples come with the node's options and then by
// message; when none are waiting it plays silence and counts the shortfall.
// It tells the page how many it has played, so that the page keeps the
// queue a little ahead.
const REPORT_EVERY = 2048; // samples

class BeamProcessor extends AudioWorkletProcessor {
    constructor(options) {
        super();
        this.queue = [];   // Float32Arrays of X, Y pairs
        this.offset = 0;   // values of queue[0] already played
        this.played = 0;   // samples played
        this.short = 0;    // samples of silence for want of beam
        this.sinceReport = 0;
        const first = options.processorOptions?.samples;
        if (first?.length)
            this.queue.push(first);
        this.port.onmessage = (event) => {
            if (event.data === 'clear') {
                this.queue = [];
                this.offset = 0;
            } else if (event.data.length) {
                this.queue.push(event.data);
            }
        };
    }

    process(inputs, outputs) {
        const [x, y] = outputs[0];
        for (let i = 0; i < x.length; ++i) {
            const samples = this.queue[0];
            if (samples === undefined) {
                x[i] = 0;
                y[i] = 0;
                ++this.short;
                continue;
            }
            x[i] = samples[this.offset];
            y[i] = samples[this.offset + 1];
            this.offset += 2;
            ++this.played;
            if (this.offset >= samples.length) {
                this.queue.shift();
                this.offset = 0;
            }
        }
        this.sinceReport += x.length;
        if (this.sinceReport >= REPORT_EVERY) {
            this.sinceReport = 0;
            this.port.postMessage({ played: this.played, short: this.short });
        }
        return true;
    }
}

registerProcessor('pc-snake-beam', BeamProcessor);

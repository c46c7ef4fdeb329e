// The page's buttons, fields and sliders: each calls one of the page's
// actions, and shows the state it controls. The sliders take effect when let
// go (a tube knob may play the frame's history again); their numbers follow
// while they move. A control gives the keyboard back to the game once used,
// so that Space pauses and the arrows steer rather than press or move it.

const $ = (id) => document.getElementById(id);

// Slider position to value and back; brightness moves in powers of ten.
const SCALES = {
    persistence: { toValue: Number, toPosition: (v) => v, shown: (v) => String(v) },
    focus: { toValue: Number, toPosition: (v) => v, shown: (v) => v.toFixed(1) },
    brightness: {
        toValue: (p) => Number((10 ** Number(p)).toPrecision(3)),
        toPosition: (v) => Math.log10(v),
        shown: (v) => String(v),
    },
    glow: { toValue: Number, toPosition: (v) => v, shown: (v) => v.toFixed(2) },
    gain: { toValue: Number, toPosition: (v) => v, shown: (v) => v.toFixed(2) },
};

function slider(name, onChange) {
    const input = $(name);
    const output = input.parentElement.querySelector('output');
    const scale = SCALES[name];
    input.addEventListener('input', () => {
        output.textContent = scale.shown(scale.toValue(input.value));
    });
    input.addEventListener('change', () => {
        input.blur();
        onChange(scale.toValue(input.value));
    });
    return {
        set(value) {
            const position = scale.toPosition(value);
            if (position > Number(input.max))
                input.max = String(position);
            input.value = String(position);
            output.textContent = scale.shown(value);
        },
    };
}

function click(id, action) {
    $(id).addEventListener('click', (event) => {
        event.currentTarget.blur();
        action();
    });
}

// actions: pause, tick, slow, newGame(level), jump(n), look(name),
// knob(name, value), sound, gain(value), downloadKeys, share, savePng.
export function bindControls(actions) {
    click('pause', actions.pause);
    click('tick', actions.tick);
    click('slow', actions.slow);
    click('new-game', () => actions.newGame(Number($('level').value)));
    $('level').addEventListener('change', () => $('level').blur());
    $('jump').addEventListener('submit', (event) => {
        event.preventDefault();
        const n = Number($('frame-input').value);
        if (Number.isInteger(n) && n >= 1 && n <= 2147483647)
            actions.jump(n);
    });
    $('look').addEventListener('change', () => {
        $('look').blur();
        actions.look($('look').value);
    });
    const sliders = {};
    for (const name of ['persistence', 'focus', 'brightness', 'glow'])
        sliders[name] = slider(name, (value) => actions.knob(name, value));
    sliders.gain = slider('gain', (value) => actions.gain(value));
    click('sound', actions.sound);
    click('download-keys', actions.downloadKeys);
    click('share', actions.share);
    click('save-png', actions.savePng);
    return {
        // What the controls show: {paused, slow, look, level, sound, knobs, gain}.
        show(state) {
            $('pause').textContent = state.paused ? 'Go on' : 'Pause';
            $('pause').setAttribute('aria-pressed', String(state.paused));
            $('slow').setAttribute('aria-pressed', String(state.slow));
            $('look').value = state.look;
            $('level').value = String(state.level);
            $('sound').textContent = `Sound: ${state.sound ? 'on' : 'off'}`;
            $('sound').setAttribute('aria-pressed', String(state.sound));
            document.body.classList.toggle('exact-look', state.look === 'exact');
            for (const [name, value] of Object.entries(state.knobs))
                sliders[name]?.set(value);
            sliders.gain.set(state.gain);
        },
        showShareLink(link) {
            $('share-link').textContent = link;
        },
    };
}

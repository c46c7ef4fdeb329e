// The page's start and its wiring: reads the link's options, loads the
// module, starts pc-snake's game (or the linked script's) on the frame the
// link names, and joins the keys, controls, views and clock together.
import { beamState, DebuggerPanel } from './debugger_panel.js';
import { BeamSound, GAIN_DEFAULT } from './beam_sound.js';
import { bindControls } from './controls.js';
import { crispSize, ExactView } from './exact_view.js';
import { GameLoop } from './game_loop.js';
import { listenToKeys } from './keyboard.js';
import { Player } from './player.js';
import { listenForScripts } from './script_drop.js';
import { downloadKeys, linkedScript, savePng, shareLink } from './share.js';
import { loadSnake } from './snake_module.js';
import { listenToSwipes } from './touch.js';
import { TubeCpu } from './tube_cpu_view.js';
import { createTubeGl } from './tube_gl.js';
import { readOptions } from './url_options.js';

const $ = (id) => document.getElementById(id);
const MESSAGES_KEPT = 8;

function say(text, kind = 'problem') {
    const item = document.createElement('li');
    item.className = kind;
    item.textContent = text;
    $('messages').prepend(item);
    while ($('messages').children.length > MESSAGES_KEPT)
        $('messages').lastElementChild.remove();
}

const { options, problems } = readOptions(location.search);
problems.forEach((problem) => say(problem));

let snake;
try {
    snake = await loadSnake();
} catch (error) {
    $('status').textContent = `pc-snake could not start: ${error.message}`;
    $('status').dataset.state = 'failed';
    throw error;
}

const screen = $('screen');
const exactView = new ExactView($('exact'));
let tubeCanvas = null;
let renderer = '';

// The tube look's view: WebGL2 on a GPU with float targets that blend, else
// the module's CPU tube; a link may ask for either (tube=webgl takes a
// software WebGL2 too).
let noGlReason = '';
function makeTube(knobs) {
    const canvas = () => {
        tubeCanvas?.remove();
        tubeCanvas = document.createElement('canvas');
        tubeCanvas.id = 'tube';
        screen.append(tubeCanvas);
        fit();
        return tubeCanvas;
    };
    if (options.tube !== 'cpu') {
        try {
            const { view, why } = createTubeGl(canvas(), snake, knobs, { software: options.tube === 'webgl' });
            if (view !== undefined) {
                renderer = 'WebGL2';
                return view;
            }
            noGlReason = why;
        } catch (error) {
            say(`the WebGL2 tube failed (${error.message}); the CPU tube draws instead`);
        }
    }
    renderer = 'CPU';
    return new TubeCpu(canvas(), snake, knobs);
}

const player = new Player(snake, exactView, makeTube);
if (options.persistence !== undefined) {
    player.exactPersistence = options.persistence;
    player.tubeKnobs.persistence = options.persistence;
}
for (const knob of ['size', 'focus', 'brightness', 'glow'])
    if (options[knob] !== undefined)
        player.tubeKnobs[knob] = options[knob];

// Each screen point a block of whole device pixels; the tube alike in size.
function fit() {
    const room = Math.min(screen.parentElement.clientWidth, window.innerHeight * 0.8);
    const { css } = crispSize(room, window.devicePixelRatio);
    screen.style.width = `${css}px`;
    screen.style.height = `${css}px`;
    for (const canvas of screen.querySelectorAll('canvas')) {
        canvas.style.width = `${css}px`;
        canvas.style.height = `${css}px`;
    }
}
window.addEventListener('resize', fit);
fit();

const panel = new DebuggerPanel($('beam'), $('marker'));
let faultShown = false;
let firstFrameMs = null;
let controls = null;
let gain = options.gain ?? GAIN_DEFAULT;

function gameLine(status) {
    const parts = [`level ${status.level}`, `frame ${status.drawn}`];
    if (status.stopped)
        parts.push('stopped by the beam');
    else if (loop.paused)
        parts.push('paused');
    if (loop.slow)
        parts.push('slow motion');
    if (status.waitingKeys > 0)
        parts.push(`${status.waitingKeys} key${status.waitingKeys > 1 ? 's' : ''} waiting`);
    if (status.lastKey > status.drawn)
        parts.push('replaying a script: a game key takes over');
    return parts.join(' · ');
}

function showPicture() {
    const shown = player.draw();
    $('exact').hidden = shown === 'tube';
    if (tubeCanvas)
        tubeCanvas.hidden = shown !== 'tube';
    const status = player.status();
    panel.show(beamState(snake));
    $('game-line').textContent = gameLine(status);
    $('frame-input').placeholder = String(player.current());
    if (status.stopped && !faultShown)
        say(snake.faultText(), 'fault');
    faultShown = status.stopped === 1;
    if (firstFrameMs === null && status.drawn > 0) {
        firstFrameMs = -1;
        requestAnimationFrame(() => {
            firstFrameMs = performance.now();
        });
    }
}

const loop = new GameLoop(player, showPicture);

function showControls() {
    controls.show({
        paused: loop.paused,
        slow: loop.slow,
        look: player.look,
        level: player.status().level,
        sound: player.sound !== null,
        knobs: { ...player.tubeKnobs, persistence: player.persistence() },
        gain,
    });
    const by = renderer === 'CPU' ? `the CPU${noGlReason ? `: ${noGlReason}` : ''}` : 'WebGL2';
    $('renderer').textContent = player.look === 'tube' ? `drawn by ${by}` : '';
}

// The link's options for the view as it is: the frame, the look, its knobs.
function viewOptions() {
    const view = { frame: player.current(), look: player.look };
    if (player.look === 'tube')
        Object.assign(view, player.tubeKnobs);
    else if (player.exactPersistence > 0)
        view.persistence = player.exactPersistence;
    return view;
}

const pictureName = () => {
    const s = player.status();
    return `pc-snake-level${s.level}-frame${player.current()}`;
};

let soundOpening = false;
async function toggleSound() {
    if (soundOpening)
        return;
    if (player.sound) {
        const sound = player.sound;
        player.setSound(null);
        await sound.close();
    } else {
        soundOpening = true;
        try {
            player.setSound(await BeamSound.open(snake, gain));
        } catch (error) {
            say(`no sound: ${error.message}`);
        }
        soundOpening = false;
    }
    showControls();
}

const actions = {
    gameKey(code) {
        snake.key(code);
        loop.changed();
    },
    newGame(level) {
        snake.newGame(level);
        loop.changed();
        showControls();
    },
    pause() {
        loop.togglePause();
        showControls();
    },
    tick() {
        loop.step();
        showControls();
    },
    slow() {
        loop.toggleSlow();
        showControls();
    },
    jump(n) {
        player.goTo(n);
        loop.pause();
        showControls();
    },
    look(name) {
        player.setLook(name);
        loop.changed();
        showControls();
    },
    knob(name, value) {
        player.setKnobs({ [name]: value });
        loop.changed();
        showControls();
    },
    sound: toggleSound,
    gain(value) {
        gain = value;
        player.sound?.setGain(value);
    },
    downloadKeys() {
        downloadKeys(snake.recording(), `${pictureName()}.keys`);
    },
    share() {
        const link = shareLink(location, viewOptions(), snake.recording());
        controls.showShareLink(link);
        navigator.clipboard?.writeText(link).catch(() => {});
    },
    savePng() {
        return savePng(player.look === 'tube' && !player.status().stepping ? tubeCanvas : $('exact'),
            `${pictureName()}.png`);
    },
    script(script) {
        const refused = snake.start({}, script);
        if (refused !== null) {
            say(refused, 'fault');
            return;
        }
        player.goTo(0);
        loop.paused = false;
        loop.changed();
        showControls();
    },
};

listenToKeys(window, (action) => {
    switch (action.action) {
    case 'game-key': actions.gameKey(action.code); break;
    case 'new-game': actions.newGame(action.level); break;
    case 'pause': actions.pause(); break;
    case 'step': actions.tick(); break;
    case 'slow-motion': actions.slow(); break;
    }
});
listenToSwipes(screen, (code) => actions.gameKey(code));
listenForScripts(document.body, $('script-file'), (script) => actions.script(script));
controls = bindControls(actions);

// pc-snake's game, or the linked script's, with the link's settings over it.
let script;
try {
    const bytes = linkedScript(location.hash);
    if (bytes !== null)
        script = { name: 'link', bytes };
} catch {
    say("the link's key script is not valid URL text; the built-in script plays instead");
}
const settings = { level: options.level, seed: options.seed, speed: options.speed,
    growth: options.growth, device: options.device };
const refused = snake.start(settings, script);
if (refused !== null) {
    say(refused, 'fault');
    snake.start(settings);
}
player.setLook(options.look ?? 'exact');
if (options.frame !== undefined) {
    player.goTo(options.frame);
    loop.paused = true;
} else {
    player.playFrame();
}
showControls();
$('status').textContent = 'pc-snake in the browser: the module is running';
$('status').dataset.state = 'loaded';
loop.start();

// For the page's tests and measurements: the page's own objects and clock.
window.pcSnake = {
    snake, player, loop,
    exactView,
    tube: () => player.tube,
    stats: () => ({ rate: loop.rate(), firstFrameMs, renderer }),
};

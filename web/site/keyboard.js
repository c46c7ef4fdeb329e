// snake-play's keys on the page: what a key does, as an action the page
// carries out. The module's own key codes for the game keys (snake/snake.h).
export const KEY_LEFT = 0x11;
export const KEY_RIGHT = 0x10;
export const KEY_UP = 0x39;
export const KEY_DOWN = 0x38;
export const KEY_FASTER = 0x0a;
export const KEY_SLOWER = 0x28;

const gameKey = (code) => ({ action: 'game-key', code });
const newGame = (level) => ({ action: 'new-game', level });

// By KeyboardEvent.key, the character or name the layout gives.
const BINDINGS = {
    ArrowLeft: gameKey(KEY_LEFT), a: gameKey(KEY_LEFT), A: gameKey(KEY_LEFT),
    ArrowRight: gameKey(KEY_RIGHT), d: gameKey(KEY_RIGHT), D: gameKey(KEY_RIGHT),
    ArrowUp: gameKey(KEY_UP), w: gameKey(KEY_UP), W: gameKey(KEY_UP),
    ArrowDown: gameKey(KEY_DOWN), s: gameKey(KEY_DOWN), S: gameKey(KEY_DOWN),
    '+': gameKey(KEY_FASTER), '=': gameKey(KEY_FASTER),
    '-': gameKey(KEY_SLOWER),
    1: newGame(1), 2: newGame(2), 3: newGame(3), 4: newGame(4),
    Enter: newGame(0),
    ' ': { action: 'pause' },
    '.': { action: 'step' },
    ',': { action: 'slow-motion' },
};

// The action of a key press, or null: none for keys typed into a field,
// pressing a button, or pressed with Ctrl, Alt or Meta (the browser's own).
export function actionOfKey(event) {
    if (event.ctrlKey || event.altKey || event.metaKey)
        return null;
    const target = event.target;
    if (target instanceof HTMLElement) {
        if (target.closest('input, select, textarea'))
            return null; // typed into a field, or a slider's own arrows
        if (target.closest('button') && (event.key === ' ' || event.key === 'Enter'))
            return null; // the button's own click
    }
    return BINDINGS[event.key] ?? null;
}

// Calls act(action) for each key that has one, and keeps the browser from
// scrolling with the arrows and Space.
export function listenToKeys(target, act) {
    target.addEventListener('keydown', (event) => {
        const action = actionOfKey(event);
        if (action === null)
            return;
        event.preventDefault();
        act(action);
    });
}

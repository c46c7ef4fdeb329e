// Swipes on a phone: a stroke across the screen steers the snake the way it
// goes, as the arrow keys do.
import { KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_UP } from './keyboard.js';

// CSS pixels a finger must travel before a stroke counts as a swipe.
const SWIPE_MIN = 24;

export function swipeKey(dx, dy) {
    if (Math.max(Math.abs(dx), Math.abs(dy)) < SWIPE_MIN)
        return null;
    if (Math.abs(dx) > Math.abs(dy))
        return dx > 0 ? KEY_RIGHT : KEY_LEFT;
    return dy > 0 ? KEY_DOWN : KEY_UP;
}

// Calls steer(code) for each swipe that starts on `element`.
export function listenToSwipes(element, steer) {
    const strokes = new Map();
    element.addEventListener('pointerdown', (event) => {
        if (event.pointerType === 'mouse')
            return;
        strokes.set(event.pointerId, { x: event.clientX, y: event.clientY });
    });
    const end = (event) => {
        const start = strokes.get(event.pointerId);
        strokes.delete(event.pointerId);
        if (start === undefined)
            return;
        const code = swipeKey(event.clientX - start.x, event.clientY - start.y);
        if (code !== null)
            steer(code);
    };
    element.addEventListener('pointerup', end);
    element.addEventListener('pointercancel', (event) => strokes.delete(event.pointerId));
}

// The page's start: loads the module and says what it did, or why it could not.
import { loadSnake } from './snake_module.js';

const status = document.getElementById('status');
const firstFrame = document.getElementById('first-frame');

try {
    const snake = await loadSnake();
    snake.start(1);
    const ticks = snake.frame();
    const lit = snake.points().length / 2;
    status.textContent = `pc-snake in the browser: module loaded, ${snake.exportCount} exports`;
    firstFrame.textContent = `Level 1, frame 1: ${ticks} beam ticks, ${lit} of them lit.`;
    status.dataset.state = 'loaded';
} catch (error) {
    status.textContent = `pc-snake could not start: ${error.message}`;
    status.dataset.state = 'failed';
    console.error(error);
}

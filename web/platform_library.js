// platform_library.js: the browser platform's JavaScript, linked into the game with --js-library. The
// C++ side (runtime/platform_web.cpp) hands every function the canvas's selector.
// Written without destructuring: emcc 3.1.6's optimizer mangles it (`for (const [a, b] of ...)` loses
// its names).
'use strict';

mergeInto(LibraryManager.library, {
    // The canvas, its 2D context, and 'image', an ImageData over the frame in the wasm memory (no copy;
    // made anew when the memory grows).
    $pageScreen: { canvas: null, context: null, image: null, rgba: 0, width: 0, height: 0 },

    page_has_canvas: function (selector) {
        return typeof document !== 'undefined' && !!document.querySelector(UTF8ToString(selector));
    },

    // Over the picture only: the rest of the page keeps its pointer.
    page_hide_cursor: function (selector) {
        document.querySelector(UTF8ToString(selector)).style.cursor = 'none';
    },

    // The ImageData over the frame at 'rgba' in the wasm memory, made anew when the memory has grown.
    $pageFrameImage__deps: ['$pageScreen'],
    $pageFrameImage: function (rgba) {
        const image = pageScreen.image;
        if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== rgba) {
            const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, pageScreen.width * pageScreen.height * 4);
            pageScreen.image = new ImageData(bytes, pageScreen.width, pageScreen.height);
        }
        return pageScreen.image;
    },

    // Opens the canvas for drawing in RGBA. A canvas whose context the browser dropped (short of memory)
    // comes back blank, and is given the whole frame again.
    page_open_screen__deps: ['$pageScreen', '$pageFrameImage'],
    page_open_screen: function (selector, width, height) {
        pageScreen.canvas = document.querySelector(UTF8ToString(selector));
        pageScreen.context = pageScreen.canvas.getContext('2d', { alpha: false });
        pageScreen.width = width;
        pageScreen.height = height;
        pageScreen.canvas.addEventListener('contextrestored', function () {
            if (pageScreen.rgba)
                pageScreen.context.putImageData(pageFrameImage(pageScreen.rgba), 0, 0);
        });
    },

    // The rectangle (x, y, width, height) of the frame that changed, the whole frame being RGBA bytes in
    // the wasm memory.
    page_present_rgba__deps: ['$pageScreen', '$pageFrameImage'],
    page_present_rgba: function (rgba, x, y, width, height) {
        pageScreen.rgba = rgba;
        pageScreen.context.putImageData(pageFrameImage(rgba), 0, 0, x, y, width, height);
        if (!Module.firstFrameTime)
            Module.firstFrameTime = performance.now(); // for the figures: from navigation on
    },

    // The touch controls (#touch-controls): the stick steers from where the thumb lands, past a dead zone,
    // in eight directions; the buttons [data-button] hold buttons 1 to 3; #touch-quit quits once held to
    // its end. Each touch belongs to the control it began on, so that steering and firing go together.
    // Their state goes into 'touch', a PageTouch of platform_web.cpp (five int32: hat, buttons, hat and
    // buttons pressed since the platform's last read, quit). The controls never take the focus; the
    // page shows them while touches are what the player uses (the root's class "touch", which the page's
    // layout follows): a key or a pad hides them, the next touch brings them back.
    page_open_touch_controls__deps: ['$pageTouchHat', '$pageTouchSizes', '$pagePlayedWith'],
    page_open_touch_controls: function (touch) {
        const controls = document.getElementById('touch-controls');
        const stick = document.getElementById('touch-stick');
        const knob = stick && stick.querySelector('.knob');
        const quit = document.getElementById('touch-quit');
        if (!controls || !stick)
            return;
        const field = { hat: touch >> 2, buttons: (touch >> 2) + 1, hatPressed: (touch >> 2) + 2,
            buttonsPressed: (touch >> 2) + 3, quit: (touch >> 2) + 4 };
        const owners = new Map(); // touch identifier -> what it holds
        let quitTimer = 0;

        function setHat(bits) {
            HEAP32[field.hat] = bits;
            HEAP32[field.hatPressed] |= bits;
        }
        function buttonBits() {
            let bits = 0;
            owners.forEach(function (owner) {
                if (owner.button)
                    bits |= 1 << (owner.button - 1);
            });
            return bits;
        }
        function placeKnob(owner) {
            const box = stick.getBoundingClientRect();
            knob.style.left = (owner.x - box.left) + 'px';
            knob.style.top = (owner.y - box.top) + 'px';
            knob.style.setProperty('--dx', owner.dx + 'px');
            knob.style.setProperty('--dy', owner.dy + 'px');
        }

        // The stick's drag, from where the thumb landed; a thumb dragged past the rim pulls the centre
        // along, so that turning back steers at once.
        function steer(owner, x, y) {
            let dx = x - owner.x, dy = y - owner.y;
            const rim = pageTouchSizes.rim, reach = Math.hypot(dx, dy);
            if (reach > rim) {
                owner.x += dx * (1 - rim / reach);
                owner.y += dy * (1 - rim / reach);
                dx = x - owner.x;
                dy = y - owner.y;
            }
            owner.dx = dx;
            owner.dy = dy;
            setHat(pageTouchHat(dx, dy));
            placeKnob(owner);
        }

        function release(owner) {
            if (owner.stick)
                HEAP32[field.hat] = 0;
            owner.element.classList.remove('held');
            if (owner.quit) {
                clearTimeout(quitTimer);
                quit.classList.remove('held');
            }
        }

        controls.addEventListener('touchstart', function (event) {
            event.preventDefault(); // no focus, no emulated mouse, no scroll or zoom
            for (let i = 0; i < event.changedTouches.length; i++) {
                const t = event.changedTouches[i];
                const on = t.target instanceof Element ? t.target.closest('#touch-stick, [data-button], #touch-quit') : null;
                if (!on)
                    continue;
                const owner = { element: on };
                if (on === stick) {
                    owners.forEach(function (other, id) { // one thumb steers: the newest
                        if (other.stick) {
                            release(other);
                            owners.delete(id);
                        }
                    });
                    Object.assign(owner, { stick: true, x: t.clientX, y: t.clientY, dx: 0, dy: 0 });
                    placeKnob(owner);
                } else if (on === quit) {
                    owner.quit = true;
                    clearTimeout(quitTimer);
                    quitTimer = setTimeout(function () {
                        HEAP32[field.quit] = 1;
                    }, pageTouchSizes.quitHold);
                } else {
                    owner.button = Number(on.dataset.button);
                }
                on.classList.add('held');
                owners.set(t.identifier, owner);
            }
            const buttons = buttonBits();
            HEAP32[field.buttons] = buttons;
            HEAP32[field.buttonsPressed] |= buttons;
        }, { passive: false });

        controls.addEventListener('touchmove', function (event) {
            event.preventDefault();
            for (let i = 0; i < event.changedTouches.length; i++) {
                const t = event.changedTouches[i];
                const owner = owners.get(t.identifier);
                if (owner && owner.stick)
                    steer(owner, t.clientX, t.clientY);
            }
        }, { passive: false });

        function end(event) {
            for (let i = 0; i < event.changedTouches.length; i++) {
                const t = event.changedTouches[i];
                const owner = owners.get(t.identifier);
                if (!owner)
                    continue;
                owners.delete(t.identifier);
                release(owner);
            }
            HEAP32[field.buttons] = buttonBits();
        }
        controls.addEventListener('touchend', end);
        controls.addEventListener('touchcancel', end);

        // Whatever the player touches shows the controls; keys hide them (a pad does, in page_read_gamepad).
        document.addEventListener('touchstart', function () {
            pagePlayedWith('touch');
        }, { capture: true, passive: true });
        document.addEventListener('keydown', function (event) {
            if (!event.ctrlKey && !event.altKey && !event.metaKey)
                pagePlayedWith('keys');
        }, true);
    },

    // The stick's GamepadHat bits for a drag of (dx, dy) CSS pixels: none inside the dead zone, else the
    // nearest of eight directions. y grows downward.
    $pageTouchHat__deps: ['$pageTouchSizes'],
    $pageTouchHat: function (dx, dy) {
        if (Math.hypot(dx, dy) < pageTouchSizes.deadZone)
            return 0;
        const up = 1, right = 2, down = 4, left = 8; // runtime/gamepad.h's GamepadHat
        const directions = [right, down | right, down, down | left, left, up | left, up, up | right];
        const octant = Math.round(Math.atan2(dy, dx) / (Math.PI / 4));
        return directions[(octant + 8) % 8];
    },
    // The stick's dead zone and rim, in CSS pixels, and how long the quit control is held, in ms.
    $pageTouchSizes: { deadZone: 12, rim: 40, quitHold: 1000 },

    // What the player last played with: touches show the touch controls, keys and pads hide them.
    $pagePlayedWith: function (what) {
        const root = document.documentElement;
        const touch = what === 'touch';
        if (root.classList.contains('touch') !== touch)
            root.classList.toggle('touch', touch);
    },

    // The first pad the Gamepad API reports, into 'pad', a PageGamepad of platform_web.cpp (four int32:
    // hat, axis x, axis y, buttons): its first 'count' buttons as bits, its first two axes, and, in the
    // standard mapping, the d-pad's buttons 12 to 15 as the hat. Gives 0 when there is no pad.
    page_read_gamepad__deps: ['$pagePlayedWith'],
    page_read_gamepad: function (pad, count) {
        const pads = navigator.getGamepads ? navigator.getGamepads() : [];
        let first = null;
        for (let i = 0; i < pads.length && !first; i++)
            if (pads[i] && pads[i].connected)
                first = pads[i];
        if (!first)
            return 0;
        const down = function (k) {
            return k < first.buttons.length && first.buttons[k].pressed;
        };
        let buttons = 0, hat = 0;
        for (let k = 0; k < count; k++)
            if (down(k))
                buttons |= 1 << k;
        if (first.mapping === 'standard')
            hat = (down(12) ? 1 : 0) | (down(15) ? 2 : 0) | (down(13) ? 4 : 0) | (down(14) ? 8 : 0);
        const axis = function (k) {
            const value = k < first.axes.length ? first.axes[k] : 0;
            return Math.max(-32767, Math.min(32767, Math.round(value * 32767)));
        };
        const x = axis(0), y = axis(1);
        HEAP32[pad >> 2] = hat;
        HEAP32[(pad >> 2) + 1] = x;
        HEAP32[(pad >> 2) + 2] = y;
        HEAP32[(pad >> 2) + 3] = buttons;
        // A pad in use hides the touch controls; a stick at rest reads a little off centre.
        if (buttons !== 0 || hat !== 0 || Math.abs(x) > 32767 / 3 || Math.abs(y) > 32767 / 3)
            pagePlayedWith('pad');
        return 1;
    },

    // For the figures: what presenting each frame cost the page, kept while a benchmark asks for it.
    page_frame_cost: function (ms) {
        if (Module.frameCosts)
            Module.frameCosts.push(ms);
    },

    // The program has shut down: the page may offer to play again.
    page_program_ended: function () {
        if (Module.onGameEnded)
            Module.onGameEnded();
    },
});

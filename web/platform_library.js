// platform_library.js: the browser platform's JavaScript, linked into the game with --js-library. The
// C++ side (runtime/platform_web.cpp) hands every function the canvas's selector.
'use strict';

mergeInto(LibraryManager.library, {
    $pageScreen: { context: null, image: null },

    page_has_canvas: function (selector) {
        return typeof document !== 'undefined' && !!document.querySelector(UTF8ToString(selector));
    },

    // Over the picture only: the rest of the page keeps its pointer.
    page_hide_cursor: function (selector) {
        document.querySelector(UTF8ToString(selector)).style.cursor = 'none';
    },

    // The frame, RGBA bytes in the wasm memory, into the canvas.
    page_present__deps: ['$pageScreen'],
    page_present: function (selector, rgba, width, height) {
        if (!pageScreen.context) {
            pageScreen.context = document.querySelector(UTF8ToString(selector)).getContext('2d');
            pageScreen.image = pageScreen.context.createImageData(width, height);
            Module.firstFrameTime = performance.now(); // for the figures: from navigation on
        }
        pageScreen.image.data.set(HEAPU8.subarray(rgba, rgba + width * height * 4));
        pageScreen.context.putImageData(pageScreen.image, 0, 0);
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

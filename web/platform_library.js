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

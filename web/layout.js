// layout.js: the picture's size and the page's arrangement around it. The picture is sized for the whole
// window; the header then goes above it when there is room, beside it in a wide window, below it otherwise.
// On a touch screen a place is kept for the touch controls: #touch-controls is a band below the picture in
// portrait and lies over the stage in landscape, a three-column grid whose middle column is kept clear:
// the picture when the margins beside it are wide enough for controls, else only the playfield (the side
// panels then take controls too, over the score). Controls go in columns 1 and 3. Loaded before page.js.
'use strict';

(function () {
    const root = document.documentElement;
    const header = document.querySelector('header');
    const stage = document.getElementById('stage');
    const frame = document.getElementById('frame');
    const canvas = document.getElementById('screen');
    const touchControls = document.getElementById('touch-controls');

    // The playfield: the game's column between its two side panels, in game pixels.
    const playfieldLeft = 200;
    const playfieldWidth = 240;
    // The least height of the touch controls' band below the picture, and the least width of a margin
    // beside it that takes them instead of the side panels, in CSS pixels.
    const touchBand = 160;
    const touchSide = 120;
    // The least width of the header as a column beside the picture, in CSS pixels.
    const headerColumn = 180;

    // The picture's size in device pixels. Whole factors are counted in device pixels, so that every game
    // pixel covers as many of them as the next (at devicePixelRatio 1.5, 2x is 1280 device pixels, 853.33
    // CSS pixels). When not even the game's own size in CSS pixels fits (a phone, a small window), the
    // picture is fitted to the room instead, still sharp but with game pixels one device pixel apart in size.
    function pictureSize(width, height, ratio) {
        const fit = Math.min(width / canvas.width, height / canvas.height);
        // The small allowance keeps 1.5 * (4/3) from coming out as 1.9999999.
        const factor = Math.floor(fit * ratio + 1e-9);
        const scale = fit >= 1 && factor >= 1 ? factor : fit * ratio;
        return { width: Math.floor(canvas.width * scale), height: Math.floor(canvas.height * scale) };
    }

    // The step, in CSS pixels, between places that are whole device pixels and exact in the browser's layout
    // units (1/64 CSS pixel): 1 at a whole ratio, 2 at 1.5, 4 at 1.25. The picture's corner goes on such a
    // place; elsewhere its edge rows and columns would be drawn half over the page.
    function placeStep(ratio) {
        for (let step = 1; step <= 64; step++)
            if (Math.abs(step * ratio - Math.round(step * ratio)) < 1e-6)
                return step;
        return 1;
    }

    const px = (value) => value + 'px';

    function layout() {
        const ratio = window.devicePixelRatio || 1;
        const step = placeStep(ratio);
        const down = (position) => Math.floor(position / step + 1e-9) * step;
        const up = (position) => Math.ceil(position / step - 1e-9) * step;
        const full = document.fullscreenElement === stage;
        const touch = root.classList.contains('touch');
        // The layout viewport, not innerWidth/innerHeight: those follow a phone's zoom, which is zoomed out
        // while the canvas still has its own width, before the first layout.
        const width = full ? stage.clientWidth : root.clientWidth;
        const height = full ? stage.clientHeight : root.clientHeight;
        // Portrait: the picture takes the width and the controls the band below it; landscape: the picture
        // takes the height and the controls its sides.
        const band = touch && (width * canvas.height) / canvas.width + touchBand <= height;
        const device = pictureSize(width, band ? height - touchBand : height, ratio);
        const pictureWidth = device.width / ratio;
        const pictureHeight = device.height / ratio;

        if (!full) {
            document.body.dataset.header = 'above';
            header.style.width = '';
            const spare = height - pictureHeight - (band ? touchBand : 0);
            const side = (width - pictureWidth) / 2;
            let place = 'below';
            if (up(header.offsetHeight) <= spare)
                place = 'above';
            else if (!touch && side >= headerColumn)
                place = 'beside';
            document.body.dataset.header = place;
            if (place === 'beside')
                header.style.width = px(Math.floor(side));
        }

        const corner = stage.getBoundingClientRect();
        const stageLeft = corner.left + window.scrollX;
        const stageTop = corner.top + window.scrollY;
        let left = down(stageLeft + (width - pictureWidth) / 2) - stageLeft;
        if (left < 0)
            left = up(stageLeft) - stageLeft;
        const top = full && !band ? down((height - pictureHeight) / 2) : up(stageTop) - stageTop;
        const stageHeight = full ? height : touch ? height - stageTop : top + pictureHeight;
        stage.style.height = full ? '' : px(stageHeight);
        frame.style.left = px(left);
        frame.style.top = px(top);
        canvas.style.width = px(pictureWidth);
        canvas.style.height = px(pictureHeight);

        if (touch) {
            const scale = pictureWidth / canvas.width;
            let [clearLeft, clearWidth] = [left + playfieldLeft * scale, playfieldWidth * scale];
            if (!band && Math.min(left, width - left - pictureWidth) >= touchSide)
                [clearLeft, clearWidth] = [left, pictureWidth];
            touchControls.style.top = px(band ? top + pictureHeight : 0);
            touchControls.style.height = px(band ? stageHeight - top - pictureHeight : stageHeight);
            touchControls.style.gridTemplateColumns = `${px(clearLeft)} ${px(clearWidth)} 1fr`;
            touchControls.dataset.place = band ? 'below' : 'beside';
        }
    }

    // A touch screen as the main pointer: the page keeps the touch controls' place. Whoever shows or hides
    // the controls toggles the class, and the picture follows.
    const coarse = window.matchMedia('(pointer: coarse)');
    root.classList.toggle('touch', coarse.matches);
    coarse.addEventListener('change', () => root.classList.toggle('touch', coarse.matches));
    new MutationObserver(layout).observe(root, { attributes: true, attributeFilter: ['class'] });

    // A new devicePixelRatio (a zoom, another screen) changes the whole factors too.
    function watchRatio() {
        window.matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`)
            .addEventListener('change', () => { layout(); watchRatio(); }, { once: true });
    }
    watchRatio();
    window.addEventListener('resize', layout);
    // The header's height decides where it goes, and it changes without a resize (a new status line, say).
    // The next frame lays out again: a change made by the observer itself would be an observer loop.
    new ResizeObserver(() => window.requestAnimationFrame(layout)).observe(header);
    document.addEventListener('fullscreenchange', layout);
    layout();
})();

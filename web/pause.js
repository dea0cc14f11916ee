// pause.js: the page's pause. Keyboard play that loses the keys (a click elsewhere, Tab, another window)
// or whose tab is hidden stops ticking, and the page says so over the picture; a click on the picture, a
// key, a touch on the touch controls or a pad button goes on. The game itself has no pause: the program
// only runs no tick meanwhile, and places its clock anew when it goes on, so nothing races to catch up.
// Touch play never pauses for the focus (a phone's keys are not the picture's), nor does watching a
// replay (it has its own Pause). Loaded before page.js, which calls window.vorpalinePause.play(setPaused)
// once the game plays, and stop() when it has ended.
'use strict';

(function () {
    const root = document.documentElement;
    const canvas = document.getElementById('screen');
    const notice = document.getElementById('paused');
    const controls = document.getElementById('touch-controls');
    let setPaused = null; // the program's, while the game plays
    let paused = false;

    function pause() {
        if (!setPaused || paused || root.classList.contains('touch'))
            return;
        paused = true;
        setPaused(1);
        notice.hidden = false;
        window.requestAnimationFrame(watchPads);
    }

    function goOn() {
        if (!paused)
            return;
        paused = false;
        notice.hidden = true;
        setPaused(0);
    }

    // A pad's button goes on; the pad is watched only while paused (the game reads it otherwise).
    function watchPads() {
        if (!paused)
            return;
        const pads = navigator.getGamepads ? navigator.getGamepads() : [];
        for (const pad of pads) {
            if (pad && pad.connected && pad.buttons.some((button) => button.pressed)) {
                canvas.focus();
                goOn();
                return;
            }
        }
        window.requestAnimationFrame(watchPads);
    }

    // The canvas loses the focus to the rest of the page, and to another window (it keeps being the
    // active element then, and gets the focus back with the window: that alone does not go on).
    canvas.addEventListener('blur', pause);
    document.addEventListener('visibilitychange', function () {
        if (document.hidden)
            pause();
    });
    canvas.addEventListener('mousedown', goOn);
    if (controls)
        controls.addEventListener('touchstart', goOn, { passive: true });
    // A key for the picture, or for the page when nothing else has the focus; not Tab, which moves the
    // focus on, nor a key alone that only modifies others.
    document.addEventListener('keydown', function (event) {
        if (!paused || event.ctrlKey || event.altKey || event.metaKey)
            return;
        if (['Tab', 'Shift', 'Control', 'Alt', 'Meta', 'CapsLock'].includes(event.key))
            return;
        if (event.target !== canvas && event.target !== document.body)
            return;
        canvas.focus();
        goOn();
    }, true);
    // The page's own full-screen button moved the focus; the picture has it back once the change is made.
    document.addEventListener('fullscreenchange', goOn);

    window.vorpalinePause = Object.freeze({
        play: function (programSetPaused) {
            setPaused = programSetPaused;
            if (document.activeElement !== canvas || document.hidden)
                pause();
        },
        stop: function () {
            setPaused = null;
            paused = false;
            notice.hidden = true;
        },
        paused: () => paused,
    });
})();

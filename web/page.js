// page.js: sets up the page around the game: the emscripten Module, the picture's scale, full screen,
// the frames-per-second setting, the start-up listing and the end of the game. Loaded before vorpaline.js.
'use strict';

(function () {
    const canvas = document.getElementById('screen');
    const stage = document.getElementById('stage');
    const listing = document.getElementById('listing');
    const status = document.getElementById('status');
    const showFps = document.getElementById('showfps');
    const ended = document.getElementById('ended');
    const fpsKey = 'vorpaline.showfps';

    // localStorage can be refused (privacy settings); the game then runs with the default.
    function storedShowFps() {
        try {
            return window.localStorage.getItem(fpsKey) === '1';
        } catch (e) {
            return false;
        }
    }

    // The largest whole factor that fits, so every game pixel stays a square of screen pixels.
    function rescale() {
        const full = document.fullscreenElement === stage;
        let width, height;
        if (full) {
            width = stage.clientWidth;
            height = stage.clientHeight;
        } else {
            const top = stage.getBoundingClientRect().top + window.scrollY;
            width = document.documentElement.clientWidth - 16;
            height = window.innerHeight - top - 8;
        }
        const factor = Math.max(1, Math.floor(Math.min(width / canvas.width, height / canvas.height)));
        canvas.style.width = canvas.width * factor + 'px';
        canvas.style.height = canvas.height * factor + 'px';
    }

    window.addEventListener('resize', rescale);
    document.addEventListener('fullscreenchange', function () {
        rescale();
        canvas.focus();
    });
    rescale();

    document.getElementById('fullscreen').addEventListener('click', function () {
        if (document.fullscreenElement)
            document.exitFullscreen();
        else if (stage.requestFullscreen)
            stage.requestFullscreen().catch(function (e) {
                status.textContent = 'Full screen was refused: ' + e.message;
            });
    });

    // The picture takes the keys only while it has the focus.
    canvas.addEventListener('mousedown', function () {
        canvas.focus();
    });

    showFps.checked = storedShowFps();
    showFps.addEventListener('change', function () {
        try {
            window.localStorage.setItem(fpsKey, showFps.checked ? '1' : '0');
        } catch (e) {
            // Not stored: the reload below then shows the default again.
        }
        window.location.reload();
    });

    document.getElementById('again').addEventListener('click', function () {
        window.location.reload();
    });

    function appendListing(text) {
        listing.appendChild(document.createTextNode(text + '\n'));
    }

    // Puts the player's choice into the packed settings file, leaving the rest of it as it is.
    function writeFpsSetting(FS) {
        const path = '/vorpaline/krv.ini';
        const value = storedShowFps() ? '1' : '0';
        let text = FS.readFile(path, { encoding: 'utf8' });
        const line = /^([ \t]*krv_showfps[ \t]*=[ \t]*)-?\d+/m;
        if (line.test(text)) {
            text = text.replace(line, '$1' + value);
        } else {
            if (text.length > 0 && !text.endsWith('\n'))
                text += '\n';
            text += 'krv_showfps = ' + value + '\n';
        }
        FS.writeFile(path, text);
    }

    window.Module = {
        canvas: canvas,
        print: function (text) {
            console.log(text);
            appendListing(text);
        },
        printErr: function (text) {
            console.error(text);
            appendListing(text);
        },
        setStatus: function (text) {
            status.textContent = text || 'Running. Click the picture to play.';
        },
        onRuntimeInitialized: function () {
            Module.FS.chdir('/vorpaline');
            writeFpsSetting(Module.FS);
            window.vorpaline = Object.freeze({
                ticks: function () {
                    return Module._vorpaline_ticks();
                },
                framesThatRan: function (n) {
                    return Module._vorpaline_frames_that_ran(n);
                },
            });
            status.textContent = 'Running. Click the picture to play.';
            canvas.focus();
        },
        onGameEnded: function () {
            status.textContent = '';
            ended.hidden = false;
            document.getElementById('again').focus();
        },
        onAbort: function (what) {
            status.textContent = 'The game stopped with an error: ' + what;
        },
    };

    canvas.focus();
})();

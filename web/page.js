// page.js: sets up the page around the game: the emscripten Module, the download's progress, what the page
// says when the browser cannot run the game, full screen, the frames-per-second setting, the start-up
// listing, the end of the game and the offline copy. Loaded after layout.js; it loads vorpaline.js itself.
'use strict';

(function () {
    const canvas = document.getElementById('screen');
    const stage = document.getElementById('stage');
    const listing = document.getElementById('listing');
    const status = document.getElementById('status');
    const showFps = document.getElementById('showfps');
    const ended = document.getElementById('ended');
    const loading = document.getElementById('loading');
    const loadingText = document.getElementById('loading-text');
    const progress = document.getElementById('progress');
    const fpsKey = 'vorpaline.showfps';
    let started = false;

    // localStorage can be refused (privacy settings); the game then runs with the default.
    function storedShowFps() {
        try {
            return window.localStorage.getItem(fpsKey) === '1';
        } catch (e) {
            return false;
        }
    }

    document.getElementById('fullscreen').addEventListener('click', function () {
        if (document.fullscreenElement)
            document.exitFullscreen();
        else if (stage.requestFullscreen)
            stage.requestFullscreen().catch(function (e) {
                status.textContent = 'Full screen was refused: ' + e.message;
            });
    });
    document.addEventListener('fullscreenchange', function () {
        canvas.focus();
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

    // What stops the game before it runs is said over the picture, in place of the progress bar.
    function fail(message) {
        loadingText.textContent = message;
        progress.hidden = true;
        loading.hidden = false;
        status.textContent = '';
    }

    // The download's progress: the wasm counted here as it arrives, the packed data folder from the counts
    // that emscripten's loader reports through setStatus ("Downloading data... (loaded/total)").
    const downloads = { wasm: { loaded: 0, total: 0 }, data: { loaded: 0, total: 0 } };
    function showProgress() {
        let loaded = 0, total = 0;
        for (const name in downloads) {
            loaded += downloads[name].loaded;
            total += Math.max(downloads[name].total, downloads[name].loaded);
        }
        if (total > 0)
            progress.value = loaded / total;
        const kilobytes = (bytes) => Math.ceil(bytes / 1024);
        loadingText.textContent = total > 0 ? `Downloading the game… ${kilobytes(loaded)} of ${kilobytes(total)} KB`
            : 'Downloading the game…';
    }

    // Counts the response's bytes as they arrive, on a copy of its body, while the caller reads the response
    // itself with arrayBuffer(): a body read to its end through a reader is sometimes reported as a
    // cancelled request when a service worker served it. The total is the Content-Length, when the server
    // says it and the body is not compressed on the way (then the bytes counted outgrow it).
    async function countArriving(response, entry) {
        entry.total = Number(response.headers.get('Content-Length')) || 0;
        const reader = response.clone().body.getReader();
        for (;;) {
            const { done, value } = await reader.read();
            if (done)
                return;
            entry.loaded += value.byteLength;
            showProgress();
        }
    }

    // emscripten's own wasm download gives no progress: this one does, then compiles what arrived.
    function instantiateWasm(imports, receiveInstance) {
        fetch('vorpaline.wasm', { credentials: 'same-origin' })
            .then(function (response) {
                if (!response.ok)
                    throw new Error(`vorpaline.wasm: ${response.status} ${response.statusText}`);
                countArriving(response, downloads.wasm).catch(() => {}); // a failure shows below
                return response.arrayBuffer();
            })
            .then((bytes) => WebAssembly.instantiate(bytes, imports))
            .then((result) => receiveInstance(result.instance, result.module))
            .catch(function (e) {
                fail(`The game could not be downloaded (${e.message}). Check the connection and reload the page.`);
            });
        return {};
    }

    function missingFeature() {
        if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function')
            return 'This browser cannot run the game: it has no WebAssembly, or it is turned off.';
        if (typeof canvas.getContext !== 'function' || !document.createElement('canvas').getContext('2d'))
            return 'This browser cannot show the game: it has no canvas to draw on.';
        return null;
    }

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
        instantiateWasm: instantiateWasm,
        print: function (text) {
            console.log(text);
            appendListing(text);
        },
        printErr: function (text) {
            console.error(text);
            appendListing(text);
        },
        setStatus: function (text) {
            const counts = /^Downloading data\.\.\. \((\d+)\/(\d+)\)/.exec(text);
            if (counts) {
                downloads.data.loaded = Number(counts[1]);
                downloads.data.total = Number(counts[2]);
                showProgress();
            }
        },
        onRuntimeInitialized: function () {
            started = true;
            loading.hidden = true;
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
            keepOffline();
        },
        onGameEnded: function () {
            status.textContent = '';
            ended.hidden = false;
            document.getElementById('again').focus();
        },
        onAbort: function (what) {
            fail('The game stopped with an error: ' + what);
        },
    };

    // Once the game runs, the service worker keeps this build's files for playing offline. Service workers
    // exist only for pages served over http(s), not for a page opened from a file.
    function keepOffline() {
        if (!('serviceWorker' in navigator) || !/^https?:$/.test(window.location.protocol))
            return;
        navigator.serviceWorker.register('sw.js').catch(function (e) {
            console.warn('vorpaline: no offline copy: ' + e.message);
        });
    }

    // An error in the game's script before the game runs (the data folder's download failing, say) would
    // otherwise leave the progress bar standing.
    window.addEventListener('error', function (event) {
        if (!started && /vorpaline\.js$/.test(event.filename || ''))
            fail('The game could not start: ' + event.message);
    });

    const missing = missingFeature();
    if (missing) {
        fail(missing);
    } else {
        loading.hidden = false;
        showProgress();
        const script = document.createElement('script');
        script.src = 'vorpaline.js';
        script.onerror = function () {
            fail('The game could not be downloaded (vorpaline.js). Check the connection and reload the page.');
        };
        document.body.appendChild(script);
    }
    canvas.focus();
})();

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
    const replays = window.vorpalineReplays;
    const replayMessage = document.getElementById('replay-message');
    const watchControls = document.getElementById('watch-controls');
    const endedMessage = document.getElementById('ended-message');
    const replayLink = document.getElementById('replay-link');
    // Where the session is recorded, and where a replay to watch is put, in emscripten's file system.
    const recordPath = '/session.script';
    const watchPath = '/watch.script';
    let started = false;
    let sessionBegan = new Date();
    let watchedText = null; // the replay this page watches, or null while playing
    let sessionText = null; // the session's script once it has ended: the recording, or the replay watched

    // The replay this page is to watch, decoded while the game downloads.
    const replayWanted = replays.pendingReplay().catch((e) => ({ error: 'The replay could not be read: ' + e.message }));

    function sayReplay(text) {
        replayMessage.textContent = text;
        replayMessage.hidden = !text;
    }

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

    document.getElementById('again').addEventListener('click', replays.playYourself);

    // ---- replays: the session's, and one to watch
    document.getElementById('save-replay').addEventListener('click', function () {
        replays.download(sessionText, replays.fileNameFor(watchedText === null ? sessionBegan : new Date()));
    });
    document.getElementById('copy-link').addEventListener('click', async function () {
        const link = await replays.linkTo(sessionText);
        replayLink.value = link;
        replayLink.hidden = false;
        replayLink.select();
        try {
            await navigator.clipboard.writeText(link);
            sayReplay(`The link is copied (${link.length} characters): whoever opens it watches this session.`);
        } catch (e) {
            sayReplay('Copy the link from the field below the buttons: the browser would not let the page copy it.');
        }
    });
    document.getElementById('watch-replay').addEventListener('click', function () {
        replays.watch(sessionText);
    });
    document.getElementById('open-replay').addEventListener('change', function (event) {
        if (event.target.files.length > 0)
            replays.watchFile(event.target.files[0], sayReplay);
    });
    document.addEventListener('dragover', function (event) {
        if (!event.dataTransfer.types.includes('Files'))
            return;
        event.preventDefault();
        document.body.classList.add('dropping');
    });
    document.addEventListener('dragleave', function (event) {
        if (event.relatedTarget === null)
            document.body.classList.remove('dropping');
    });
    document.addEventListener('drop', function (event) {
        document.body.classList.remove('dropping');
        if (event.dataTransfer.files.length === 0)
            return;
        event.preventDefault();
        replays.watchFile(event.dataTransfer.files[0], sayReplay);
    });

    const pauseButton = document.getElementById('watch-pause');
    let watchPaused = false;
    pauseButton.addEventListener('click', function () {
        watchPaused = !watchPaused;
        Module._vorpaline_set_paused(watchPaused ? 1 : 0);
        pauseButton.textContent = watchPaused ? 'Go on' : 'Pause';
        canvas.focus();
    });
    for (const button of watchControls.querySelectorAll('[data-speed]')) {
        button.addEventListener('click', function () {
            Module._vorpaline_set_watch_speed(Number(button.dataset.speed));
            for (const other of watchControls.querySelectorAll('[data-speed]'))
                other.setAttribute('aria-pressed', other === button ? 'true' : 'false');
            canvas.focus();
        });
    }
    document.getElementById('watch-restart').addEventListener('click', function () {
        replays.watch(watchedText);
    });
    document.getElementById('watch-play').addEventListener('click', replays.playYourself);

    // How a watched session ended, in the page's words.
    function endingOfWatch(summary) {
        const score = `score ${summary.score}`;
        switch (summary.ended) {
        case 'game over':
            return `The replay ended: game over, ${score}.`;
        case 'cleared':
            return `The replay ended: the stage was cleared, ${score}.`;
        case 'quit':
            return `The replay ended: the player quit, ${score}.`;
        case 'ran out':
            return `The replay ended: its script ran out, ${score}.`;
        default:
            return 'You stopped the replay.';
        }
    }

    function sessionSummary() {
        return JSON.parse(Module.UTF8ToString(Module._vorpaline_session_summary()));
    }

    // The program starts once the replay to watch, if any, is known: watching it, or playing and recording.
    async function startProgram() {
        const replay = await replayWanted;
        const args = ['--record', recordPath];
        if (replay && replay.error)
            sayReplay(replay.error + ' The game starts as usual.');
        if (replay && replay.text !== undefined) {
            Module.FS.writeFile(watchPath, replay.text);
            args.unshift('--watch', watchPath);
        }
        sessionBegan = new Date();
        Module.callMain(args);
        const summary = sessionSummary();
        if (summary.watching) {
            watchedText = replay.text;
            watchControls.hidden = false;
            status.textContent = 'Watching a replay. Escape stops it.';
            return;
        }
        if (summary.watch_error)
            sayReplay(`The replay could not be watched (${summary.watch_error}). The game starts as usual.`);
        window.vorpalinePause.play((paused) => Module._vorpaline_set_paused(paused));
    }

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
        noInitialRun: true,
        instantiateWasm: instantiateWasm,
        print: function (text) {
            console.log(text);
            appendListing(text);
            if (text.startsWith('vorpaline: the recording stopped'))
                sayReplay('The recording stopped at 100 minutes, the most a replay may have; the game goes on.');
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
            status.textContent = document.documentElement.classList.contains('touch')
                ? 'Running. Play with the touch controls.' : 'Running. Click the picture to play.';
            canvas.focus();
            keepOffline();
            startProgram().catch(function (e) {
                fail('The game could not start: ' + e.message);
            });
        },
        onGameEnded: function () {
            window.vorpalinePause.stop();
            const summary = sessionSummary();
            status.textContent = '';
            if (watchedText !== null) {
                sessionText = watchedText;
                endedMessage.textContent = endingOfWatch(summary);
                pauseButton.disabled = true;
            } else {
                sessionText = Module.FS.readFile(recordPath, { encoding: 'utf8' });
                endedMessage.textContent = 'The game has ended.';
                window.vorpalineScores.offer(sessionText, summary);
            }
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

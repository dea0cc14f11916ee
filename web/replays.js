// replays.js: a session's replay as a file and as a link, and a replay to watch taken from a link, a
// dropped file or one chosen with "Open replay…". A link carries the whole script in its fragment,
// compressed with deflate-raw and written in base64url, so no server ever sees it. Loaded before page.js,
// which asks window.vorpalineReplays for the replay to watch and hands it the session when it ends.
'use strict';

(function () {
    // A replay may have at most this much script, decoded; the program checks the ticks itself.
    const maxScriptBytes = 1 << 20;
    const pendingKey = 'vorpaline.watch';
    const linkPrefix = '#replay=';

    // A refusal said in one line to the player.
    class ReplayRefused extends Error {}

    function base64urlOf(bytes) {
        let binary = '';
        for (let i = 0; i < bytes.length; i += 0x8000)
            binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
        return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
    }

    function bytesOfBase64url(text) {
        if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1)
            throw new ReplayRefused('The replay link is damaged: it is not base64url.');
        const padded = text.replace(/-/g, '+').replace(/_/g, '/') + '==='.slice((text.length + 3) % 4);
        const binary = atob(padded);
        const bytes = new Uint8Array(binary.length);
        for (let i = 0; i < binary.length; i++)
            bytes[i] = binary.charCodeAt(i);
        return bytes;
    }

    // Reads a stream to its end, refusing it as soon as it passes the limit.
    async function readBounded(stream, what) {
        const reader = stream.getReader();
        const chunks = [];
        let total = 0;
        for (;;) {
            const { done, value } = await reader.read();
            if (done)
                break;
            total += value.byteLength;
            if (total > maxScriptBytes) {
                reader.cancel().catch(() => {});
                throw new ReplayRefused(`${what} is larger than the ${maxScriptBytes / 1024 / 1024} MiB a replay may have.`);
            }
            chunks.push(value);
        }
        const bytes = new Uint8Array(total);
        let at = 0;
        for (const chunk of chunks) {
            bytes.set(chunk, at);
            at += chunk.byteLength;
        }
        return bytes;
    }

    // The script as text, refused when it is not text at all (a picture, an archive).
    function scriptText(bytes, what) {
        let text;
        try {
            text = new TextDecoder('utf-8', { fatal: true }).decode(bytes);
        } catch (e) {
            throw new ReplayRefused(`${what} is not a replay script: it is not text.`);
        }
        if (text.includes('\0'))
            throw new ReplayRefused(`${what} is not a replay script: it is not text.`);
        return text;
    }

    async function compress(text) {
        const stream = new Blob([text]).stream().pipeThrough(new CompressionStream('deflate-raw'));
        return new Uint8Array(await new Response(stream).arrayBuffer());
    }

    async function decompress(bytes) {
        const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
        try {
            return await readBounded(stream, 'The replay in the link');
        } catch (e) {
            if (e instanceof ReplayRefused)
                throw e;
            throw new ReplayRefused('The replay link is damaged: its data does not inflate.');
        }
    }

    // This page's address with the whole script in its fragment.
    async function linkTo(text) {
        const page = window.location.href.replace(/[?#].*$/, '');
        return page + linkPrefix + base64urlOf(await compress(text));
    }

    async function scriptOfLink(fragment) {
        return scriptText(await decompress(bytesOfBase64url(fragment.slice(linkPrefix.length))), 'The replay in the link');
    }

    async function scriptOfFile(file) {
        const what = `"${file.name}"`;
        if (file.size > maxScriptBytes)
            throw new ReplayRefused(`${what} is larger than the ${maxScriptBytes / 1024 / 1024} MiB a replay may have.`);
        return scriptText(await readBounded(file.stream(), what), what);
    }

    // The replay this load of the page watches: one handed over by the page before it reloaded (a file,
    // "Watch", "Restart"), else the link's, else a run of the score table (/?run=ID). Resolves to
    // { text } or { error } or null.
    async function pendingReplay() {
        let handed = null;
        try {
            handed = window.sessionStorage.getItem(pendingKey);
            window.sessionStorage.removeItem(pendingKey);
        } catch (e) {
            // No session storage: only links can be watched.
        }
        if (handed !== null)
            return { text: handed };
        const run = new URLSearchParams(window.location.search).get('run');
        if (run !== null && !window.location.hash.startsWith(linkPrefix)) {
            try {
                return { text: await window.vorpalineScores.scriptOfRun(run) };
            } catch (e) {
                return { error: e.message };
            }
        }
        if (!window.location.hash.startsWith(linkPrefix))
            return null;
        try {
            return { text: await scriptOfLink(window.location.hash) };
        } catch (e) {
            return { error: e instanceof ReplayRefused ? e.message : 'The replay link could not be read: ' + e.message };
        }
    }

    // Reloads the page to watch 'text' at once.
    function watch(text) {
        try {
            window.sessionStorage.setItem(pendingKey, text);
        } catch (e) {
            // Too large for the session's storage, or none: watch it through a link instead.
            linkTo(text).then((link) => window.location.assign(link));
            return;
        }
        window.location.reload();
    }

    // Back to playing: the page without its replay.
    function playYourself() {
        window.history.replaceState(null, '', window.location.pathname);
        window.location.reload();
    }

    function twoDigits(n) {
        return String(n).padStart(2, '0');
    }

    // vorpaline-YYYYMMDD-HHMMSS.script, by the local time the session began.
    function fileNameFor(began) {
        const d = began;
        return `vorpaline-${d.getFullYear()}${twoDigits(d.getMonth() + 1)}${twoDigits(d.getDate())}-` +
            `${twoDigits(d.getHours())}${twoDigits(d.getMinutes())}${twoDigits(d.getSeconds())}.script`;
    }

    function download(text, name) {
        const url = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
        const a = document.createElement('a');
        a.href = url;
        a.download = name;
        document.body.appendChild(a);
        a.click();
        a.remove();
        setTimeout(() => URL.revokeObjectURL(url), 10000);
    }

    // A file chosen or dropped: watched at once, or refused in one line.
    function watchFile(file, say) {
        scriptOfFile(file).then(watch, function (e) {
            say(e instanceof ReplayRefused ? e.message : `"${file.name}" could not be read: ${e.message}`);
        });
    }

    window.vorpalineReplays = Object.freeze({
        maxScriptBytes, pendingReplay, linkTo, watch, watchFile, playYourself, fileNameFor, download,
    });
})();

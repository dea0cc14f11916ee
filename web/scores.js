// scores.js: the score table, when the page is served by a vorpaline score server (same origin). The
// probe of /api/server swallows every failure: served by a plain static server the page shows nothing
// of the table. At the end of a session with a finished run the page offers "Submit score"; the server
// plays the session again and ranks its best finished run.
'use strict';

(function () {
    const nameKey = 'vorpaline.name';
    const panel = document.getElementById('submit');
    const nameField = document.getElementById('score-name');
    const button = document.getElementById('submit-score');
    const result = document.getElementById('submit-result');

    // The server's limits, or null when no score server answers here.
    const server = fetch('api/server', { headers: { Accept: 'application/json' } })
        .then((response) => (response.ok ? response.json() : null))
        .then((info) => (info && info.name === 'vorpaline-scores' && Number.isInteger(info.max_ticks) ? info : null))
        .catch(() => null);

    function storedName() {
        try {
            return window.localStorage.getItem(nameKey) || '';
        } catch (e) {
            return '';
        }
    }

    function say(text) {
        result.textContent = text;
        result.hidden = !text;
    }

    // The replay of a run on the table, for /?run=ID: its script, or a refusal in one line.
    async function scriptOfRun(id) {
        if (!/^\d{1,18}$/.test(id))
            throw new Error(`"${id}" is not a run of the score table.`);
        if ((await server) === null)
            throw new Error('This page has no score table to watch a run from.');
        const response = await fetch(`api/runs/${id}/script`);
        if (response.status === 404)
            throw new Error(`The score table has no run ${id}.`);
        if (!response.ok)
            throw new Error(`The score table did not give run ${id} (HTTP ${response.status}).`);
        return response.text();
    }

    async function submit(script, summary) {
        const name = nameField.value.trim();
        try {
            window.localStorage.setItem(nameKey, name);
        } catch (e) {
            // Not remembered: the player types it again next time.
        }
        button.disabled = true;
        say('Sending the session: the server plays it again…');
        try {
            const query = `name=${encodeURIComponent(name)}&claimed=${summary.best.score}`;
            const response = await fetch(`api/runs?${query}`, {
                method: 'POST',
                headers: { 'Content-Type': 'text/plain;charset=UTF-8' },
                body: script,
            });
            let answer = null;
            try {
                answer = await response.json();
            } catch (e) {
                // Not JSON: said below by its status.
            }
            if (response.ok && answer && Number.isInteger(answer.rank)) {
                const again = response.status === 200 ? ' (this session was already on the table)' : '';
                say(`Ranked ${answer.rank} of the ${answer.mode} runs with ${answer.score}${again}.`);
                const link = document.createElement('a');
                link.href = 'scores';
                link.textContent = ' See the table.';
                result.appendChild(link);
                return;
            }
            say(`Not ranked: ${answer && answer.error ? answer.error : `the server answered HTTP ${response.status}`}.`);
        } catch (e) {
            say(`Not sent: ${e.message}.`);
        }
        button.disabled = false;
    }

    // At the end of a played session: the offer to submit it, or why it can't be.
    async function offer(script, summary) {
        const info = await server;
        if (info === null)
            return;
        panel.hidden = false;
        const bytes = new TextEncoder().encode(script).length;
        let why = null;
        if (summary.best === null)
            why = 'No run of this session finished (a game over or the staff roll), so there is no score to submit.';
        else if (summary.recorded_ticks > info.max_ticks || summary.recording_stopped)
            why = `This session is longer than the ${Math.round(info.max_ticks / 3600)} minutes a submission may have.`;
        else if (bytes > info.max_script_bytes)
            why = `This session's replay is larger than the ${info.max_script_bytes / 1024} KiB a submission may have.`;
        nameField.hidden = button.hidden = why !== null;
        if (why !== null) {
            say(why);
            return;
        }
        say('');
        nameField.maxLength = info.max_name_characters;
        nameField.value = storedName();
        button.textContent = `Submit score (${summary.best.score}, ${summary.best.mode})`;
        button.onclick = () => submit(script, summary);
    }

    window.vorpalineScores = Object.freeze({ offer, scriptOfRun });
})();

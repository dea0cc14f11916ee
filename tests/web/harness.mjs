// harness.mjs: what the browser tests and the browser figures share: Debian's chromium as this machine
// runs it, the cases' ok/FAIL lines, and the CPU time of a process's descendants.
import fs from 'node:fs';
import { chromium } from 'playwright-core';

// Headless, and without the background connections that a closed network refuses.
export function launchChromium(args = []) {
    return chromium.launch({
        executablePath: '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
            '--disable-component-update', '--disable-sync', ...args],
    });
}

// check(name, body) prints "ok" or "FAIL" with what body returned or threw; expect throws its message.
export function cases() {
    const tally = { passed: 0, failed: 0 };
    async function check(name, body) {
        try {
            const detail = await body();
            tally.passed += 1;
            console.log(`ok   ${name}${detail ? ` (${detail})` : ''}`);
        } catch (error) {
            tally.failed += 1;
            console.log(`FAIL ${name}: ${error.message}`);
        }
    }
    function expect(condition, message) {
        if (!condition) throw new Error(message);
    }
    return { check, expect, tally };
}

// utime + stime of all the descendants of a process, in clock ticks (100 a second here).
export function descendantsCpuTicks(pid) {
    const children = new Map();
    for (const entry of fs.readdirSync('/proc')) {
        if (!/^\d+$/.test(entry)) continue;
        try {
            const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
            const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
            const parent = Number(fields[1]);
            if (!children.has(parent)) children.set(parent, []);
            children.get(parent).push({ pid: Number(entry), ticks: Number(fields[11]) + Number(fields[12]) });
        } catch { /* the process ended meanwhile */ }
    }
    let sum = 0;
    const queue = [pid];
    while (queue.length) {
        for (const child of children.get(queue.shift()) || []) {
            sum += child.ticks;
            queue.push(child.pid);
        }
    }
    return sum;
}

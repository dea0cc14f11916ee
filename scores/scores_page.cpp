// scores_page.cpp: the HTML of the score tables.
#include "scores_page.h"

#include <cstdio>

#include "runtime/frame_clock.h"

std::string html_escape(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {

// A run's length as the player saw it: minutes, seconds and hundredths at 60 ticks a second.
std::string run_time(uint32_t ticks)
{
    uint32_t hundredths = static_cast<uint32_t>(uint64_t{ticks} * 100 / frame_rate);
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%02u", hundredths / 6000, hundredths / 100 % 60, hundredths % 100);
    return text;
}

void table(std::string &page, const char *title, const std::vector<StoredRun> &runs, bool serves_site)
{
    page += "<h2>";
    page += title;
    page += "</h2>\n";
    if (runs.empty()) {
        page += "<p>No runs yet.</p>\n";
        return;
    }
    page += "<table>\n<tr><th>rank</th><th>name</th><th>score</th><th>cleared</th><th>date</th>"
            "<th>ticks</th><th></th></tr>\n";
    for (const StoredRun &run : runs) {
        std::string id = std::to_string(run.id);
        std::string link = serves_site ? "/?run=" + id : "/api/runs/" + id + "/script";
        page += "<tr><td>" + std::to_string(run.rank) + "</td><td><a href=\"" + link + "\">" + html_escape(run.name) +
                "</a></td><td>" + std::to_string(run.score) + "</td><td>" + (run.cleared ? "yes" : "no") +
                "</td><td>" + html_escape(run.date) + "</td><td>" + std::to_string(run.ticks) + " (" +
                run_time(run.ticks) + ")</td><td><a href=\"" + link + "\">" + (serves_site ? "watch" : "script") +
                "</a></td></tr>\n";
    }
    page += "</table>\n";
}

} // namespace

std::string scores_page(const std::vector<StoredRun> &normal, const std::vector<StoredRun> &hard, bool serves_site)
{
    std::string page = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>vorpaline: scores</title>
<style>
body { font-family: sans-serif; background: #111; color: #ddd; margin: 2em; }
a { color: #8cf; }
table { border-collapse: collapse; margin-bottom: 2em; }
th, td { padding: 0.2em 0.8em; text-align: right; }
td:nth-child(2), th:nth-child(2) { text-align: left; }
tr:nth-child(even) { background: #1c1c1c; }
</style>
</head>
<body>
<h1>vorpaline: scores</h1>
<p>Every run here was played again by the server from its inputs before it was ranked: its score is
what those inputs give. Whether a person played them in real time is more than a replay can prove.</p>
)";
    if (serves_site)
        page += "<p><a href=\"/\">Play</a></p>\n";
    table(page, "Normal", normal, serves_site);
    table(page, "Hard", hard, serves_site);
    page += "</body>\n</html>\n";
    return page;
}

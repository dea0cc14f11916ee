// routes.h: the score server's HTTP interface.
//
//   POST /api/runs?name=NAME[&claimed=SCORE]   the script as a text/plain body: played again, ranked
//   GET  /api/scores?mode=normal|hard&limit=N  the best runs of a mode, best first
//   GET  /api/runs/ID                          one run
//   GET  /api/runs/ID/script                   its script, as it was sent
//   GET  /api/server                           what this server is and the limits of a submission
//   GET  /scores                               the tables as an HTML page
//   GET  /...                                  the browser version's site, when there is one
//
// Every refusal is a 4xx (503 while the database is unavailable) with {"error":"one line"}, and
// stores nothing.
#pragma once

#include <httplib.h>

#include "rate_limit.h"
#include "storage.h"

void install_routes(httplib::Server &server, Storage &storage, RateLimiter &limiter, bool serves_site);

// scores_page.h: GET /scores, the tables of both modes as one HTML page.
#pragma once

#include <string>
#include <vector>

#include "storage.h"

// Runs shown per mode.
constexpr int scores_page_rows = 50;

// Each row opens the run: watched in the browser version (/?run=ID) when the server also serves the
// site, otherwise its script. Everything from the database is escaped.
std::string scores_page(const std::vector<StoredRun> &normal, const std::vector<StoredRun> &hard, bool serves_site);

// Text made safe inside HTML elements and quoted attributes.
std::string html_escape(const std::string &text);

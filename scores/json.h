// json.h: the JSON the server answers with. Keys in the order the API documents them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "storage.h"

// A JSON string: quotes, backslashes and control characters escaped, and < > & too, so that no
// answer can be read as markup.
std::string json_string(std::string_view text);

// {"error":"..."}: every refusal.
std::string error_json(std::string_view message);

// {"id","name","score","mode","cleared","ticks","rank"}: the answer to a submission.
std::string submission_json(const StoredRun &run);

// {"rank","id","name","score","mode","cleared","ticks","date"}: /api/runs/ID, and each row of
// /api/scores (an array of them).
std::string run_json(const StoredRun &run);
std::string runs_json(const std::vector<StoredRun> &runs);

inline const char *mode_name(bool hard) { return hard ? "hard" : "normal"; }

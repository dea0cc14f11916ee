// routes.cpp: the handlers, and the checks a submission passes before its body is read.
#include "routes.h"

#include <openssl/evp.h>

#include <charconv>
#include <cstdio>

#include "json.h"
#include "names.h"
#include "runtime/startup.h"
#include "scores_page.h"
#include "verify.h"

namespace {

using httplib::Request;
using httplib::Response;

// Rows of /api/scores: the default and the most.
constexpr int default_scores_limit = 50;
constexpr int max_scores_limit = 100;

void answer_error(Response &res, int status, std::string_view message)
{
    res.status = status;
    res.set_content(error_json(message), "application/json");
}

void answer_json(Response &res, int status, const std::string &body)
{
    res.status = status;
    res.set_content(body, "application/json");
}

// The database's own message goes to the log; the client learns only that it is unavailable.
void answer_storage_error(Response &res, const StorageError &error)
{
    std::fprintf(stderr, "vorpaline-scores: %s\n", error.what());
    answer_error(res, 503, "the database is unavailable");
}

std::string lower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string trim(const std::string &text)
{
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// "text/plain", with or without "; charset=UTF-8" (names and the charset's value in any case).
bool is_script_type(const std::string &content_type)
{
    std::string type = lower(content_type);
    size_t semicolon = type.find(';');
    if (trim(type.substr(0, semicolon)) != "text/plain")
        return false;
    if (semicolon == std::string::npos)
        return true;
    std::string parameter = trim(type.substr(semicolon + 1));
    size_t equals = parameter.find('=');
    if (equals == std::string::npos || trim(parameter.substr(0, equals)) != "charset")
        return false;
    std::string charset = trim(parameter.substr(equals + 1));
    return charset == "utf-8" || charset == "\"utf-8\"";
}

// A decimal number of at most 'digits' digits and no sign, blank or other character.
template <typename Number> bool parse_number(const std::string &text, Number &value, size_t digits)
{
    if (text.empty() || text.size() > digits)
        return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && text[0] != '-' && text[0] != '+';
}

// The checks of a submission that need only its head: made before a byte of the body is read, so that
// a refused body is never read at all. True when the request was refused (res holds the answer).
bool refuse_submission_head(const Request &req, Response &res)
{
    if (req.path != "/api/runs") {
        answer_error(res, 404, "no such place to post to");
        return true;
    }
    if (req.has_header("Transfer-Encoding")) {
        answer_error(res, 411, "send the script with a Content-Length, not chunked");
        return true;
    }
    if (req.get_header_value_count("Content-Length") != 1) {
        answer_error(res, req.has_header("Content-Length") ? 400 : 411, "send one Content-Length");
        return true;
    }
    size_t length = 0;
    if (!parse_number(req.get_header_value("Content-Length"), length, 20)) {
        answer_error(res, 400, "bad Content-Length");
        return true;
    }
    if (length > max_script_bytes) {
        answer_error(res, 413, "the script is larger than " + std::to_string(max_script_bytes) + " bytes");
        return true;
    }
    if (req.has_header("Content-Encoding")) {
        answer_error(res, 415, "send the script without a Content-Encoding");
        return true;
    }
    if (!is_script_type(req.get_header_value("Content-Type"))) {
        answer_error(res, 415, "send the script as text/plain (UTF-8)");
        return true;
    }
    if (length == 0) {
        answer_error(res, 400, "the body is empty: send the script");
        return true;
    }
    std::string name, error;
    if (req.get_param_value_count("name") != 1) {
        answer_error(res, 400, req.has_param("name") ? "give one name" : "give a name: ?name=NAME");
        return true;
    }
    if (!check_name(req.get_param_value("name"), name, error)) {
        answer_error(res, 400, error);
        return true;
    }
    uint16_t claimed;
    if (req.has_param("claimed") &&
        (req.get_param_value_count("claimed") != 1 || !parse_number(req.get_param_value("claimed"), claimed, 5))) {
        answer_error(res, 400, "claimed must be one score from 0 to 65535");
        return true;
    }
    return false;
}

int status_of(VerifyFault fault)
{
    switch (fault) {
    case VerifyFault::too_large:
        return 413;
    case VerifyFault::not_text:
    case VerifyFault::malformed_line:
        return 400;
    default:
        return 422;
    }
}

// The key of a script's row: SHA-256 of its ticks in canonical form, so that the same inputs with
// other comments are the same run.
std::string script_hash(const std::string &inputs)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(inputs.data(), inputs.size(), digest, &size, EVP_sha256(), nullptr);
    static constexpr char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < size; i++) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 15];
    }
    return text;
}

void post_run(Storage &storage, const Request &req, Response &res)
{
    // Checked before the body was read too; again here, so that no way past the first check (a client
    // that asked to be told to go on) reaches the verification unchecked.
    if (refuse_submission_head(req, res))
        return;
    std::string name, error;
    check_name(req.get_param_value("name"), name, error);
    Verification verification = verify_script(req.body);
    if (verification.fault != VerifyFault::none) {
        answer_error(res, status_of(verification.fault), verification.message);
        return;
    }
    const VerifiedRun &run = verification.run;
    uint16_t claimed;
    if (req.has_param("claimed") && parse_number(req.get_param_value("claimed"), claimed, 5) && claimed != run.score) {
        answer_error(res, 422, "the replay scores " + std::to_string(run.score) + ", not the claimed " +
                                   std::to_string(claimed));
        return;
    }
    try {
        bool created = false;
        StoredRun stored = storage.add_run({script_hash(verification.inputs), name, run, req.body}, created);
        res.set_header("Location", "/api/runs/" + std::to_string(stored.id));
        answer_json(res, created ? 201 : 200, submission_json(stored));
    } catch (const StorageError &e) {
        answer_storage_error(res, e);
    }
}

void get_scores(Storage &storage, const Request &req, Response &res)
{
    std::string mode = req.has_param("mode") ? req.get_param_value("mode") : "normal";
    if (mode != "normal" && mode != "hard") {
        answer_error(res, 400, "mode must be normal or hard");
        return;
    }
    int limit = default_scores_limit;
    if (req.has_param("limit") &&
        (!parse_number(req.get_param_value("limit"), limit, 3) || limit < 1 || limit > max_scores_limit)) {
        answer_error(res, 400, "limit must be a number from 1 to " + std::to_string(max_scores_limit));
        return;
    }
    try {
        answer_json(res, 200, runs_json(storage.top_runs(mode == "hard", limit)));
    } catch (const StorageError &e) {
        answer_storage_error(res, e);
    }
}

// The id in the path: the routes' patterns take at most 18 digits, so it fits.
int64_t path_id(const Request &req) { return std::stoll(req.matches[1].str()); }

void get_run(Storage &storage, const Request &req, Response &res)
{
    try {
        if (std::optional<StoredRun> run = storage.find_run(path_id(req)))
            answer_json(res, 200, run_json(*run));
        else
            answer_error(res, 404, "no such run");
    } catch (const StorageError &e) {
        answer_storage_error(res, e);
    }
}

void get_script(Storage &storage, const Request &req, Response &res)
{
    try {
        if (std::optional<std::string> script = storage.find_script(path_id(req)))
            res.set_content(*script, "text/plain; charset=utf-8");
        else
            answer_error(res, 404, "no such run");
    } catch (const StorageError &e) {
        answer_storage_error(res, e);
    }
}

void get_server(Response &res)
{
    answer_json(res, 200,
                "{\"name\":\"vorpaline-scores\",\"version\":" + json_string(runtime_version) +
                    ",\"max_script_bytes\":" + std::to_string(submission_limits.max_bytes) +
                    ",\"max_ticks\":" + std::to_string(submission_limits.max_ticks) +
                    ",\"max_name_characters\":" + std::to_string(max_name_characters) + "}");
}

void get_scores_page(Storage &storage, bool serves_site, Response &res)
{
    try {
        std::string page = scores_page(storage.top_runs(false, scores_page_rows), storage.top_runs(true, scores_page_rows),
                                       serves_site);
        res.set_header("Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'");
        res.set_content(page, "text/html; charset=utf-8");
    } catch (const StorageError &e) {
        answer_storage_error(res, e);
    }
}

const char *reason(int status)
{
    switch (status) {
    case 400:
        return "bad request";
    case 404:
        return "not found";
    case 405:
        return "method not allowed";
    case 413:
        return "request too large";
    case 414:
        return "request line too long";
    case 416:
        return "range not satisfiable";
    default:
        return status >= 500 ? "server error" : "refused";
    }
}

// One line per request on the standard error: address, method, path (cut, control bytes replaced)
// and status.
void log_request(const Request &req, const Response &res)
{
    std::string path = req.path.substr(0, 120);
    for (char &c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    std::fprintf(stderr, "%s %s %s %d\n", req.remote_addr.c_str(), req.method.c_str(), path.c_str(), res.status);
}

} // namespace

void install_routes(httplib::Server &server, Storage &storage, RateLimiter &limiter, bool serves_site)
{
    // Every POST counts toward its address's limit, refused ones too; reads never do. A POST is
    // checked here, before httplib reads its body; one that asks to be told to go on first
    // (Expect: 100-continue) is checked and counted there instead, and passes here uncounted.
    auto check_post = [&limiter](const Request &req, Response &res) {
        if (!limiter.allow(req.remote_addr)) {
            res.set_header("Retry-After", "60");
            answer_error(res, 429, "too many submissions from this address: try again in a minute");
            return true;
        }
        return refuse_submission_head(req, res);
    };
    server.set_expect_100_continue_handler([check_post](const Request &req, Response &res) {
        return req.method == "POST" && check_post(req, res) ? res.status : 100;
    });
    server.set_pre_routing_handler([check_post](const Request &req, Response &res) {
        bool checked_at_continue = req.get_header_value("Expect") == "100-continue";
        if (req.method != "POST" || checked_at_continue)
            return httplib::Server::HandlerResponse::Unhandled;
        return check_post(req, res) ? httplib::Server::HandlerResponse::Handled
                                    : httplib::Server::HandlerResponse::Unhandled;
    });

    server.Post("/api/runs", [&storage](const Request &req, Response &res) { post_run(storage, req, res); });
    server.Get("/api/scores", [&storage](const Request &req, Response &res) { get_scores(storage, req, res); });
    server.Get(R"(/api/runs/(\d{1,18}))", [&storage](const Request &req, Response &res) { get_run(storage, req, res); });
    server.Get(R"(/api/runs/(\d{1,18})/script)",
               [&storage](const Request &req, Response &res) { get_script(storage, req, res); });
    server.Get("/api/server", [](const Request &, Response &res) { get_server(res); });
    server.Get("/scores", [&storage, serves_site](const Request &, Response &res) {
        get_scores_page(storage, serves_site, res);
    });

    server.set_error_handler([](const Request &, Response &res) {
        if (res.body.empty())
            answer_error(res, res.status, reason(res.status));
    });
    server.set_exception_handler([](const Request &, Response &res, std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "vorpaline-scores: %s\n", e.what());
        } catch (...) {
            std::fprintf(stderr, "vorpaline-scores: unknown exception\n");
        }
        answer_error(res, 500, "server error");
    });
    server.set_logger(log_request);
    server.set_default_headers({{"X-Content-Type-Options", "nosniff"}});
    server.set_file_extension_and_mimetype_mapping("wasm", "application/wasm");
    server.set_file_extension_and_mimetype_mapping("data", "application/octet-stream");
    server.set_payload_max_length(max_script_bytes);
}

// main.cpp: vorpaline-scores, a score table where every run is played again before it is ranked.
// Parses the options, opens the database, and serves; the game's own code plays every submission as a
// run of its own, with no window and no data folder.
//
// Exit status: 0 after SIGINT or SIGTERM; 2 for a bad option, a database that can't be used, or an
// address that can't be listened on, each said in one line before listening.
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "bounded_server.h"
#include "rate_limit.h"
#include "routes.h"
#include "runtime/startup.h"
#include "storage.h"
#include "verify.h"

namespace {

// Database connections kept by one server process: requests wait for one when all are in use.
constexpr int database_connections = 8;

struct Options {
    std::string bind = "127.0.0.1";
    int port = 8080;
    std::string db = "sqlite:scores.db";
    std::string site;
    uint32_t limit_per_minute = 30;
};

void print_help()
{
    std::printf("usage: vorpaline-scores [OPTION]...\n"
                "A vorpaline score table: every submitted run is played again before it is ranked.\n"
                "\n"
                "  --bind ADDR             the address to listen on (default 127.0.0.1)\n"
                "  --port N                the port (default 8080; 0 picks a free one)\n"
                "  --db URL                sqlite:PATH (default sqlite:scores.db) or a postgresql:// URI\n"
                "  --site DIR              also serve the browser version's site from DIR at /\n"
                "  --limit-per-minute N    submissions per client address and minute (default 30; 0: no limit)\n"
                "  --help, --version\n"
                "\n"
                "Once listening it prints \"vorpaline-scores: listening on http://ADDR:PORT\".\n");
}

bool parse_unsigned(const char *text, unsigned long most, unsigned long &value)
{
    char *end = nullptr;
    errno = 0;
    value = std::strtoul(text, &end, 10);
    return text[0] >= '0' && text[0] <= '9' && *end == '\0' && errno == 0 && value <= most;
}

// 0 to go on, or the exit status.
int parse_options(int argc, char *argv[], Options &options)
{
    for (int i = 1; i < argc; i++) {
        std::string option = argv[i];
        if (option == "--help") {
            print_help();
            return -1;
        }
        if (option == "--version") {
            std::printf("vorpaline-scores %s\n", runtime_version);
            return -1;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "vorpaline-scores: %s: unknown option or missing value (see --help)\n", argv[i]);
            return 2;
        }
        const char *value = argv[++i];
        unsigned long number = 0;
        if (option == "--bind") {
            options.bind = value;
        } else if (option == "--port") {
            if (!parse_unsigned(value, 65535, number)) {
                std::fprintf(stderr, "vorpaline-scores: --port needs a number from 0 to 65535\n");
                return 2;
            }
            options.port = static_cast<int>(number);
        } else if (option == "--db") {
            options.db = value;
        } else if (option == "--site") {
            options.site = value;
        } else if (option == "--limit-per-minute") {
            if (!parse_unsigned(value, 1000000, number)) {
                std::fprintf(stderr, "vorpaline-scores: --limit-per-minute needs a number from 0 to 1000000\n");
                return 2;
            }
            options.limit_per_minute = static_cast<uint32_t>(number);
        } else {
            std::fprintf(stderr, "vorpaline-scores: %s: unknown option (see --help)\n", argv[i - 1]);
            return 2;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    Options options;
    if (int status = parse_options(argc, argv, options); status != 0)
        return status < 0 ? 0 : status;

    // SIGINT and SIGTERM are taken by one thread that stops the server; blocked here, before any other
    // thread starts, so that every thread inherits the mask.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<Storage> storage;
    try {
        storage = open_storage(options.db, database_connections);
    } catch (const StorageError &e) {
        std::fprintf(stderr, "vorpaline-scores: %s\n", e.what());
        return 2;
    }
    BoundedServer server;
    RateLimiter limiter(options.limit_per_minute);
    install_routes(server, *storage, limiter, !options.site.empty());
    if (!options.site.empty() && !server.set_mount_point("/", options.site)) {
        std::fprintf(stderr, "vorpaline-scores: --site %s is not a folder\n", options.site.c_str());
        return 2;
    }
    int port = options.port;
    if (port == 0)
        port = server.bind_to_any_port(options.bind);
    else if (!server.bind_to_port(options.bind, port))
        port = -1;
    if (port < 0) {
        std::fprintf(stderr, "vorpaline-scores: can't listen on %s port %d: %s\n", options.bind.c_str(),
                     options.port, std::strerror(errno));
        return 2;
    }
    server.widen_backlog();
    bool ipv6 = options.bind.find(':') != std::string::npos;
    std::printf("vorpaline-scores: listening on http://%s%s%s:%d\n", ipv6 ? "[" : "", options.bind.c_str(),
                ipv6 ? "]" : "", port);
    std::fflush(stdout);

    // httplib's stop does nothing before the listening loop has begun: a signal that comes that early
    // waits for it.
    std::atomic<bool> listening_over = false;
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stop_signals, &signal);
        while (!server.is_running() && !listening_over)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        server.stop();
    });
    server.listen_after_bind();
    listening_over = true;
    // Stopped by a signal, or the listening socket failed: either way the stopper is released.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return 0;
}

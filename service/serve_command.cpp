// SPDX-License-Identifier: MIT
#include "service/serve_command.h"

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>

namespace barquill::service {

namespace {

constexpr const char* usage =
    "Usage: barquill serve [--listen ADDR:PORT] [--threads N] [--max-body BYTES]\n"
    "                      [--max-queue N] [--max-client-connections N]\n"
    "                      [--max-pixels N] [--response-memory BYTES]\n"
    "                      [--request-timeout SECONDS] [--no-verify]\n"
    "\n"
    "Serves PDF417 symbols over HTTP: GET or POST /v1/pdf417, a page at /, /healthz\n"
    "and /metrics. It writes no files. SIGTERM or SIGINT: the requests received are\n"
    "answered, then it exits with status 0.\n"
    "\n"
    "  --listen ADDR:PORT         Numeric address and port (127.0.0.1:8417; [::1]:8417;\n"
    "                             port 0 takes a free one, printed on start)\n"
    "  --threads N                Worker threads, 1 to 256 (one per core)\n"
    "  --max-body BYTES           Largest request body, 1 to 16777216 (65536)\n"
    "  --max-queue N              Connections beyond the threads before requests are\n"
    "                             refused with 503, 1 to 100000 (256)\n"
    "  --max-client-connections N Connections one client address may hold; more are\n"
    "                             closed at once, 1 to 100000 (32)\n"
    "  --max-pixels N             Pixels of one picture, quiet zone included; more is\n"
    "                             refused with 422, 1 to 999999999 (16777216)\n"
    "  --response-memory BYTES    Bytes of symbols held until clients read them; past\n"
    "                             it 503, 1 to 999999999 (67108864)\n"
    "  --request-timeout SECONDS  Time for each request, 1 to 3600 (10)\n"
    "  --no-verify                Read symbols back only when a request asks\n"
    "                             (verify=true); without it the service reads every\n"
    "                             symbol back and does not start if it cannot\n";

// Exit status of a bad command line, as the rest of the tool has it.
constexpr int usageStatus = 1;

ServeUsage usageError(const std::string& message) {
    return {usageStatus, "barquill serve: " + message + "\nTry 'barquill serve --help'.\n"};
}

std::optional<unsigned long> wholeNumber(const std::string& text, unsigned long minimum,
                                         unsigned long maximum) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const unsigned long value = std::stoul(text);
    if (value < minimum || value > maximum) return std::nullopt;
    return value;
}

// "127.0.0.1:8417" or "[::1]:8417".
bool parseListen(const std::string& text, ServerConfig& config) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    std::string host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const auto port = wholeNumber(text.substr(colon + 1), 0, 65535);
    if (host.empty() || !port) return false;
    config.address = host;
    config.port = static_cast<std::uint16_t>(*port);
    return true;
}

}  // namespace

std::variant<ServerConfig, ServeUsage> parseServeArguments(const std::vector<std::string>& args) {
    ServerConfig config;
    struct NumberOption {
        const char* name;
        unsigned long minimum, maximum;
        std::function<void(unsigned long)> set;
    };
    const NumberOption numbers[] = {
        {"--threads", 1, 256, [&](unsigned long n) { config.threads = static_cast<unsigned>(n); }},
        {"--max-body", 1, 16777216, [&](unsigned long n) { config.maxBody = n; }},
        {"--max-queue", 1, 100000,
         [&](unsigned long n) { config.maxQueue = static_cast<unsigned>(n); }},
        {"--max-client-connections", 1, 100000,
         [&](unsigned long n) { config.maxClientConnections = static_cast<unsigned>(n); }},
        {"--max-pixels", 1, 999999999,
         [&](unsigned long n) { config.maxPixels = static_cast<long>(n); }},
        {"--response-memory", 1, 999999999, [&](unsigned long n) { config.responseMemory = n; }},
        {"--request-timeout", 1, 3600,
         [&](unsigned long n) { config.requestTimeout = std::chrono::seconds(n); }},
    };
    for (std::size_t i = 2; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (name == "-h" || name == "--help") return ServeUsage{0, usage};
        if (name == "--no-verify") {
            if (value) return usageError("--no-verify takes no value");
            config.verify = false;
            continue;
        }
        if (!value) {
            if (i + 1 >= args.size()) return usageError(name + " needs a value");
            value = args[++i];
        }
        if (name == "--listen") {
            if (!parseListen(*value, config))
                return usageError("--listen takes ADDR:PORT such as 127.0.0.1:8417, not \"" +
                                  *value + "\"");
            continue;
        }
        bool known = false;
        for (const NumberOption& option : numbers) {
            if (name != option.name) continue;
            known = true;
            const auto number = wholeNumber(*value, option.minimum, option.maximum);
            if (!number)
                return usageError(name + " must be a whole number from " +
                                  std::to_string(option.minimum) + " to " +
                                  std::to_string(option.maximum) + ", not \"" + *value + "\"");
            option.set(*number);
        }
        if (!known) return usageError("unknown option " + name);
    }
    return config;
}

int runServe(const std::vector<std::string>& args) {
    auto parsed = parseServeArguments(args);
    if (auto* usageText = std::get_if<ServeUsage>(&parsed)) {
        std::fputs(usageText->text.c_str(), usageText->exitStatus == 0 ? stdout : stderr);
        return usageText->exitStatus;
    }
    // Every thread started from here on leaves these signals to sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const ServerConfig& config = std::get<ServerConfig>(parsed);
    auto started = Server::start(config);
    if (auto* error = std::get_if<std::string>(&started)) {
        std::fprintf(stderr, "barquill serve: %s\n", error->c_str());
        return 1;
    }
    auto& server = std::get<std::unique_ptr<Server>>(started);
    for (const std::string& notice : server->notices())
        std::fprintf(stderr, "barquill serve: warning: %s\n", notice.c_str());
    const bool six = config.address.find(':') != std::string::npos;
    std::printf("barquill: serving on http://%s%s%s:%u/\n", six ? "[" : "", config.address.c_str(),
                six ? "]" : "", static_cast<unsigned>(server->port()));
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server->drain();
    return 0;
}

}  // namespace barquill::service

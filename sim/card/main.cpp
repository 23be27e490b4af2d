// qsmsim: the simulated QSM card. Connects to a virtual reader and answers its commands.
#include "sim/card/QsmCard.h"
#include "sim/card/VpcdLink.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace qsmsim;

namespace {

const char kUsage[] =
    "usage: qsmsim [options]\n"
    "  --host NAME          reader host (127.0.0.1)\n"
    "  --port N             reader port (35963)\n"
    "  --state FILE         card state file (qsmsim.state)\n"
    "  --log FILE           command log, appended (none)\n"
    "  --version ROW        card/OS version: %s (2.2/4.3)\n"
    "  --version-answer HEX answer to GET DATA 01 88 instead of the row's\n"
    "  --pin DIGITS         transport PIN, six digits (123456)\n"
    "  --tpid TEXT          tpId, 1 to 32 characters (ATU12345678-QSM)\n"
    "  --tpidno N           tpIdNo (4711)\n"
    "  --fresh transport|active  life cycle of a new card (transport)\n"
    "  --debug-hash         append the 9A field to transaction responses\n"
    "  --fault FAULT         PREFIX=sw:XXXX | PREFIX=cut:N | PREFIX=mute | PREFIX=close [,once] [,after:N]\n"
    "  --once               end when the reader closes the connection\n"
    "  --config FILE        more options, one \"name = value\" a line (# comments)\n";

struct Options {
    std::string host = "127.0.0.1";
    int port = 35963;
    std::string log;
    bool once = false;
    CardConfig card;
    std::vector<Fault> faults;
    CardVersion custom{};
    std::string customAnswer;
};

bool Apply(Options& o, const std::string& name, const std::string& value, bool& usedValue);

bool ReadConfig(Options& o, const std::string& path)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "qsmsim: cannot read %s\n", path.c_str());
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        const auto eq = line.find('=');
        auto trim = [](std::string s) {
            const auto a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
            return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
        };
        const std::string name = trim(line.substr(0, eq)),
                          value = eq == std::string::npos ? "" : trim(line.substr(eq + 1));
        bool used = false;
        if (!Apply(o, name, value, used)) return false;
    }
    return true;
}

bool Apply(Options& o, const std::string& name, const std::string& value, bool& usedValue)
{
    usedValue = true;
    try {
        if (name == "host") o.host = value;
        else if (name == "port") o.port = std::stoi(value);
        else if (name == "state") o.card.statePath = value;
        else if (name == "log") o.log = value;
        else if (name == "pin") o.card.transportPin = value;
        else if (name == "tpid") o.card.tpId = value;
        else if (name == "tpidno") o.card.tpIdNo = static_cast<std::uint32_t>(std::stoul(value));
        else if (name == "version") {
            if (!(o.card.version = FindCardVersion(value))) {
                std::fprintf(stderr, "qsmsim: unknown version %s (known: %s)\n", value.c_str(),
                             CardVersionNames().c_str());
                return false;
            }
        } else if (name == "version-answer") {
            o.customAnswer = value;
            o.custom = *o.card.version;
            o.custom.answer = o.customAnswer.c_str();
            o.card.version = &o.custom;
        } else if (name == "fresh") {
            if (value != "transport" && value != "active") return false;
            o.card.freshLifeCycle = value == "active" ? kActive : kTransport;
        } else if (name == "fault") {
            Fault f;
            if (!ParseFault(value, f)) {
                std::fprintf(stderr, "qsmsim: bad fault %s\n", value.c_str());
                return false;
            }
            o.faults.push_back(f);
        } else if (name == "config") {
            return ReadConfig(o, value);
        } else {
            usedValue = false;
            if (name == "debug-hash") o.card.debugHash = true;
            else if (name == "once") o.once = true;
            else {
                std::fprintf(stderr, "qsmsim: unknown option %s\n", name.c_str());
                return false;
            }
        }
    } catch (const std::exception&) {
        std::fprintf(stderr, "qsmsim: bad value for %s: %s\n", name.c_str(), value.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf(kUsage, CardVersionNames().c_str());
            return 0;
        }
        if (arg.rfind("--", 0) != 0) {
            std::fprintf(stderr, kUsage, CardVersionNames().c_str());
            return 2;
        }
        const std::string name = arg.substr(2);
        const std::string value = i + 1 < argc ? argv[i + 1] : "";
        bool used = false;
        if (!Apply(o, name, value, used)) return 2;
        if (used) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "qsmsim: --%s needs a value\n", name.c_str());
                return 2;
            }
            ++i;
        }
    }
    const std::string problem = ConfigProblem(o.card);
    if (!problem.empty()) {
        std::fprintf(stderr, "qsmsim: %s\n", problem.c_str());
        return 2;
    }
    // Custom answers need a stable pointer after all options were read.
    if (!o.customAnswer.empty()) {
        o.custom.answer = o.customAnswer.c_str();
        o.card.version = &o.custom;
    }

    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    QsmCard card(o.card);
    CommandLog log(o.log);
    log.Note("qsmsim started, version " + std::string(o.card.version->name) + ", state " + o.card.statePath);
    for (;;) {
        if (ServeSession(o.host, o.port, card, o.faults, log)) {
            if (o.once) break;
        }
        Sleep(250);
    }
    WSACleanup();
    return 0;
}

#include "sim/card/CardState.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace qsmsim {

Totals::Totals()
{
    for (int& r : rate)
        r = -1;
}

void Totals::Add(const Totals& o)
{
    for (int i = 1; i <= 8; ++i) {
        turnover[i] += o.turnover[i];
        turnoverNeg[i] += o.turnoverNeg[i];
        count[i] += o.count[i];
        rateChanged[i] = rateChanged[i] || o.rateChanged[i] || (rate[i] >= 0 && o.rate[i] >= 0 && rate[i] != o.rate[i]);
        if (o.rate[i] >= 0) rate[i] = o.rate[i];
    }
    training += o.training;
    trainingCount += o.trainingCount;
    if (o.firstSeq && (!firstSeq || o.firstSeq < firstSeq)) firstSeq = o.firstSeq;
    if (o.lastSeq > lastSeq) lastSeq = o.lastSeq;
}

std::string Totals::Serialize() const
{
    std::ostringstream s;
    for (int i = 1; i <= 8; ++i)
        s << turnover[i] << ' ' << turnoverNeg[i] << ' ' << rate[i] << ' ' << rateChanged[i] << ' ' << count[i] << ' ';
    s << training << ' ' << trainingCount << ' ' << firstSeq << ' ' << lastSeq;
    return s.str();
}

Totals Totals::Parse(const std::string& text)
{
    Totals t;
    std::istringstream s(text);
    for (int i = 1; i <= 8; ++i)
        s >> t.turnover[i] >> t.turnoverNeg[i] >> t.rate[i] >> t.rateChanged[i] >> t.count[i];
    s >> t.training >> t.trainingCount >> t.firstSeq >> t.lastSeq;
    return s.fail() ? Totals() : t;
}

bool CardState::Load(const std::string& path)
{
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto eq = line.find('=');
        if (eq == std::string::npos || line[0] == '#') continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        auto number = [&] { return static_cast<std::uint32_t>(std::stoul(value.empty() ? "0" : value)); };
        try {
            if (key == "lifecycle") lifeCycle = static_cast<std::uint8_t>(number());
            else if (key == "transactionseq") transactionSeq = number();
            else if (key == "reportseq") reportSeq = number();
            else if (key == "key.d") keyD = FromHex(value);
            else if (key == "key.q") keyQ = FromHex(value);
            else if (key == "certificate") certificate = FromHex(value);
            else if (key == "startmonth") startMonth = number();
            else if (key == "lastclosing") lastClosing = number();
            else if (key == "day") day = Totals::Parse(value);
            else if (key.rfind("month.", 0) == 0)
                months[static_cast<std::uint32_t>(std::stoul(key.substr(6)))] = Totals::Parse(value);
            else if (key.rfind("file.", 0) == 0) files[key.substr(5)] = FromHex(value);
            else if (key.rfind("genkey.", 0) == 0) keys[key.substr(7)] = value;
        } catch (const std::exception&) {
            // a damaged line is skipped
        }
    }
    return true;
}

bool CardState::Save(const std::string& path) const
{
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        if (!out) return false;
        out << "# qsmsim card state\n"
            << "lifecycle=" << unsigned(lifeCycle) << "\ntransactionseq=" << transactionSeq
            << "\nreportseq=" << reportSeq << "\nkey.d=" << ToHex(keyD) << "\nkey.q=" << ToHex(keyQ)
            << "\ncertificate=" << ToHex(certificate) << "\nstartmonth=" << startMonth
            << "\nlastclosing=" << lastClosing << "\nday=" << day.Serialize() << '\n';
        for (const auto& [m, t] : months)
            out << "month." << m << '=' << t.Serialize() << '\n';
        for (const auto& [f, b] : files)
            out << "file." << f << '=' << ToHex(b) << '\n';
        for (const auto& [f, k] : keys)
            out << "genkey." << f << '=' << k << '\n';
        if (!out.flush()) return false;
    }
    std::remove(path.c_str());
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

} // namespace qsmsim

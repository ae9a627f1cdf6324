// Reading a replay's trace (replay/trace.h) back into fields, for the
// end-to-end tests of every desktop's replay program.
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace gimbalo {

using Fields = std::map<std::string, std::string>;

// "key=value key=value ..." of one trace line.
inline Fields LineFields(const std::string& line) {
    Fields fields;
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        const std::size_t equals = word.find('=');
        fields[word.substr(0, equals)] =
            equals == std::string::npos ? std::string() : word.substr(equals + 1);
    }
    return fields;
}

struct Trace {
    std::vector<Fields> ticks;       // in order; ticks[i]["tick"] is i
    std::vector<Fields> menus;       // the menu commands run, in order
    std::vector<std::string> order;  // "tick=N" and "menu=ITEM", as they came
    Fields end;                      // the closing line, empty when missing
};

inline Trace ReadTrace(const std::string& out) {
    Trace trace;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("end ", 0) == 0) trace.end = LineFields(line);
        if (line.rfind("tick=", 0) != 0) continue;
        Fields fields = LineFields(line);
        if (fields.count("menu") != 0) {
            trace.order.push_back("menu=" + fields["menu"]);
            trace.menus.push_back(std::move(fields));
        } else {
            trace.order.push_back("tick=" + fields["tick"]);
            trace.ticks.push_back(std::move(fields));
        }
    }
    return trace;
}

// Whether the standard output holds a whole line starting with `start`.
inline bool HasLine(const std::string& out, const std::string& start) {
    return out.find("\n" + start) != std::string::npos || out.rfind(start, 0) == 0;
}

inline int PointerX(const Fields& tick) {
    return std::stoi(tick.at("pointer"));
}
inline int PointerY(const Fields& tick) {
    const std::string& pointer = tick.at("pointer");
    return std::stoi(pointer.substr(pointer.find(',') + 1));
}

}  // namespace gimbalo

#include "replay/script.h"

#include <bit>
#include <limits>

namespace gimbalo {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A word ends at a blank, a comment, a quote, a colon or an equals sign.
bool EndsWord(char c) {
    return IsBlank(c) || c == '#' || c == '"' || c == ':' || c == '=';
}

// Walks one line of a script; everything from a '#' outside quotes on is a
// comment.
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    void SkipBlanks() {
        while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
    }
    bool AtEnd() {
        SkipBlanks();
        return pos_ >= line_.size() || line_[pos_] == '#';
    }
    char Peek() const { return pos_ < line_.size() ? line_[pos_] : '\0'; }
    bool Take(char c) {
        SkipBlanks();
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }
    // The next word after blanks; empty when none starts here.
    std::string_view Word() {
        SkipBlanks();
        const std::size_t start = pos_;
        while (pos_ < line_.size() && !EndsWord(line_[pos_])) ++pos_;
        return line_.substr(start, pos_ - start);
    }
    // The text between a pair of double quotes; nothing when the closing one
    // is missing. The reader stands on the opening quote.
    std::optional<std::string_view> Quoted() {
        const std::size_t close = line_.find('"', pos_ + 1);
        if (close == std::string_view::npos) return std::nullopt;
        std::string_view text = line_.substr(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        return text;
    }
    // What stands here up to the next blank or comment, to quote in a message.
    std::string_view Token() {
        SkipBlanks();
        std::size_t end = pos_;
        while (end < line_.size() && !IsBlank(line_[end]) && line_[end] != '#') ++end;
        if (end == pos_ && end < line_.size()) ++end;
        return line_.substr(pos_, end - pos_);
    }

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

std::string Quote(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string Hex(uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return "0x" + text;
}

// Decimal, or hexadecimal after 0x. A number too big for 64 bits comes back
// as the largest value, which no range admits.
std::optional<uint64_t> ParseNumber(std::string_view text) {
    uint64_t base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t value = 0;
    for (char c : text) {
        uint64_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint64_t>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<uint64_t>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<uint64_t>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value > (kMax - digit) / base ? kMax : value * base + digit;
    }
    return value;
}

// "a", "a or b", "a, b or c".
std::string Alternatives(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) text += i + 1 == words.size() ? " or " : ", ";
        text += words[i];
    }
    return text;
}

struct FieldRule {
    std::string_view name;
    uint64_t max;
};

constexpr FieldRule kJoystickFields[] = {{"buttons", kScriptMaxButtons}};
constexpr FieldRule kReadingFields[] = {
    {"x", kScriptAxisMax}, {"y", kScriptAxisMax}, {"buttons", 0xFFFFFFFFu}};

template <std::size_t N>
std::vector<std::string> FieldWords(const FieldRule (&rules)[N]) {
    std::vector<std::string> words;
    for (const FieldRule& rule : rules) words.push_back(std::string(rule.name) + "=");
    return words;
}

// Reads NAME=VALUE fields to the end of the line into `values` (one per field).
template <std::size_t N>
bool ReadFields(LineReader& reader, const FieldRule (&rules)[N],
                std::optional<uint64_t> (&values)[N], std::string& error) {
    while (!reader.AtEnd()) {
        std::string_view name = reader.Word();
        if (name.empty() || !reader.Take('=')) {
            error = "expected " + Alternatives(FieldWords(rules)) + ", found " +
                    Quote(name.empty() ? reader.Token() : name);
            return false;
        }
        std::size_t index = 0;
        while (index < N && rules[index].name != name) ++index;
        if (index == N) {
            error = "unknown field " + Quote(name);
            return false;
        }
        if (values[index]) {
            error = std::string(name) + " given twice";
            return false;
        }
        std::string_view text = reader.Word();
        if (text.empty()) {
            error = "expected a number after " + Quote(std::string(name) + "=");
            return false;
        }
        std::optional<uint64_t> value = ParseNumber(text);
        if (!value) {
            error = "bad number " + Quote(text) + " for " + std::string(name);
            return false;
        }
        if (*value > rules[index].max) {
            error = std::string(name) + "=" + std::string(text) + " is out of range (0 to " +
                    std::to_string(rules[index].max) + ")";
            return false;
        }
        values[index] = value;
    }
    return true;
}

// Reads the words after an "at" command, if it takes any, into the step.
using ArgumentReader = bool (*)(LineReader& reader, ScriptStep& step, std::string& error);

// The commands an "at" line can give instead of readings. A command that
// takes words after it (a menu item's name, say) names its ArgumentReader.
struct AtCommand {
    std::string_view word;
    StepKind kind;
    ArgumentReader readArgument = nullptr;
};

std::string MenuItemWords() {
    std::vector<std::string> words;
    for (std::string_view item : kScriptMenuItems) words.emplace_back(item);
    return Alternatives(words);
}

bool ReadMenuItem(LineReader& reader, ScriptStep& step, std::string& error) {
    if (reader.AtEnd()) {
        error = "expected a menu command after menu: " + MenuItemWords();
        return false;
    }
    std::string_view name = reader.Word();
    if (name.empty()) name = reader.Token();
    for (std::string_view item : kScriptMenuItems) {
        if (item != name) continue;
        step.menuItem = std::string(item);
        return true;
    }
    error = "unknown menu item " + Quote(name) + " (the commands are " + MenuItemWords() + ")";
    return false;
}

bool ReadDialogAnswer(LineReader& reader, ScriptStep& step, std::string& error) {
    const std::string expected = "expected a quoted path or cancel after dialog";
    if (reader.AtEnd()) {
        error = expected;
        return false;
    }
    if (reader.Peek() != '"') {
        std::string_view word = reader.Word();
        if (word == "cancel") return true;
        error = expected + ", found " + Quote(word.empty() ? reader.Token() : word);
        return false;
    }
    std::optional<std::string_view> path = reader.Quoted();
    if (!path) {
        error = "missing closing quote";
        return false;
    }
    if (path->empty()) {
        error = "empty path (a dialog is cancelled with: dialog cancel)";
        return false;
    }
    step.dialogAnswer = std::string(*path);
    return true;
}

constexpr AtCommand kAtCommands[] = {
    {"unplug", StepKind::Unplug},
    {"quit", StepKind::Quit},
    {"menu", StepKind::Menu, ReadMenuItem},
    {"dialog", StepKind::Dialog, ReadDialogAnswer},
};

std::string AtLineWords() {
    std::vector<std::string> words = FieldWords(kReadingFields);
    for (const AtCommand& command : kAtCommands) words.emplace_back(command.word);
    return Alternatives(words);
}

class ScriptParser {
public:
    explicit ScriptParser(Script& script) : script_(script) {}

    void Line(std::string_view text, int number) {
        LineReader reader(text);
        if (reader.AtEnd()) return;
        std::string error;
        std::string_view word = reader.Word();
        if (word == "joystick") {
            JoystickLine(reader, number, error);
        } else if (word == "at") {
            if (firstAtLine_ == 0) firstAtLine_ = number;
            AtLine(reader, number, error);
        } else {
            error = "unknown command " + Quote(word.empty() ? reader.Token() : word) +
                    " (expected \"joystick\" or \"at\")";
        }
        if (!error.empty()) errors_.push_back({number, error});
    }

    std::vector<ScriptError> TakeErrors() { return std::move(errors_); }

private:
    void JoystickLine(LineReader& reader, int number, std::string& error) {
        // Said first, naming the line it follows: the mistake may as well be
        // that "at" line, placed too early.
        if (firstAtLine_ != 0) {
            error = "joystick lines must come before the first \"at\" line (line " +
                    std::to_string(firstAtLine_) + ")";
            return;
        }
        reader.SkipBlanks();
        if (reader.Peek() != '"') {
            error = "expected a quoted name after \"joystick\"";
            return;
        }
        std::optional<std::string_view> name = reader.Quoted();
        if (!name) {
            error = "missing closing quote";
            return;
        }
        std::optional<uint64_t> values[1];
        if (!ReadFields(reader, kJoystickFields, values, error)) return;
        if (!values[0]) {
            error = "expected buttons=N after the name";
            return;
        }
        if (script_.joysticks.size() == kScriptMaxJoysticks) {
            error = "too many joysticks (at most " + std::to_string(kScriptMaxJoysticks) + ")";
            return;
        }
        script_.joysticks.push_back({std::string(*name), static_cast<int>(*values[0]), number});
    }

    void AtLine(LineReader& reader, int number, std::string& error) {
        ScriptStep step;
        step.line = number;
        std::string_view tickText = reader.Word();
        if (tickText.empty()) {
            error = "expected a tick number after \"at\"";
            return;
        }
        std::optional<uint64_t> tick = ParseNumber(tickText);
        if (!tick) {
            error = "bad tick " + Quote(tickText);
            return;
        }
        if (*tick > kScriptMaxTick) {
            error = "tick " + std::string(tickText) + " is out of range (0 to " +
                    std::to_string(kScriptMaxTick) + ")";
            return;
        }
        step.tick = *tick;
        if (!reader.Take(':')) {
            error = "expected \":\" after the tick";
            return;
        }
        if (!StepAfterColon(reader, step, error)) return;
        if (!StepFitsScript(step, error)) return;

        if (EndsProgram(step)) {
            endLine_ = number;
            endWords_ = step.kind == StepKind::Quit ? "quit" : "menu " + step.menuItem;
        }
        if (step.kind == StepKind::Unplug) unplugLine_ = number;
        lastTick_ = step.tick;
        lastTickLine_ = number;
        script_.steps.push_back(step);
    }

    bool StepAfterColon(LineReader& reader, ScriptStep& step, std::string& error) {
        if (reader.AtEnd()) {
            error = "expected " + AtLineWords() + " after \":\"";
            return false;
        }
        LineReader ahead = reader;
        std::string_view word = ahead.Word();
        if (!ahead.Take('=')) {
            for (const AtCommand& command : kAtCommands) {
                if (command.word != word) continue;
                reader = ahead;
                step.kind = command.kind;
                if (command.readArgument && !command.readArgument(reader, step, error))
                    return false;
                if (!reader.AtEnd()) {
                    error = "unexpected " + Quote(reader.Token()) + " after " + std::string(word);
                    return false;
                }
                return true;
            }
            error = "expected " + AtLineWords() + ", found " +
                    Quote(word.empty() ? reader.Token() : word);
            return false;
        }
        std::optional<uint64_t> values[3];
        if (!ReadFields(reader, kReadingFields, values, error)) return false;
        step.kind = StepKind::Set;
        if (values[0]) step.x = static_cast<uint32_t>(*values[0]);
        if (values[1]) step.y = static_cast<uint32_t>(*values[1]);
        if (values[2]) step.buttons = static_cast<uint32_t>(*values[2]);
        return true;
    }

    // Checks a well-formed step against the lines before it.
    bool StepFitsScript(const ScriptStep& step, std::string& error) const {
        if (endLine_ != 0) {
            error = "nothing runs after " + endWords_ + " on line " + std::to_string(endLine_);
            return false;
        }
        if (lastTickLine_ != 0 && step.tick < lastTick_) {
            error = "tick " + std::to_string(step.tick) + " is before tick " +
                    std::to_string(lastTick_) + " on line " + std::to_string(lastTickLine_);
            return false;
        }
        // Without a joystick the program ends at start-up and no step runs.
        if (script_.joysticks.empty()) return true;
        const ScriptJoystick& device0 = script_.joysticks.front();
        // The menu and the dialogs go on without the joystick.
        const bool readsJoystick = step.kind == StepKind::Set || step.kind == StepKind::Unplug;
        if (unplugLine_ != 0 && readsJoystick) {
            error = "joystick 0 was unplugged on line " + std::to_string(unplugLine_);
            return false;
        }
        if (step.buttons) {
            const int highest = static_cast<int>(std::bit_width(*step.buttons));
            if (highest > device0.buttons) {
                error = "buttons=" + Hex(*step.buttons) + " presses button " +
                        std::to_string(highest) + " but joystick 0 has " +
                        std::to_string(device0.buttons) + " buttons";
                return false;
            }
        }
        return true;
    }

    Script& script_;
    std::vector<ScriptError> errors_;
    int firstAtLine_ = 0;  // 0 until an "at" line
    uint64_t lastTick_ = 0;
    int lastTickLine_ = 0;
    int endLine_ = 0;       // the line that closes the program
    std::string endWords_;  // what it says, to quote in a message
    int unplugLine_ = 0;
};

}  // namespace

bool EndsProgram(const ScriptStep& step) {
    return step.kind == StepKind::Quit ||
           (step.kind == StepKind::Menu && step.menuItem == kScriptExitItem);
}

std::vector<ScriptError> ParseScript(std::string_view text, Script& script) {
    script = Script{};
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark
    ScriptParser parser(script);
    int number = 0;
    while (!text.empty()) {
        ++number;
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        parser.Line(line, number);
    }
    return parser.TakeErrors();
}

}  // namespace gimbalo

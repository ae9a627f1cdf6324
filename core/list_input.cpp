#include "core/list_input.h"

#include "core/numbers.h"

namespace gimbalo {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
}  // namespace

void ListInputReader::SkipDelimiter() {
    if (pos_ >= text_.size()) return;
    if (text_[pos_] == ',') {
        ++pos_;
    } else if (text_[pos_] == '\r') {
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    } else if (text_[pos_] == '\n') {
        ++pos_;
    }
}

std::optional<std::string> ListInputReader::NextField() {
    if (pos_ >= text_.size()) return std::nullopt;
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;

    std::string field;
    if (text_[pos_] == '"') {
        std::size_t close = text_.find('"', pos_ + 1);
        if (close == std::string_view::npos) close = text_.size();
        field.assign(text_.substr(pos_ + 1, close - pos_ - 1));
        pos_ = close < text_.size() ? close + 1 : close;
        // Whatever follows the closing quote up to the delimiter is dropped.
        while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
    } else {
        std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
        field.assign(text_.substr(start, pos_ - start));
        while (!field.empty() && IsBlank(field.back())) field.pop_back();
    }
    SkipDelimiter();
    return field;
}

std::optional<int16_t> ParseInteger16(std::string_view field) {
    while (!field.empty() && IsBlank(field.front())) field.remove_prefix(1);
    while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
    std::size_t used = 0;
    std::optional<double> value = LeadingNumber(field, &used);
    if (!value || used != field.size()) return std::nullopt;
    double rounded = RoundHalfEven(*value);
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return static_cast<int16_t>(rounded);
}

}  // namespace gimbalo

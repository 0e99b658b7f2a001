#include "cli/json.h"

#include <cstdio>

namespace tavrik::cli {

namespace {

void AppendQuoted(std::string& text, const std::string& value) {
    text.push_back('"');
    for (const char c : value) {
        switch (c) {
        case '"':
            text += "\\\"";
            break;
        case '\\':
            text += "\\\\";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\t':
            text += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                text += escaped;
            } else {
                text.push_back(c);
            }
        }
    }
    text.push_back('"');
}

void AppendBreak(std::string& text, bool pretty, int depth) {
    if (pretty) {
        text.push_back('\n');
        text.append(static_cast<size_t>(depth) * 2, ' ');
    }
}

} // namespace

JsonValue& JsonValue::Set(std::string key, JsonValue value) {
    std::get<Object>(value_).emplace_back(std::move(key), std::move(value));
    return *this;
}

JsonValue& JsonValue::Append(JsonValue value) {
    std::get<Array>(value_).push_back(std::move(value));
    return *this;
}

std::string JsonValue::Text(bool pretty) const {
    std::string text;
    AppendText(text, pretty, 0);
    return text;
}

void JsonValue::AppendText(std::string& text, bool pretty, int depth) const {
    if (std::holds_alternative<std::nullptr_t>(value_)) {
        text += "null";
    } else if (const bool* flag = std::get_if<bool>(&value_)) {
        text += *flag ? "true" : "false";
    } else if (const int64_t* number = std::get_if<int64_t>(&value_)) {
        text += std::to_string(*number);
    } else if (const std::string* string = std::get_if<std::string>(&value_)) {
        AppendQuoted(text, *string);
    } else if (const Array* array = std::get_if<Array>(&value_)) {
        text.push_back('[');
        for (size_t i = 0; i < array->size(); ++i) {
            text += i > 0 ? "," : "";
            AppendBreak(text, pretty, depth + 1);
            (*array)[i].AppendText(text, pretty, depth + 1);
        }
        if (!array->empty())
            AppendBreak(text, pretty, depth);
        text.push_back(']');
    } else {
        const Object& object = std::get<Object>(value_);
        text.push_back('{');
        for (size_t i = 0; i < object.size(); ++i) {
            text += i > 0 ? "," : "";
            AppendBreak(text, pretty, depth + 1);
            AppendQuoted(text, object[i].first);
            text += pretty ? ": " : ":";
            object[i].second.AppendText(text, pretty, depth + 1);
        }
        if (!object.empty())
            AppendBreak(text, pretty, depth);
        text.push_back('}');
    }
}

} // namespace tavrik::cli

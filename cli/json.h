#pragma once
// The JSON documents of --json: a small value tree (null, booleans, integers, strings, arrays and
// objects that keep their keys in insertion order) and its text. Strings are UTF-8.

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace tavrik::cli {

class JsonValue {
public:
    using Array = std::vector<JsonValue>;
    using Object = std::vector<std::pair<std::string, JsonValue>>;

    JsonValue()
        : value_(nullptr) {}
    JsonValue(bool value)
        : value_(value) {}
    template <typename Integer>
    requires(std::is_integral_v<Integer> && !std::is_same_v<Integer, bool>) JsonValue(Integer value)
        : value_(static_cast<int64_t>(value)) {}
    JsonValue(std::string value)
        : value_(std::move(value)) {}
    JsonValue(const char* value)
        : value_(std::string(value)) {}

    static JsonValue MakeArray() { return JsonValue(Array{}); }
    static JsonValue MakeObject() { return JsonValue(Object{}); }

    // Objects: adds a member (keys are not checked for repeats). Returns *this.
    JsonValue& Set(std::string key, JsonValue value);
    // Arrays: appends an element. Returns *this.
    JsonValue& Append(JsonValue value);

    // Indented by two spaces per level when `pretty`, else on one line.
    std::string Text(bool pretty = true) const;

private:
    explicit JsonValue(Array value)
        : value_(std::move(value)) {}
    explicit JsonValue(Object value)
        : value_(std::move(value)) {}
    void AppendText(std::string& text, bool pretty, int depth) const;

    std::variant<std::nullptr_t, bool, int64_t, std::string, Array, Object> value_;
};

} // namespace tavrik::cli

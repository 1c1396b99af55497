// Results that carry their reason: a value, or an Error saying which file,
// which member, which offset and what was wrong. Nothing is thrown across
// the library's interface.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace hpiutil {

struct Error {
    std::string file;         // archive or disk file concerned, UTF-8; may be empty
    std::string member;       // member path inside the archive; may be empty
    std::int64_t offset = -1; // byte offset in the archive; -1 when it does not apply
    std::string what;         // what was wrong

    // "file: member: at offset 0x1c: what", leaving out the parts that are empty.
    std::string message() const;
};

// Builds an Error with only its reason; callers add file, member and offset
// as the error travels outwards.
inline Error fail(std::string what, std::int64_t offset = -1) {
    Error e;
    e.what = std::move(what);
    e.offset = offset;
    return e;
}

template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Error error) : v_(std::move(error)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(v_); }
    const T& value() const& { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    T* operator->() { return &std::get<0>(v_); }
    const T* operator->() const { return &std::get<0>(v_); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const& { return std::get<1>(v_); }
    Error&& error() && { return std::get<1>(std::move(v_)); }

private:
    std::variant<T, Error> v_;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : e_(std::move(error)) {}

    bool ok() const { return !e_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const& { return *e_; }
    Error&& error() && { return std::move(*e_); }

private:
    std::optional<Error> e_;
};

using Status = Result<void>;

} // namespace hpiutil

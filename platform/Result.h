#pragma once
// The project's one way of returning "a value, or why there is none": Result<T> holds either a
// T or a Failure with a sentence for a person. Result<void> (alias Status) says only whether a
// step succeeded. Cheap to move, never throws; callers test Ok() before Value().

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace ordvane {

// Why an operation did not succeed, as a sentence a user can act on ("no answer from ...").
struct Failure {
    std::string reason;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit on purpose
    Result(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}  // NOLINT

    bool Ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return Ok(); }

    const T& Value() const& {
        assert(Ok());
        return std::get<0>(m_state);
    }
    T& Value() & {
        assert(Ok());
        return std::get<0>(m_state);
    }
    T&& Value() && {
        assert(Ok());
        return std::get<0>(std::move(m_state));
    }
    // Empty when Ok().
    const std::string& Reason() const {
        static const std::string none;
        return Ok() ? none : std::get<1>(m_state).reason;
    }

private:
    std::variant<T, Failure> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_failed(true), m_reason(std::move(failure.reason)) {}  // NOLINT

    bool Ok() const { return !m_failed; }
    explicit operator bool() const { return Ok(); }
    const std::string& Reason() const { return m_reason; }

private:
    bool m_failed = false;
    std::string m_reason;
};

using Status = Result<void>;

}  // namespace ordvane

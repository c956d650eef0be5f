// SPDX-License-Identifier: MIT
#pragma once
// A value or the error that stopped it, like C++23's std::expected: the one
// template of the library's parts, each with its own error type.

#include <utility>
#include <variant>

namespace barquill::base {

template <class T, class E>
class Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(E error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    // Only when ok().
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }
    // Only when !ok().
    const E& error() const { return std::get<1>(state_); }

private:
    std::variant<T, E> state_;
};

}  // namespace barquill::base

#pragma once
// The outcome of a call that can fail for a reason: its value or its error,
// never both. A call that gives nothing back on success returns
// Result<void, E>. An error goes in through failure():
//     return failure(SocketError{kSocketTimedOut});
// "No value" without a reason stays std::optional.
//
// The names are std::expected's (has_value, value, error, value_or,
// error_or; failure() standing for std::unexpected), so that this type can
// give way to std::expected when the project moves to C++23. One difference:
// reading the side that is not there (value() of a failure, error() of a
// success) ends the program here, where std::expected throws or is undefined.
//
// A plain value with no shared state: one thread at a time, as any object.

#include <cstdlib>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace platform {

// An error on its way into a Result.
template <class E>
class Failure {
public:
    explicit Failure(E error) : error_(std::move(error)) {}

    const E& error() const& { return error_; }
    E&& error() && { return std::move(error_); }

private:
    E error_;
};

template <class E>
Failure<std::decay_t<E>> failure(E&& error)
{
    return Failure<std::decay_t<E>>(std::forward<E>(error));
}

namespace detail {

template <class>
inline constexpr bool isFailure = false;
template <class E>
inline constexpr bool isFailure<Failure<E>> = true;

// What makes the value of a Result R holding a T: anything a T is made
// from, but another R (a copy) or a Failure (an error).
template <class U, class T, class R>
concept MakesValue =
    std::is_constructible_v<T, U> && !std::is_same_v<std::remove_cvref_t<U>, R> && !isFailure<std::remove_cvref_t<U>>;
template <class G, class E>
concept MakesError = std::is_constructible_v<E, G>;

// A wrong-side read is a fault in the caller, not a condition to handle.
inline void requireSide(bool present)
{
    if (!present)
        std::abort();
}

} // namespace detail

template <class T, class E>
class Result {
public:
    using value_type = T;
    using error_type = E;

    // MakesValue keeps copies and moves of a Result out of this constructor.
    template <detail::MakesValue<T, Result> U = T>
    // NOLINTNEXTLINE(bugprone-forwarding-reference-overload)
    explicit(!std::is_convertible_v<U, T>) Result(U&& value) : state_(std::in_place_index<0>, std::forward<U>(value))
    {
    }
    template <detail::MakesError<E> G>
    Result(const Failure<G>& failed) : state_(std::in_place_index<1>, failed.error())
    {
    }
    template <detail::MakesError<E> G>
    Result(Failure<G>&& failed) : state_(std::in_place_index<1>, std::move(failed).error())
    {
    }

    bool has_value() const noexcept { return state_.index() == 0; }
    explicit operator bool() const noexcept { return has_value(); }

    T& value() &
    {
        detail::requireSide(has_value());
        return *std::get_if<0>(&state_);
    }
    const T& value() const&
    {
        detail::requireSide(has_value());
        return *std::get_if<0>(&state_);
    }
    T&& value() && { return std::move(value()); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T&& operator*() && { return std::move(value()); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const E& error() const&
    {
        detail::requireSide(!has_value());
        return *std::get_if<1>(&state_);
    }

    // The value, or `fallback` made into one; the rvalue form moves the value out.
    template <class U>
    T value_or(U&& fallback) const&
    {
        if (has_value())
            return *std::get_if<0>(&state_);
        return static_cast<T>(std::forward<U>(fallback));
    }
    template <class U>
    T value_or(U&& fallback) &&
    {
        if (has_value())
            return std::move(*std::get_if<0>(&state_));
        return static_cast<T>(std::forward<U>(fallback));
    }
    // The error, or `fallback` on success.
    template <class G>
    E error_or(G&& fallback) const&
    {
        if (has_value())
            return static_cast<E>(std::forward<G>(fallback));
        return *std::get_if<1>(&state_);
    }

private:
    std::variant<T, E> state_;
};

template <class E>
class Result<void, E> {
public:
    using value_type = void;
    using error_type = E;

    Result() = default;
    template <detail::MakesError<E> G>
    Result(const Failure<G>& failed) : error_(failed.error())
    {
    }
    template <detail::MakesError<E> G>
    Result(Failure<G>&& failed) : error_(std::move(failed).error())
    {
    }

    bool has_value() const noexcept { return !error_.has_value(); }
    explicit operator bool() const noexcept { return has_value(); }

    void value() const { detail::requireSide(has_value()); }
    void operator*() const noexcept {}

    const E& error() const&
    {
        detail::requireSide(!has_value());
        return *error_;
    }
    template <class G>
    E error_or(G&& fallback) const&
    {
        if (has_value())
            return static_cast<E>(std::forward<G>(fallback));
        return *error_;
    }

private:
    std::optional<E> error_;
};

} // namespace platform

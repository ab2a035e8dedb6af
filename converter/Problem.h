#pragma once

// What keeps a picture or the output from being used, as a value: the file it
// concerns and the reason in plain words. Every step of checking, preparing
// and writing returns one instead of its result, and the run gathers them, so
// one run names every bad picture ("jpeg2swf: PATH: reason").

#include <optional>
#include <string>
#include <utility>
#include <variant>

struct Problem {
    std::string path = {};   // empty where the step sees only bytes; the caller names the file
    std::string reason = {};

    // The same problem, found in the given file.
    Problem in(const std::string &file) const { return {file, reason}; }
};

// Nothing when a step succeeded, or what went wrong.
using Failure = std::optional<Problem>;

// A step's value, or the problem that kept it from one.
template <typename T>
class Checked
{
public:
    Checked(T value) : m_result(std::in_place_index<0>, std::move(value)) {}
    Checked(Problem problem) : m_result(std::in_place_index<1>, std::move(problem)) {}

    explicit operator bool() const { return m_result.index() == 0; }
    T &operator*() { return std::get<0>(m_result); }
    const T &operator*() const { return std::get<0>(m_result); }
    T *operator->() { return &std::get<0>(m_result); }
    const T *operator->() const { return &std::get<0>(m_result); }
    const Problem &problem() const { return std::get<1>(m_result); }

private:
    std::variant<T, Problem> m_result;
};

// Format strings with real conversions for the printf-like operations: every '%' of a fuzzed
// text that starts a well-formed conversion keeps it, and the call passes an argument of the
// type that conversion reads; any other '%' is doubled. %n and the conversions whose flags or
// length the C library leaves undefined are never formed.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace fuzz {

enum class ArgType { WIDTH, INT, LONG, LONG_LONG, DOUBLE, LONG_DOUBLE, STRING, POINTER };

struct Argument {
    ArgType type = ArgType::INT;
    long long integer = 0;
    long double real = 0;
    std::string text;
};

struct Format {
    std::string text;
    std::vector<Argument> args;
};

constexpr size_t MAX_ARGS = 2; // the call sites below are instantiated for each type of each

namespace detail {

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the conversion that starts after the '%' at `at`; on success appends it to `out`,
// records the types of its arguments and returns the index after it, else returns 0.
inline size_t conversion(const std::string &raw, size_t at, std::string &out, std::vector<ArgType> &types) {
    size_t i = at + 1;
    std::vector<ArgType> taken;
    std::string flags;
    while (i < raw.size() && std::strchr("-+ #0", raw[i]) && raw[i])
        flags += raw[i++];
    auto number_or_star = [&](size_t most_digits) {
        if (i < raw.size() && raw[i] == '*') {
            taken.push_back(ArgType::WIDTH);
            ++i;
            return true;
        }
        size_t digits = 0;
        while (i < raw.size() && is_digit(raw[i]) && digits <= most_digits)
            ++i, ++digits;
        return digits <= most_digits; // a width of five digits would only cost time
    };
    if (!number_or_star(4))
        return 0;
    bool precision = false;
    if (i < raw.size() && raw[i] == '.') {
        precision = true;
        ++i;
        if (!number_or_star(4))
            return 0;
    }
    std::string length;
    while (i < raw.size() && std::strchr("hlL", raw[i]) && raw[i] && length.size() < 2)
        length += raw[i++];
    if (i >= raw.size())
        return 0;
    const char c = raw[i];
    const bool integer = std::strchr("diouxX", c) && c;
    const bool real = std::strchr("fFeEgGaA", c) && c;
    const bool alternate_ok = std::strchr("oxXfFeEgGaA", c) && c;
    if (flags.find('#') != std::string::npos && !alternate_ok)
        return 0;
    if (flags.find('0') != std::string::npos && !integer && !real)
        return 0;
    if (integer) {
        if (length == "" || length == "h" || length == "hh")
            taken.push_back(ArgType::INT);
        else if (length == "l")
            taken.push_back(ArgType::LONG);
        else if (length == "ll")
            taken.push_back(ArgType::LONG_LONG);
        else
            return 0;
    } else if (real) {
        if (length == "" || length == "l")
            taken.push_back(ArgType::DOUBLE);
        else if (length == "L")
            taken.push_back(ArgType::LONG_DOUBLE);
        else
            return 0;
    } else if ((c == 'c' || c == 'p') && length.empty() && !precision) {
        taken.push_back(c == 'c' ? ArgType::INT : ArgType::POINTER);
    } else if (c == 's' && length.empty()) {
        taken.push_back(ArgType::STRING);
    } else if (c == '%' && i == at + 1) {
        out += "%%";
        return i + 1;
    } else {
        return 0;
    }
    if (types.size() + taken.size() > MAX_ARGS)
        return 0;
    types.insert(types.end(), taken.begin(), taken.end());
    out.append(raw, at, i + 1 - at);
    return i + 1;
}

} // namespace detail

// A format from up to max_length fuzzed characters, and arguments for its conversions.
inline Format make_format(FuzzedDataProvider &in, size_t max_length) {
    const std::string raw = in.ConsumeRandomLengthString(max_length);
    Format f;
    std::vector<ArgType> types;
    for (size_t i = 0; i < raw.size();) {
        if (raw[i] != '%') {
            f.text += raw[i++];
            continue;
        }
        const size_t next = detail::conversion(raw, i, f.text, types);
        if (next) {
            i = next;
        } else {
            f.text += "%%";
            ++i;
        }
    }
    static const long long integers[] = {0, 1, -1, 65, 233, INT_MAX, INT_MIN, LLONG_MAX, LLONG_MIN, 9999};
    static const long double reals[] = {0.0L,     -0.0L, 1.5L,    1e300L,  -1e-300L,
                                        INFINITY, NAN,   DBL_MAX, LDBL_MAX};
    for (ArgType type : types) {
        Argument a;
        a.type = type;
        if (in.ConsumeBool())
            a.integer =
                integers[in.ConsumeIntegralInRange<size_t>(0, sizeof integers / sizeof integers[0] - 1)];
        else
            a.integer = in.ConsumeIntegral<long long>();
        if (in.ConsumeBool())
            a.real = reals[in.ConsumeIntegralInRange<size_t>(0, sizeof reals / sizeof reals[0] - 1)];
        else
            a.real = in.ConsumeFloatingPoint<double>();
        if (type == ArgType::WIDTH) // a width past INT_MAX characters fails, a huge one is slow
            a.integer %= 10000;
        if (type == ArgType::STRING)
            a.text = in.ConsumeBool() ? std::string(in.ConsumeIntegralInRange(0, 1500), 'x')
                                      : in.ConsumeRandomLengthString(64);
        f.args.push_back(a);
    }
    return f;
}

// Calls call(format, arguments...) with each argument passed as the type its conversion reads.
template <typename Call, typename... Done> int with_arguments(const Format &f, Call call, Done... done) {
    constexpr size_t i = sizeof...(Done);
    if constexpr (i == MAX_ARGS) {
        return call(f.text.c_str(), done...);
    } else {
        if (i == f.args.size())
            return call(f.text.c_str(), done...);
        const Argument &a = f.args[i];
        switch (a.type) {
        case ArgType::WIDTH:
        case ArgType::INT: return with_arguments(f, call, done..., static_cast<int>(a.integer));
        case ArgType::LONG: return with_arguments(f, call, done..., static_cast<long>(a.integer));
        case ArgType::LONG_LONG: return with_arguments(f, call, done..., a.integer);
        case ArgType::DOUBLE: return with_arguments(f, call, done..., static_cast<double>(a.real));
        case ArgType::LONG_DOUBLE: return with_arguments(f, call, done..., a.real);
        case ArgType::STRING: return with_arguments(f, call, done..., a.text.c_str());
        case ArgType::POINTER: return with_arguments(f, call, done..., static_cast<const void *>(&a));
        }
        return 0;
    }
}

// What the C library makes of the format: the text cut to the 1023 characters a line holds,
// and the count it returns.
struct Formatted {
    std::string text;
    int count = 0;
};

inline Formatted expected_formatting(const Format &f) {
    Formatted out;
    char buffer[1024];
    out.count = with_arguments(f, [&](const char *format, auto... args) {
        return std::snprintf(buffer, sizeof buffer, format, args...);
    });
    out.text = out.count < 0 ? "" : buffer;
    return out;
}

} // namespace fuzz

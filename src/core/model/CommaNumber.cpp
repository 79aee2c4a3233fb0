#include "model/CommaNumber.h"

#include <charconv>
#include <cmath>

namespace tarmelo::model {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view digits(std::string_view s, size_t& i) {
    const size_t from = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return s.substr(from, i - from);
}

} // namespace

std::optional<CommaNumber> parseCommaNumber(std::string_view s, bool allowExponent) {
    CommaNumber n;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        n.negative = s[i++] == '-';
    n.whole = digits(s, i);
    if (i < s.size() && s[i] == ',') {
        ++i;
        n.fraction = digits(s, i);
    }
    if (n.whole.empty() && n.fraction.empty())
        return std::nullopt;
    const size_t mantissaEnd = i;
    if (allowExponent && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (digits(s, i).empty())
            return std::nullopt;
        n.hasExponent = true;
    }
    if (i != s.size())
        return std::nullopt;

    // from_chars wants a point and no plus sign; short numbers are converted on the stack.
    char stack[64];
    std::string heap;
    char* buf = stack;
    if (s.size() > sizeof stack) {
        heap.resize(s.size());
        buf = heap.data();
    }
    size_t len = 0;
    for (size_t k = s[0] == '+' ? 1 : 0; k < s.size(); ++k)
        buf[len++] = k < mantissaEnd && s[k] == ',' ? '.' : s[k];
    const auto [end, ec] = std::from_chars(buf, buf + len, n.value);
    if (ec != std::errc() || end != buf + len || !std::isfinite(n.value))
        return std::nullopt;
    return n;
}

std::optional<qint64> CommaNumber::hundredths() const {
    if (hasExponent || whole.size() > 15)
        return std::nullopt;
    qint64 cents = 0;
    for (const char c : whole)
        cents = cents * 10 + (c - '0');
    const auto digit = [&](size_t k) { return k < fraction.size() ? fraction[k] - '0' : 0; };
    cents = cents * 100 + digit(0) * 10 + digit(1);
    if (digit(2) >= 5)
        ++cents;
    return negative ? -cents : cents;
}

} // namespace tarmelo::model

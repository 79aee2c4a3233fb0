#pragma once

#include <QtGlobal>
#include <optional>
#include <string_view>

namespace tarmelo::model {

// A number as the program writes it: [sign] digits [',' digits] [exponent], with at least one digit before
// the exponent and nothing else around it (no blanks, no point).
struct CommaNumber {
    bool negative = false;
    std::string_view whole;    // digits before the comma
    std::string_view fraction; // digits after it
    bool hasExponent = false;
    double value = 0; // finite

    // Rounded half away from zero to hundredths on the digits themselves: the binary value of 11900.005 lies
    // just below the half and would round down. Nullopt for an exponent or more than 15 whole digits.
    std::optional<qint64> hundredths() const;
};

std::optional<CommaNumber> parseCommaNumber(std::string_view text, bool allowExponent = true);

// The value of a comma number, or nullopt.
inline std::optional<double> commaNumberValue(std::string_view text) {
    const auto n = parseCommaNumber(text);
    return n ? std::optional<double>(n->value) : std::nullopt;
}

} // namespace tarmelo::model

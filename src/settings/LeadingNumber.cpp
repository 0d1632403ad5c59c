#include "settings/LeadingNumber.h"

#include <QByteArray>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

double leadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };

    QByteArray digits; // sign-less mantissa and exponent in C syntax
    bool negative = false;
    skipBlanks();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    bool haveMantissa = false;
    bool havePoint = false;
    for (;;) {
        skipBlanks();
        if (i < n && isDigit(text[i])) {
            digits.append(char(text[i].unicode()));
            haveMantissa = true;
            ++i;
        } else if (i < n && text[i] == u'.' && !havePoint) {
            digits.append('.');
            havePoint = true;
            ++i;
        } else {
            break;
        }
    }
    if (!haveMantissa)
        return 0.0;

    // An exponent counts only when digits follow its letter (and optional sign).
    bool negativeExponent = false;
    skipBlanks();
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        auto skipBlanksAt = [&] {
            while (j < n && isBlank(text[j]))
                ++j;
        };
        QByteArray exponent("e");
        skipBlanksAt();
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            negativeExponent = text[j] == u'-';
            exponent.append(char(text[j].unicode()));
            ++j;
        }
        bool haveExponentDigits = false;
        for (;;) {
            skipBlanksAt();
            if (j < n && isDigit(text[j])) {
                exponent.append(char(text[j].unicode()));
                haveExponentDigits = true;
                ++j;
            } else {
                break;
            }
        }
        if (haveExponentDigits)
            digits.append(exponent);
    }

    double value = 0.0;
    const auto [end, error] =
        std::from_chars(digits.constData(), digits.constData() + digits.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range)
        value = negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
    else if (error != std::errc())
        value = 0.0; // a lone point
    return negative ? -value : value;
}

double roundHalfEven(double value) {
    return std::nearbyint(value); // the default rounding mode rounds halves to even
}

#pragma once

#include <QString>

// Reading numbers out of text the way the settings file and the interval fields expect.

// The number a text starts with: blanks are skipped wherever they are, reading stops at the first
// character that cannot continue the number (an exponent counts only when digits follow its
// letter), and a text without a number gives 0. Too large for a double: infinity.
double leadingNumber(const QString& text);

// To the nearest whole number, a half to the even neighbour.
double roundHalfEven(double value);

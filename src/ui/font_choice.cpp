#include "ui/font_choice.h"

#include <cstdlib>

namespace folivra {

namespace {

// a * b / c rounded to the nearest integer, as the platform's MulDiv does.
int mul_div(int a, int b, int c) {
  if (c == 0) return -1;
  const long long product = static_cast<long long>(a) * b;
  const long long half = std::llabs(static_cast<long long>(c)) / 2;
  const bool negative = (product < 0) != (c < 0);
  const long long magnitude = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace

int font_height_for(int points, int dpi) { return points <= 0 ? 0 : -mul_div(points, dpi, 72); }

int points_for_height(int height, int dpi) { return mul_div(std::abs(height), 72, dpi); }

}  // namespace folivra

#include "text/text_diff.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace folivra {

namespace {

enum class Op { keep, remove, add };

// The shortest edit script from a to b (Myers' O(ND) algorithm) when it
// needs at most `max_edits` edits; else everything between the common
// start and end is removed and added.
template <typename T>
std::vector<Op> edit_script(const std::vector<T>& a, const std::vector<T>& b, int max_edits) {
  size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  size_t tail = 0;
  while (tail < a.size() - head && tail < b.size() - head &&
         a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
    ++tail;
  }
  const int n = static_cast<int>(a.size() - head - tail);
  const int m = static_cast<int>(b.size() - head - tail);
  auto at_a = [&](int i) -> const T& { return a[head + static_cast<size_t>(i)]; };
  auto at_b = [&](int j) -> const T& { return b[head + static_cast<size_t>(j)]; };

  std::vector<Op> middle;
  const int limit = std::min(n + m, max_edits);
  std::vector<std::vector<int>> trace;  // the furthest x on each diagonal, per edit count
  std::vector<int> v(2 * static_cast<size_t>(limit) + 3, 0);
  const int offset = limit + 1;
  int found = -1;
  for (int d = 0; d <= limit && found < 0; ++d) {
    for (int k = -d; k <= d; k += 2) {
      int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1]))
                  ? v[offset + k + 1]
                  : v[offset + k - 1] + 1;
      int y = x - k;
      while (x < n && y < m && at_a(x) == at_b(y)) ++x, ++y;
      v[offset + k] = x;
      if (x >= n && y >= m) {
        found = d;
        break;
      }
    }
    trace.emplace_back(v.begin() + (offset - d - 1), v.begin() + (offset + d + 2));
  }
  if (found < 0) {
    middle.assign(static_cast<size_t>(n), Op::remove);
    middle.insert(middle.end(), static_cast<size_t>(m), Op::add);
  } else {
    int x = n, y = m;
    for (int d = found; d > 0; --d) {
      const std::vector<int>& prev = trace[static_cast<size_t>(d - 1)];
      auto prev_at = [&](int k) { return prev[static_cast<size_t>(k + d)]; };  // covers -d..d
      const int k = x - y;
      const bool down = k == -d || (k != d && prev_at(k - 1) < prev_at(k + 1));
      const int prev_k = down ? k + 1 : k - 1;
      const int prev_x = prev_at(prev_k), prev_y = prev_x - prev_k;
      while (x > prev_x && y > prev_y) {
        middle.push_back(Op::keep);
        --x, --y;
      }
      middle.push_back(down ? Op::add : Op::remove);
      x = prev_x;
      y = prev_y;
    }
    while (x > 0 && y > 0) {
      middle.push_back(Op::keep);
      --x, --y;
    }
    std::reverse(middle.begin(), middle.end());
  }
  std::vector<Op> script(head, Op::keep);
  script.insert(script.end(), middle.begin(), middle.end());
  script.insert(script.end(), tail, Op::keep);
  return script;
}

std::vector<std::u16string_view> paragraphs_of(std::u16string_view text) {
  std::vector<std::u16string_view> list;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(u'\r', start);
    if (end == std::u16string_view::npos) {
      list.push_back(text.substr(start));
      return list;
    }
    list.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

void add_piece(std::vector<DiffPiece>& pieces, DiffPiece::Kind kind, char16_t c) {
  if (pieces.empty() || pieces.back().kind != kind) pieces.push_back({kind, {}});
  pieces.back().text += c;
}

// A changed paragraph's pieces.
void compare_characters(std::u16string_view before, std::u16string_view after,
                        std::vector<DiffPiece>& pieces) {
  const std::vector<char16_t> a(before.begin(), before.end()), b(after.begin(), after.end());
  size_t i = 0, j = 0;
  for (Op op : edit_script(a, b, 2000)) {
    if (op == Op::keep) {
      add_piece(pieces, DiffPiece::Kind::same, a[i++]);
      ++j;
    } else if (op == Op::remove) {
      add_piece(pieces, DiffPiece::Kind::removed, a[i++]);
    } else {
      add_piece(pieces, DiffPiece::Kind::added, b[j++]);
    }
  }
}

DiffParagraph whole(DiffParagraph::Kind kind, std::u16string_view text) {
  const DiffPiece::Kind piece = kind == DiffParagraph::Kind::removed ? DiffPiece::Kind::removed
                                : kind == DiffParagraph::Kind::added ? DiffPiece::Kind::added
                                                                     : DiffPiece::Kind::same;
  return {kind, {{piece, std::u16string(text)}}};
}

// How alike two paragraphs are, from the characters they have in common
// (in any order): 0 to 1.
double likeness(std::u16string_view a, std::u16string_view b) {
  if (a.empty() && b.empty()) return 1.0;
  std::u16string x(a), y(b);
  std::sort(x.begin(), x.end());
  std::sort(y.begin(), y.end());
  size_t common = 0;
  for (size_t i = 0, j = 0; i < x.size() && j < y.size();) {
    if (x[i] == y[j]) {
      ++common, ++i, ++j;
    } else if (x[i] < y[j]) {
      ++i;
    } else {
      ++j;
    }
  }
  return 2.0 * static_cast<double>(common) / static_cast<double>(x.size() + y.size());
}

// A run of removed and added paragraphs in the order to show them: pairs
// (g, c) of a removed paragraph and the added one it became, kept in order
// and chosen to be as alike as can be; -1 on one side for a paragraph that
// only went or only came. Long runs are not paired.
std::vector<std::pair<int, int>> pair_similar(const std::vector<std::u16string_view>& gone,
                                              const std::vector<std::u16string_view>& come) {
  constexpr double kAlike = 0.5;
  const size_t n = gone.size(), m = come.size();
  std::vector<std::pair<int, int>> order;
  if (n * m > 2500) {
    for (size_t g = 0; g < n; ++g) order.push_back({static_cast<int>(g), -1});
    for (size_t c = 0; c < m; ++c) order.push_back({-1, static_cast<int>(c)});
    return order;
  }
  std::vector<std::vector<double>> best(n + 1, std::vector<double>(m + 1, 0.0));
  std::vector<std::vector<double>> alike(n, std::vector<double>(m, 0.0));
  for (size_t g = 0; g < n; ++g) {
    for (size_t c = 0; c < m; ++c) alike[g][c] = likeness(gone[g], come[c]);
  }
  for (size_t g = n; g-- > 0;) {
    for (size_t c = m; c-- > 0;) {
      best[g][c] = std::max(best[g + 1][c], best[g][c + 1]);
      if (alike[g][c] >= kAlike) {
        best[g][c] = std::max(best[g][c], alike[g][c] + best[g + 1][c + 1]);
      }
    }
  }
  std::vector<int> pending_added;
  size_t g = 0, c = 0;
  while (g < n && c < m) {
    if (alike[g][c] >= kAlike && best[g][c] == alike[g][c] + best[g + 1][c + 1]) {
      for (int added : pending_added) order.push_back({-1, added});
      pending_added.clear();
      order.push_back({static_cast<int>(g++), static_cast<int>(c++)});
    } else if (best[g][c] == best[g + 1][c]) {
      order.push_back({static_cast<int>(g++), -1});
    } else {
      pending_added.push_back(static_cast<int>(c++));
    }
  }
  for (int added : pending_added) order.push_back({-1, added});
  while (g < n) order.push_back({static_cast<int>(g++), -1});
  while (c < m) order.push_back({-1, static_cast<int>(c++)});
  return order;
}

}  // namespace

TextDiff diff_texts(std::u16string_view before, std::u16string_view after) {
  const auto old_paragraphs = paragraphs_of(before), new_paragraphs = paragraphs_of(after);
  std::vector<std::u16string_view> a(old_paragraphs.begin(), old_paragraphs.end()),
      b(new_paragraphs.begin(), new_paragraphs.end());
  const std::vector<Op> script = edit_script(a, b, 4000);

  TextDiff diff;
  size_t i = 0, j = 0, s = 0;
  while (s < script.size()) {
    if (script[s] == Op::keep) {
      diff.paragraphs.push_back(whole(DiffParagraph::Kind::same, a[i++]));
      ++j, ++s;
      continue;
    }
    // A run of edits: its removed paragraphs are paired in order with its
    // added ones where they share most of their characters.
    std::vector<std::u16string_view> gone, come;
    while (s < script.size() && script[s] != Op::keep) {
      if (script[s++] == Op::remove) {
        gone.push_back(a[i++]);
      } else {
        come.push_back(b[j++]);
      }
    }
    for (const auto& [g, c] : pair_similar(gone, come)) {
      if (c < 0) {
        diff.paragraphs.push_back(
            whole(DiffParagraph::Kind::removed, gone[static_cast<size_t>(g)]));
        ++diff.removed;
      } else if (g < 0) {
        diff.paragraphs.push_back(whole(DiffParagraph::Kind::added, come[static_cast<size_t>(c)]));
        ++diff.added;
      } else {
        DiffParagraph changed{DiffParagraph::Kind::changed, {}};
        compare_characters(gone[static_cast<size_t>(g)], come[static_cast<size_t>(c)],
                           changed.pieces);
        diff.paragraphs.push_back(std::move(changed));
        ++diff.changed;
      }
    }
  }
  return diff;
}

}  // namespace folivra

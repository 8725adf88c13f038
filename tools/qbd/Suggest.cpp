#include "Suggest.h"

#include <algorithm>

namespace qbd {

namespace {

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names longer than this are no typo of a short one, and keep the work bounded on hostile input.
constexpr std::size_t kLongest = 128;

}  // namespace

std::size_t editDistance(const std::string& a, const std::string& b, std::size_t limit) {
  const std::size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (gap > limit) return limit + 1;
  std::vector<std::size_t> previous(b.size() + 1), current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    std::size_t rowBest = current[0];
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t substitute = previous[j - 1] + (fold(a[i - 1]) == fold(b[j - 1]) ? 0 : 1);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitute});
      rowBest = std::min(rowBest, current[j]);
    }
    if (rowBest > limit) return limit + 1;
    previous.swap(current);
  }
  return std::min(previous[b.size()], limit + 1);
}

std::string closest(const std::string& word, const std::vector<std::string>& candidates) {
  if (word.empty() || word.size() > kLongest) return std::string();
  const std::size_t limit = std::max<std::size_t>(1, word.size() / 3);
  std::string best;
  std::size_t bestDistance = limit + 1;
  for (const std::string& candidate : candidates) {
    if (candidate.size() > kLongest) continue;
    const std::size_t d = editDistance(word, candidate, limit);
    if (d == 0 && candidate == word) return std::string();
    if (d < bestDistance) {
      bestDistance = d;
      best = candidate;
    }
  }
  return best;
}

std::string didYouMean(const std::string& word, const std::vector<std::string>& candidates) {
  const std::string name = closest(word, candidates);
  return name.empty() ? std::string() : " (did you mean \"" + name + "\"?)";
}

std::string choiceList(const std::vector<std::string>& words, const std::string& marked) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " or " : ", ";
    text += words[i] + (words[i] == marked ? " (default)" : "");
  }
  return text;
}

}  // namespace qbd

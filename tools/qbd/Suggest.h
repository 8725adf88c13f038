// "Did you mean": the known name closest to a mistyped one, for the messages of the program.
#ifndef QBD_SUGGEST_H
#define QBD_SUGGEST_H

#include <string>
#include <vector>

namespace qbd {

// Edits (insertions, deletions, substitutions, ignoring letter case) that turn `a` into `b`;
// past `limit` the count stops and limit + 1 is returned.
std::size_t editDistance(const std::string& a, const std::string& b, std::size_t limit);
// The candidate closest to `word` when it is near enough to be a likely typo (a third of the
// word's length, at least one edit); empty when none is, or `word` itself is a candidate.
std::string closest(const std::string& word, const std::vector<std::string>& candidates);
// " (did you mean \"NAME\"?)" for the closest candidate; empty when there is none.
std::string didYouMean(const std::string& word, const std::vector<std::string>& candidates);
// "a, b (default) or c": the words an option takes, as its help line lists them (and the shell
// completion reads them from it); `marked`, when one of them, is called the default. Empty for
// no words.
std::string choiceList(const std::vector<std::string>& words, const std::string& marked = "");

}  // namespace qbd

#endif  // QBD_SUGGEST_H

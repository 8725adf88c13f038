// How the fuzz targets read their input: a board text, optionally followed by a line that
// holds only "%%" and a script of one request per line. A request is a list of words
// separated by blanks or tabs; the word '' stands for the empty word. Targets give words
// that begin with "@" a meaning of their own (a handle, a name drawn from the board).
#ifndef QBD_FUZZ_FUZZINPUT_H
#define QBD_FUZZ_FUZZINPUT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qbd_fuzz {

struct FuzzInput {
  std::string board;                            // the bytes before the separator line
  std::vector<std::vector<std::string>> lines;  // the script's requests, empty lines dropped
};

// Splits the input; without a separator line the whole input is the board and the script is
// empty. At most `maxLines` requests and `maxWords` words per request are kept, so that the
// work per input stays in proportion to its size.
FuzzInput SplitInput(const uint8_t* data, size_t size, size_t maxLines = 256,
                     size_t maxWords = 8);

// Aborts the process with `what` on standard error when `ok` is false: the fuzz driver
// reports the input that broke the invariant.
void Require(bool ok, const std::string& what);

// A number taken from the digits that follow `prefix` at the start of `word` (such as 3 in
// "@B3"); `fallback` when there are none. Never larger than 1,000,000.
size_t IndexAfter(const std::string& word, size_t prefixLength, size_t fallback = 0);

// A stable choice among `count` alternatives for a word that names none of them.
size_t Pick(const std::string& word, size_t count);

}  // namespace qbd_fuzz

#endif  // QBD_FUZZ_FUZZINPUT_H

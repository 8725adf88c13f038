// The words the value command answers with, kept per interpreter: a script that asks for the
// same value again gets the object it got before instead of a new copy of the text.
#ifndef MBD_VALUEWORDS_H
#define MBD_VALUEWORDS_H

#include <cstddef>

#include <tcl.h>

namespace mbd_detail {

// A Tcl object whose text is exactly the `length` bytes at `text`, to be set as a result of
// `interp`: the object the last call for the same `key` gave, when its text is still this
// text, else a new object that later calls for `key` may get. `key` only spreads the words
// over the interpreter's slots (a node's address serves); the text alone decides the answer,
// so a key reused by another node, or a node whose value changed, gets a correct word.
Tcl_Obj* ResultWord(Tcl_Interp* interp, const void* key, const char* text, std::size_t length);

}  // namespace mbd_detail

#endif  // MBD_VALUEWORDS_H

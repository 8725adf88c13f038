// Ties the nodes' destruction to the handle table: the tree library knows nothing of Tcl, so
// this library hands it the function that retires a dying node's handle when it loads, before
// any handle can exist.
#include "BaseTclIf.h"

namespace LyrBase {
namespace {

const bool kHooked = (BaseNode::SetHandleReleaseHook(&BaseTclIf::ForgetNode), true);

}  // namespace
}  // namespace LyrBase

// No C++ exception reaches Tcl from a command: with the C++ allocator made to fail from its N-th
// call on, every board and base command either answers as it does with memory to spare, or fails
// as a Tcl error {QBD NOMEM} located at the command, for every N up to the first that lets it
// finish. A command that let the exception through would end the test program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "LyrWiz_BoardTclCommandsRegister.h"
#include "TclTestSupport.h"

namespace {

// Allocations left before the allocator fails; negative while it never fails.
std::atomic<long> allocationsLeft{-1};
// Set when the allocator refused a request.
std::atomic<bool> refused{false};

}  // namespace

// The replacement allocator of this test program (the libraries it loads use it too).
void* operator new(std::size_t size) {
  long left = allocationsLeft.load();
  while (left >= 0) {
    if (left == 0) {
      refused.store(true);
      throw std::bad_alloc();
    }
    if (allocationsLeft.compare_exchange_weak(left, left - 1)) break;
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
// g++ cannot see that this operator new is malloc underneath.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

using tcltest_support::Board;
using tcltest_support::Interp;

// Long names and values, so that reading them needs the heap rather than a string's own buffer.
constexpr char kBoard[] = R"(
ATTRIBUTE VENDOR = Fenwick_with_a_name_longer_than_any_small_buffer
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_block_with_a_long_instance_name
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT receive_pin_of_the_uart = uart_receive_net_name, UCF_NET_STRING = ("LOC=T3", "IOSTANDARD=LVCMOS33")
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_block_with_a_long_instance_name
  PARAMETER C_BAUDRATE_OF_THE_CONSOLE = 115200_and_a_long_tail, IO_IS = baud
  PORT RX_OF_THE_CONSOLE = uart_receive_net_name, IO_IS = rx
END
)";

struct Outcome {
  int code = TCL_OK;
  std::string result;
  std::string errorCode;
};

// An interpreter with the board and base commands, and $b, $u and $p naming the board, the
// UART block and the FPGA pin of a board of its own.
class CommandsOnABoard {
 public:
  CommandsOnABoard() : board_(Board(kBoard)) {
    Tcl_CreateObjCommand(tcl_.interp, "qget_qbd_handle",
                         LyrWiz_BoardTclCommandsRegister::LyrBoardGetHandle, nullptr, nullptr);
    Tcl_CreateObjCommand(tcl_.interp, "qget_qbd_value",
                         LyrWiz_BoardTclCommandsRegister::LyrBoardGetValue, nullptr, nullptr);
    Tcl_CreateObjCommand(tcl_.interp, "qget_qbd_rule",
                         LyrWiz_BoardTclCommandsRegister::LyrBoardGetRule, nullptr, nullptr);
    Tcl_CreateObjCommand(tcl_.interp, "lyrbase_get_value", LyrBase::BaseTclIf::LyrBaseGetValue,
                         nullptr, nullptr);
    Tcl_CreateObjCommand(tcl_.interp, "lyrbase_get_handle",
                         LyrBase::BaseTclIf::LyrBaseGetHandle, nullptr, nullptr);
    Tcl_SetVar2Ex(tcl_.interp, "b", nullptr,
                  LyrBase::BaseTclIf::CreateTclObjFromPtr(board_.get()), TCL_GLOBAL_ONLY);
    std::string result;
    EXPECT_EQ(tcl_.Eval("set u [qget_qbd_handle $b block {} uart_block_with_a_long_instance_name]"
                        "; set p [qget_qbd_handle [qget_qbd_handle $b block FPGA *] PORT "
                        "receive_pin_of_the_uart]",
                        &result),
              TCL_OK)
        << result;
  }

  // Runs `line` with the allocator failing from its `allowed`-th request on (negative: never);
  // the allocator is whole again before the outcome is copied out.
  Outcome Run(const std::string& line, long allowed = -1) const {
    refused.store(false);
    allocationsLeft.store(allowed);
    const int code = Tcl_EvalEx(tcl_.interp, line.c_str(), -1, TCL_EVAL_GLOBAL);
    allocationsLeft.store(-1);
    Outcome outcome;
    outcome.code = code;
    outcome.result = Tcl_GetStringResult(tcl_.interp);
    if (code == TCL_ERROR) outcome.errorCode = tcl_.Var("errorCode");
    return outcome;
  }

 private:
  std::unique_ptr<LyrBoard::Qbd> board_;
  Interp tcl_;
};

TEST(CommandGuard, EveryCommandTurnsAnAllocationFailureIntoATclError) {
  const char* lines[] = {
      "qget_qbd_handle $b ATTRIBUTE *",
      "qget_qbd_handle $b block {} *",
      "qget_qbd_handle $u PORT *",
      "qget_qbd_value $u PARAMETER C_BAUDRATE_OF_THE_CONSOLE",
      "qget_qbd_value $u name",
      "qget_qbd_rule net_key Uart_Receive_Net_Name_Longer_Than_A_Small_Buffer",
      "qget_qbd_rule location $p",
      "lyrbase_get_value $u name",
      "lyrbase_get_handle $p SUBPROPERTY *",
  };
  for (const std::string line : lines) {
    SCOPED_TRACE(line);
    const std::string command = line.substr(0, line.find(' '));
    int failures = 0;
    bool finished = false;
    for (long allowed = 0; !finished && allowed < 10000; ++allowed) {
      // A fresh board each time, so that every handle the line answers with is made anew.
      const CommandsOnABoard setup;
      const Outcome starved = setup.Run(line, allowed);
      finished = !refused.load();
      if (finished) {
        // Not starved after all: the answer is the one given with memory to spare.
        const Outcome plenty = setup.Run(line);
        EXPECT_EQ(starved.code, TCL_OK) << starved.result;
        EXPECT_EQ(starved.result, plenty.result);
        EXPECT_EQ(plenty.code, TCL_OK) << plenty.result;
        continue;
      }
      ++failures;
      ASSERT_EQ(starved.code, TCL_ERROR) << starved.result;
      EXPECT_EQ(starved.errorCode, "QBD NOMEM");
      EXPECT_EQ(starved.result.rfind(command + " ", 0), 0u) << starved.result;
      EXPECT_EQ(starved.result.substr(starved.result.size() - 15), ": out of memory");
      // The failure left nothing half made: with memory back, the line answers, and every
      // handle in its answer names a node.
      const Outcome again = setup.Run(line);
      EXPECT_EQ(again.code, TCL_OK) << again.result;
      const Outcome decoded = setup.Run(
          "foreach w [lsearch -all -inline [list " + again.result +
          "] qbd#*] {qget_qbd_value $w handleType}");
      EXPECT_EQ(decoded.code, TCL_OK) << decoded.result;
    }
    EXPECT_TRUE(finished);
    EXPECT_GT(failures, 0) << "the line never needed the C++ allocator";
  }
}

}  // namespace

#!/bin/sh
# The ice40 sample board through a real toolchain: `qbd constraints --format pcf` and `qbd top`
# for the clock, the LEDs and the button, a small design filled into that top, synthesized by
# yosys and placed by nextpnr-ice40 with every port constrained; then each port must sit on the
# ball the board gives it (read back from `qbd constraints --format csv`), with its pull-up.
# Usage: toolchain_ice40.sh QBD SOURCE_DIR WORK_DIR
set -eu
qbd=$1
src=$2
work=$3
board=$src/boards/tinkerbit_ib1.qbd
instances="sys_clk_0 leds_4bit button_0"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# pcf has no word for the IO standard: the program says so on standard error, and writes.
"$qbd" constraints "$board" $instances --bus --format pcf -o board.pcf 2> qbd.err
grep -q "not expressed in pcf: io standard LVCMOS33" qbd.err
"$qbd" constraints "$board" $instances --bus --format csv -o board.csv
"$qbd" top "$board" $instances --bus --hdl verilog -o ports.v

# The design is the generated top with a body: a counter on the LEDs that the button inverts.
sed 's/^endmodule$/  reg [23:0] count = 0;\
  always @(posedge clk12) count <= count + 1;\
  assign led = btn ? count[23:20] : ~count[23:20];\
endmodule/' ports.v > top.v

yosys -q -l yosys.log -p "synth_ice40 -top top -json top.json" top.v
if ! nextpnr-ice40 --hx1k --package tq144 --json top.json --pcf board.pcf \
     --write placed.json > nextpnr.log 2>&1; then
  cat nextpnr.log
  exit 1
fi
# A pcf line the placer ignored or could not match is a fault of the file.
if grep -i "warning.*pcf\|unmatched\|ignoring" nextpnr.log; then
  exit 1
fi

python3 - "$work" <<'PY'
import csv, json, sys
sys.path.insert(0, "/usr/share/fpga-icestorm/python")
import icebox

work = sys.argv[1]
balls = {(x, y, z): pin for pin, x, y, z in icebox.pinloc_db["1k-tq144"]}
board = {}
pulls = {}
with open(work + "/board.csv", newline="") as f:
    for row in csv.DictReader(f):
        if row["fpga_pin"]:
            board[row["name"]] = row["location"]
            pulls[row["name"]] = row["pull"]
cells = json.load(open(work + "/placed.json"))["modules"]["top"]["cells"]
placed = {}
pullup = {}
for name, cell in cells.items():
    if cell["type"] != "SB_IO":
        continue
    port = name[:-len("$sb_io")] if name.endswith("$sb_io") else name
    x, y, io = cell["attributes"]["NEXTPNR_BEL"].split("/")
    placed[port] = balls[(int(x[1:]), int(y[1:]), int(io[2:]))]
    pullup[port] = int(str(cell["parameters"].get("PULLUP", "0")), 2) == 1
faults = []
for port, ball in sorted(board.items()):
    if placed.get(port) != ball:
        faults.append("%s: board ball %s, placed on %s" % (port, ball, placed.get(port)))
    if (pulls[port] == "up") != pullup.get(port, False):
        faults.append("%s: pull-up %s on the board, %s in the placed design"
                      % (port, pulls[port] == "up", pullup.get(port)))
for port in sorted(set(placed) - set(board)):
    faults.append("%s: placed but not on the board" % port)
if len(board) != 6:
    faults.append("expected 6 ports from the board, read %d" % len(board))
for fault in faults:
    print(fault)
print("%d ports placed on the board's balls" % (len(board) - len(faults)))
sys.exit(1 if faults else 0)
PY

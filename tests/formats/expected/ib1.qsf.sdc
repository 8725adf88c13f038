# Pin constraints from boards/tinkerbit_ib1.qbd
create_clock -name {clk12} -period 83.333333 -waveform {0.000 41.666667} [get_ports {clk12}]

# Pin constraints from demo.qbd
create_clock -name {clk} -period 83.333333 -waveform {0.000 41.666667} [get_ports {clk}]

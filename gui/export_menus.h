#pragma once
// The result windows' Esporta menu: the finished amplifier as a Touchstone
// file and as an ngspice netlist with its test bench.
void RegisterExportMenus();

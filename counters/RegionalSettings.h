// The user's regional settings and the floating-point environment that the program's arithmetic
// relies on, both set once at start-up before every other module (app/Modules.h).
#pragma once

// Reads the decimal separator of the user's locale.
void InitRegionalSettings();

// The decimal separator read by InitRegionalSettings; a point before it ran.
char DecimalSeparator();

// Sets the x87 FPU to 64-bit precision, round to nearest even, every exception masked (control
// word 0x037F), whatever the process started with: the counter arithmetic in long double gives
// the same bytes on every system (50 % is 128, not the 127 of double precision).
void InitFloatingPoint();

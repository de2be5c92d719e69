#pragma once

/// The user's decimal separator, from the locale settings unless overridden.
char DecimalSeparator();
/// Overrides the locale's separator for the rest of the run (command line, tests).
void SetDecimalSeparator(char separator);

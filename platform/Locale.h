#pragma once

/// The user's decimal separator, from the locale settings, read once.
char DecimalSeparator();

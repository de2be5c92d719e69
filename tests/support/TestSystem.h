#pragma once

/// Whether the test runs under Wine, whose own re-implementation of some Win32 services
/// (collation, lower-casing) does not give every result Windows gives.
bool RunsUnderWine();

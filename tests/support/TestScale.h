#pragma once

/// How much of its full work a random or large test does: the environment's
/// PELLORAN_TEST_SCALE, a positive number (1 when unset, the full work; 0.1 a tenth, as under
/// the sanitizers, where every step costs many times more). Throws std::invalid_argument for
/// any other value, so that a mistyped scale never passes for the full proof.
double TestScale();

/// `fullCount` scaled by TestScale(), rounded, and never below `least`.
int Scaled(int fullCount, int least = 1);

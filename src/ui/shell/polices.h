#pragma once
// The window's font names resolve to the metric-compatible fonts installed
// with the program ("Calibri" → Carlito, "Courier New" → Liberation Mono).
void installePolices();

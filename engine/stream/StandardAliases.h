#pragma once

// Registers the engine's four path aliases below the current working directory, in the
// order the programs register them at start-up: "data" (Data\), "log" (Logfiles\),
// "bin" (Bin\) and "tool" (host paths as they are). False at the first that fails.
bool AddStandardAliases();

#pragma once

// The start-up's steps, timed for bench/windows/startup.py: with VELMORA_STARTUP_STEPS naming a
// file, each step appends a line "STEP MILLISECONDS", the time since the process was created;
// without it, nothing is done beyond one look at the environment.
void markStartupStep(const char* step);

#pragma once
// The program's start-up and run, in its fixed order; the entry file calls it, and so can a test that plays the
// user against a whole program.
int RunProgram();

#pragma once

// Prints the usage text of Parcelor to standard output.
void printUsage();

#pragma once

// draftel --export-image FILE [--defs DIR] [--scale N] DESIGN.des
// Writes a picture of the design without a splash, a window or a display.
bool isExportImageCommand(int argc, char** argv);
// Exit status 0, or 2 with a message for usage errors, a design that cannot be loaded or a
// picture that cannot be written.
int runExportImage(int argc, char** argv);

// The headless front end: standard output for the icon, standard error and
// input for the boxes.
#pragma once

namespace kesrow {
int RunConsole();
}

// M_SAV_Click: change the server path stored in pas.txt, then end.
#pragma once

#include "core/main_form.h"

namespace kesrow {

// Asks for a new path with the stored one as default. Cancel or an emptied
// box changes nothing. An accepted path replaces pas.txt, and the program
// ends through the unload path, which still works on the old folder.
void ChangeServerPath(MainForm& form);

}  // namespace kesrow

#pragma once

namespace tavrik {

class Controls;

// Click of "C L E A R": the window back to its start-up look.
void clearFields(Controls& form);

// Click of "E X I T": ends the program at once, with status 0.
void exitProgram();

} // namespace tavrik

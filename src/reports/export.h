// Export Summary and Export Everything: append to a text file the user picks.
#pragma once

// command is the menu command: IDM_EXPORTSUMMARY or IDM_EXPORTALL.
void exportfile(int command);

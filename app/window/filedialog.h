// The file dialogs of the File menu: made alike, answered alike.
#ifndef FILEDIALOG_H
#define FILEDIALOG_H

#include <X11/Intrinsic.h>

class WDialogFile;

// A dialog titled title that lists the files matching pattern and calls
// cp with usr when answered.
WDialogFile* make_file_dialog(const char* title, const char* pattern, XtCallbackProc cp,
                              XtPointer usr);
// Closes dlg after an answer (call is the callback's); the file named with
// OK, or null after Cancel or without a name.
const char* chosen_file(WDialogFile* dlg, XtPointer call);

#endif

// Recording from the File menu. Motif flips the toggle when it is chosen:
// it is set back to what the recorder does until a file is open.
#include "window/recordstream.h"

#include "WDialog.h"
#include "WMenu.h"
#include "window/filedialog.h"
#include "window/menu.h"

StreamRecording::StreamRecording(Recorder& r, WMenu& m) : dlg(nullptr), recorder(r), menu(m) {}

StreamRecording::~StreamRecording()
{
  delete dlg;
}

void StreamRecording::choose()
{
  if (recorder.recording()) {
    recorder.stop();
    recording_ended();
    return;
  }
  recording_ended();
  if (!dlg)
    dlg = make_file_dialog("Record Stream", "*.rec", cp_answer_record, this);
  dlg->show();
}

void StreamRecording::record(const char* file)
{
  menu.check(FILE_RECORD, recorder.start(file, this) == 0 ? 1 : 0);
}

void StreamRecording::recording_ended()
{
  menu.check(FILE_RECORD, 0);
}

// OK and Cancel both close the dialog; OK with a name records there.
void cp_answer_record(Widget, XtPointer usr, XtPointer call)
{
  StreamRecording* s = static_cast<StreamRecording*>(usr);
  if (const char* file = chosen_file(s->dlg, call))
    s->record(file);
}

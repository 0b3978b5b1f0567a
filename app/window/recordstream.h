// File > Record Stream...: the file dialog that starts a recording of the
// client's stream, and the menu's toggle, set while one runs. Choosing the
// item while recording stops it.
#ifndef RECORDSTREAM_H
#define RECORDSTREAM_H

#include <X11/Intrinsic.h>

#include "net/recorder.h"

class WDialogFile;
class WMenu;

class StreamRecording : public RecordWatcher {
public:
  StreamRecording(Recorder& r, WMenu& m);
  ~StreamRecording() override;
  StreamRecording(const StreamRecording&) = delete;
  StreamRecording& operator=(const StreamRecording&) = delete;

  // Stops the recording, or shows the file dialog for a new one.
  void choose();
  void record(const char* file);
  void recording_ended() override;

  WDialogFile* dlg;  // made at the first choice

private:
  Recorder& recorder;
  WMenu& menu;
};

void cp_answer_record(Widget w, XtPointer usr, XtPointer call);

#endif
